#include <windows.h>

#include "platform/CharCase.h"

namespace wm::platform {

char16_t UpperCaseChar(char16_t c) {
    // A pointer value below 0x10000 makes CharUpperW convert that one character.
    const auto converted = CharUpperW(reinterpret_cast<LPWSTR>(static_cast<ULONG_PTR>(c)));
    return static_cast<char16_t>(reinterpret_cast<ULONG_PTR>(converted));
}

String UpperCaseText(StringView text) {
    std::wstring buffer(text.begin(), text.end());
    if (!buffer.empty()) CharUpperBuffW(buffer.data(), static_cast<DWORD>(buffer.size()));
    return String(buffer.begin(), buffer.end());
}

}  // namespace wm::platform
