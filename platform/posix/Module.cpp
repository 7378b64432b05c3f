#include <dlfcn.h>

#include "platform/Module.h"

#ifndef WAYMARKS_VERSION_MAJOR
#error "the build passes the project version"
#endif

namespace wm::platform {

String ModuleFileName() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ModuleFileName), &info) == 0 || info.dli_fname == nullptr) {
        return {};
    }
    return FromUtf8(info.dli_fname);
}

std::optional<FileVersion> ReadFileVersion(const String& fileName) {
    if (fileName.empty()) return std::nullopt;
    return FileVersion{WAYMARKS_VERSION_MAJOR << 16 | WAYMARKS_VERSION_MINOR,
                       WAYMARKS_VERSION_PATCH << 16 | WAYMARKS_VERSION_TWEAK};
}

}  // namespace wm::platform
