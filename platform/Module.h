// Facts about the module this code is linked into.
#pragma once

#include <cstdint>
#include <optional>

#include "core/String.h"

namespace wm::platform {

// The fixed part of a version resource: the file version as two 32-bit halves.
struct FileVersion {
    uint32_t mostSignificant;   // major << 16 | minor
    uint32_t leastSignificant;  // release << 16 | build
};

// The full file name of the module (DLL, shared object or program) holding this code.
String ModuleFileName();

// The version resource of a module file; nullopt when it has none. The Linux build carries no
// resources: there the module's version is the one it was built with.
std::optional<FileVersion> ReadFileVersion(const String& fileName);

}  // namespace wm::platform
