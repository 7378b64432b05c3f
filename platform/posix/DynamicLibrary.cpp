#include "platform/DynamicLibrary.h"

#include <dlfcn.h>

#include "core/Exceptions.h"

namespace wm::platform {

DynamicLibrary::DynamicLibrary(const String& path) : path_(path) {
    handle_ = dlopen(ToUtf8(path_).c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle_) {
        const char* reason = dlerror();
        throw Exception(u"Cannot load module \"" + path_ + u"\": " +
                        FromUtf8(reason ? reason : "unknown error"));
    }
}

DynamicLibrary::~DynamicLibrary() {
    dlclose(handle_);
}

void* DynamicLibrary::Symbol(const char* name) const {
    return dlsym(handle_, name);
}

}  // namespace wm::platform
