#include "framework/FarProgress.h"

#include <algorithm>
#include <vector>

#include "framework/FarScreen.h"
#include "platform/Lock.h"

namespace wm {
namespace {

// The registry does not own the indicators.
struct ProgressRegistry {
    platform::Lock lock;
    std::vector<TFarProgress*> live;
};

ProgressRegistry& Registry() {
    static ProgressRegistry registry;
    return registry;
}

}  // namespace

TFarProgress::TFarProgress() {
    auto& registry = Registry();
    platform::LockGuard guard(registry.lock);
    registry.live.push_back(this);
}

TFarProgress::~TFarProgress() {
    try {
        Restore();
    } catch (...) {
        // A destructor must not throw; the screen stays as it is.
    }
    auto& registry = Registry();
    platform::LockGuard guard(registry.lock);
    std::erase(registry.live, this);
}

void TFarProgress::Restore() {
    if (!Shown) return;
    TFarScreen::SetConsoleTitle(SavedTitle);
    TFarScreen::RestoreScreen(SavedScreen);
    Shown = false;
}

void TFarProgress::MarkAllOverwritten() {
    auto& registry = Registry();
    platform::LockGuard guard(registry.lock);
    for (auto* progress : registry.live) progress->MarkOverwritten();
}

}  // namespace wm
