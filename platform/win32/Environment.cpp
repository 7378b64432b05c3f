#include <windows.h>

#include <string>

#include "platform/Environment.h"

namespace wm::platform {
namespace {

bool IsValidName(StringView name) {
    return !name.empty() && name.find_first_of(StringView(u"=\0", 2)) == StringView::npos;
}

std::wstring Wide(StringView text) {
    return std::wstring(text.begin(), text.end());
}

}  // namespace

String EnvironmentValue(StringView name) {
    if (!IsValidName(name)) return {};
    const std::wstring wideName = Wide(name);
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD length = GetEnvironmentVariableW(wideName.c_str(), buffer.data(),
                                                     static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        // Too small: the length asked for includes the terminating null.
        if (length >= buffer.size()) {
            buffer.resize(length);
            continue;
        }
        return String(buffer.begin(), buffer.begin() + length);
    }
}

bool SetEnvironmentValue(StringView name, StringView value) {
    if (!IsValidName(name) || value.find(u'\0') != StringView::npos) return false;
    return SetEnvironmentVariableW(Wide(name).c_str(), Wide(value).c_str()) != 0;
}

bool UnsetEnvironmentValue(StringView name) {
    if (!IsValidName(name)) return false;
    return SetEnvironmentVariableW(Wide(name).c_str(), nullptr) != 0 ||
           GetLastError() == ERROR_ENVVAR_NOT_FOUND;
}

}  // namespace wm::platform
