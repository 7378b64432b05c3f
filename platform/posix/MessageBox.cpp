#include <cstdio>

#include "platform/MessageBox.h"

namespace wm::platform {

void ShowSystemMessageBox(StringView caption, StringView text, uint32_t /*style*/) {
    const std::string line = ToUtf8(caption) + ": " + ToUtf8(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

}  // namespace wm::platform
