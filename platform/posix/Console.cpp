#include <unistd.h>

#include <cstdio>
#include <mutex>

#include "platform/Console.h"

namespace wm::platform {
namespace {
std::mutex g_titleMutex;
String g_title;
}  // namespace

// A terminal shows the title through the xterm title sequence; otherwise it is only remembered.
void SetConsoleWindowTitle(StringView title) {
    std::lock_guard lock(g_titleMutex);
    g_title.assign(title);
    if (isatty(STDOUT_FILENO)) {
        std::string sequence;
        for (char c : ToUtf8(title)) {
            if (static_cast<unsigned char>(c) >= 0x20 && c != 0x7f) sequence.push_back(c);
        }
        std::printf("\033]0;%s\007", sequence.c_str());
        std::fflush(stdout);
    }
}

String ConsoleWindowTitle() {
    std::lock_guard lock(g_titleMutex);
    return g_title;
}

bool StandardInputIsTerminal() {
    return isatty(STDIN_FILENO) != 0;
}

bool StandardOutputIsTerminal() {
    return isatty(STDOUT_FILENO) != 0;
}

}  // namespace wm::platform
