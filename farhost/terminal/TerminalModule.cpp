#include "farhost/terminal/TerminalModule.h"

extern "C" __attribute__((visibility("default")))
const farhost::TerminalModule farhost_terminal_module{&farhost::OpenCursesTerminal,
                                                      &farhost::OpenEditLineReader};
