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

bool StandardInputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0;
}

bool StandardOutputIsTerminal() {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace wm::platform
