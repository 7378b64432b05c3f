// Files the build made, named by the build itself. The Windows build names them on the
// drive wine maps to the root of the Linux file system.
#pragma once

#include <filesystem>

namespace wm::test {

inline std::filesystem::path BuiltFile(const char* path) {
    return std::filesystem::path(path).make_preferred();
}

}  // namespace wm::test
