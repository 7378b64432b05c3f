#include <windows.h>

#include "platform/Console.h"

namespace wm::platform {

void SetConsoleWindowTitle(StringView title) {
    const std::wstring wide(title.begin(), title.end());
    SetConsoleTitleW(wide.c_str());
}

String ConsoleWindowTitle() {
    wchar_t buffer[1024] = {};
    const DWORD length = GetConsoleTitleW(buffer, static_cast<DWORD>(std::size(buffer)));
    return String(buffer, buffer + length);
}

}  // namespace wm::platform
