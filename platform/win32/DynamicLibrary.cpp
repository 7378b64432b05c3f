#include "platform/DynamicLibrary.h"

#include <windows.h>

#include <string>

#include "core/Exceptions.h"

namespace wm::platform {
namespace {

const wchar_t* Wide(const String& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

// The system's text for an error code, without the trailing line break.
String SystemMessage(DWORD error) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    struct LocalBuffer {
        wchar_t* data;
        ~LocalBuffer() { LocalFree(data); }
    } owner{buffer};
    String text(reinterpret_cast<const char16_t*>(buffer), buffer ? length : 0);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n' || text.back() == u' '))
        text.pop_back();
    const String code = FromUtf8("error " + std::to_string(error));
    return text.empty() ? code : text + u" (" + code + u")";
}

// Failures come back as errors instead of system dialog boxes while it lives.
class QuietErrors {
public:
    QuietErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
    ~QuietErrors() { SetThreadErrorMode(old_, nullptr); }
    QuietErrors(const QuietErrors&) = delete;
    QuietErrors& operator=(const QuietErrors&) = delete;

private:
    DWORD old_ = 0;
};

}  // namespace

DynamicLibrary::DynamicLibrary(const String& path) : path_(path) {
    DWORD error = 0;
    {
        const QuietErrors quiet;
        handle_ = LoadLibraryW(Wide(path_));
        if (!handle_) error = GetLastError();
    }
    if (!handle_) {
        throw Exception(u"Cannot load module \"" + path_ + u"\": " + SystemMessage(error));
    }
}

DynamicLibrary::~DynamicLibrary() {
    FreeLibrary(static_cast<HMODULE>(handle_));
}

void* DynamicLibrary::Symbol(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name));
}

}  // namespace wm::platform
