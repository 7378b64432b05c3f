#include "framework/FarScreen.h"

#include "platform/Console.h"

namespace wm {

far::SMALL_RECT TFarScreen::GetFarRect() {
    const auto& startup = Startup();
    far::SMALL_RECT rect{};
    if (CallHost(startup.AdvControl, 0, startup.ModuleNumber, far::ACTL_GETFARRECT, &rect) == 0) {
        rect = far::SMALL_RECT{0, 0, 79, 24};
    }
    return rect;
}

int TFarScreen::GetWidth() {
    const auto rect = GetFarRect();
    return rect.Right - rect.Left + 1;
}

int TFarScreen::GetHeight() {
    const auto rect = GetFarRect();
    return rect.Bottom - rect.Top + 1;
}

void TFarScreen::RedrawAll() {
    const auto& startup = Startup();
    CallHost(startup.AdvControl, 0, startup.ModuleNumber, far::ACTL_REDRAWALL, nullptr);
}

void TFarScreen::RestoreScreen(far::HANDLE& handle) {
    if (handle == far::INVALID_HANDLE_VALUE) return;
    CallHost(Startup().RestoreScreen, 0, handle);
    handle = far::INVALID_HANDLE_VALUE;
}

void TFarScreen::SetConsoleTitle(StringView title) {
    platform::SetConsoleWindowTitle(title);
}

}  // namespace wm
