#include "framework/FarProgress.h"

#include "framework/FarLiveList.h"
#include "framework/FarScreen.h"

namespace wm {
namespace {

TFarLiveList<TFarProgress>& LiveIndicators() {
    static TFarLiveList<TFarProgress> indicators;
    return indicators;
}

}  // namespace

TFarProgress::TFarProgress() {
    LiveIndicators().Add(this);
}

TFarProgress::~TFarProgress() {
    try {
        Restore();
    } catch (...) {
        // A destructor must not throw; the screen stays as it is.
    }
    LiveIndicators().Remove(this);
}

void TFarProgress::Restore() {
    if (!Shown) return;
    TFarScreen::SetConsoleTitle(SavedTitle);
    TFarScreen::RestoreScreen(SavedScreen);
    Shown = false;
}

void TFarProgress::MarkAllOverwritten() {
    LiveIndicators().ForEach([](TFarProgress& progress) { progress.MarkOverwritten(); });
}

}  // namespace wm
