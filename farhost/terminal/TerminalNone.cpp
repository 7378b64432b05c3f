// Builds without a terminal library have no full-screen mode.
#include "farhost/screen/Terminal.h"

namespace farhost {

std::unique_ptr<Terminal> OpenTerminal() {
    return nullptr;
}

}  // namespace farhost
