// The terminal parts that need ncurses and libedit live in a module of their own, loaded only
// when a person is at the terminal: scripts and pipes start without those libraries.
#pragma once

#include <iosfwd>
#include <memory>

#include "farhost/screen/Terminal.h"
#include "farhost/session/LineReader.h"

namespace farhost {

// The module's one export, a table under this name.
inline constexpr const char* kTerminalModuleTable = "farhost_terminal_module";
inline constexpr const char* kTerminalModuleFile = "farhost_terminal.so";

struct TerminalModule {
    std::unique_ptr<Terminal> (*openTerminal)();
    std::unique_ptr<LineReader> (*openReader)(std::ostream& out, CompletionSource complete);
};

// Inside the module.
std::unique_ptr<Terminal> OpenCursesTerminal();
std::unique_ptr<LineReader> OpenEditLineReader(std::ostream& out, CompletionSource complete);

}  // namespace farhost
