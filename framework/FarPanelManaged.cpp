#include "framework/FarPanelManaged.h"

#include <algorithm>
#include <vector>

#include "platform/Lock.h"

namespace wm {
namespace {

// The registry does not own the panels.
struct PanelRegistry {
    platform::Lock lock;
    std::vector<TFarPanelManaged*> live;
};

PanelRegistry& Registry() {
    static PanelRegistry registry;
    return registry;
}

}  // namespace

TFarPanelManaged::TFarPanelManaged() {
    auto& registry = Registry();
    platform::LockGuard guard(registry.lock);
    registry.live.push_back(this);
}

TFarPanelManaged::~TFarPanelManaged() {
    auto& registry = Registry();
    platform::LockGuard guard(registry.lock);
    std::erase(registry.live, this);
}

void TFarPanelManaged::GetOpenPluginInfo(far::OpenPluginInfo& /*info*/) {}
String TFarPanelManaged::GetPanelTitle() {
    return GetStandardText(TFarStandardText::Title);
}
bool TFarPanelManaged::BeginDeleteFiles(int /*count*/, int /*opMode*/) {
    return true;
}
bool TFarPanelManaged::BeginGetFiles(int /*count*/, int /*opMode*/) {
    return true;
}
bool TFarPanelManaged::BeginPutFiles(int /*count*/, int /*opMode*/) {
    return true;
}
int TFarPanelManaged::ProcessEvent(int /*event*/, void* /*param*/) {
    return 0;
}
bool TFarPanelManaged::ProcessKey(int /*key*/, unsigned /*controlState*/) {
    return false;
}

bool TFarPanelManaged::FindPanel(far::HANDLE handle, TFarPanelManaged*& panel) {
    if (handle == nullptr || handle == far::INVALID_HANDLE_VALUE) return false;
    auto& registry = Registry();
    platform::LockGuard guard(registry.lock);
    const auto found = std::find_if(registry.live.begin(), registry.live.end(),
                                    [&](TFarPanelManaged* p) { return p->Handle() == handle; });
    if (found == registry.live.end()) return false;
    panel = *found;
    return true;
}

}  // namespace wm
