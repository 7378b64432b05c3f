// The console window's title.
#pragma once

#include "core/String.h"

namespace wm::platform {

void SetConsoleWindowTitle(StringView title);
// The title as last set (Windows asks the console; elsewhere the stand-in remembers it).
String ConsoleWindowTitle();

// True when standard input is a terminal (a person types), false for a pipe or a file.
bool StandardInputIsTerminal();
// True when standard output is a terminal.
bool StandardOutputIsTerminal();

}  // namespace wm::platform
