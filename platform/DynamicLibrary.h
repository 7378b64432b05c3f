// A loaded module (DLL or shared object) and the symbols it exports.
#pragma once

#include "core/String.h"

namespace wm::platform {

class DynamicLibrary {
public:
    // Loads the module at `path`; throws Exception naming the path and the system's reason.
    explicit DynamicLibrary(const String& path);
    ~DynamicLibrary();
    DynamicLibrary(const DynamicLibrary&) = delete;
    DynamicLibrary& operator=(const DynamicLibrary&) = delete;

    // The address of an exported symbol, or null when the module has none by that name.
    void* Symbol(const char* name) const;
    const String& Path() const { return path_; }

private:
    String path_;
    void* handle_ = nullptr;
};

}  // namespace wm::platform
