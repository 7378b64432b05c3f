#include "farhost/engine/DialogScreen.h"

#include "farhost/engine/DialogView.h"

namespace farhost {

std::vector<wm::String> DrawDialog(const HostDialog& dialog, far::COORD console) {
    ScreenBuffer screen(console.X, console.Y);
    DrawDialog(dialog, screen);
    return screen.Rows();
}

}  // namespace farhost
