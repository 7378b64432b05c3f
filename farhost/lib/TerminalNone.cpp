// Builds without a terminal library have no full-screen mode.
#include "farhost/lib/Terminal.h"

namespace farhost {

std::unique_ptr<Terminal> OpenTerminal() {
    return nullptr;
}

}  // namespace farhost
