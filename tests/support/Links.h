// Symbolic links to folders for tests: the system's own call on Windows (the C++ library of
// the Windows build has none), std::filesystem elsewhere.
#pragma once

#include <filesystem>
#include <system_error>

namespace wm::test {

// Makes `link` lead to the folder `target` (taken relative to the link's folder when relative).
std::error_code MakeFolderLink(const std::filesystem::path& target,
                               const std::filesystem::path& link);

}  // namespace wm::test
