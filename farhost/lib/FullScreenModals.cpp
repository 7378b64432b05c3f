#include "farhost/lib/FullScreen.h"

namespace farhost {

int FullScreen::ShowMessage(const MessageCall&) {
    return -1;
}

int FullScreen::ShowMenu(const MenuCall&) {
    return -1;
}

std::optional<DialogAction> FullScreen::AskDialog(const HostDialog&) {
    return DialogAction::Escape();
}

}  // namespace farhost
