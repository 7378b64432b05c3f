// Reads the names a module exports, from the file itself: the export directory of a PE32+
// DLL, or the defined global symbols of an ELF shared object's dynamic symbol table.
#pragma once

#include <filesystem>
#include <set>
#include <string>

namespace wm::test {

std::string ReadFileBytes(const std::filesystem::path& path);

// Throws std::runtime_error when the bytes are not a PE32+ image with an export directory.
std::set<std::string> PeExportNames(const std::string& image);
// True when the PE image has a version resource (an RT_VERSION entry in its resource directory).
bool PeHasVersionResource(const std::string& image);
// The DLL names of the PE image's import directory, in lower case.
std::set<std::string> PeImportedDlls(const std::string& image);

// Throws std::runtime_error when the bytes are not a 64-bit little-endian ELF object.
std::set<std::string> ElfDynamicExports(const std::string& image);

}  // namespace wm::test
