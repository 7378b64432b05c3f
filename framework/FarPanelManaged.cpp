#include "framework/FarPanelManaged.h"

#include <vector>

#include "framework/FarLiveList.h"

namespace wm {
namespace {

TFarLiveList<TFarPanelManaged>& LivePanels() {
    static TFarLiveList<TFarPanelManaged> panels;
    return panels;
}

}  // namespace

TFarPanelManaged::TFarPanelManaged() {
    LivePanels().Add(this);
}

TFarPanelManaged::~TFarPanelManaged() {
    LivePanels().Remove(this);
}

void TFarPanelManaged::AnswerOpenPluginInfo(far::OpenPluginInfo& info) {
    AnsweredTitle = GetPanelTitle();
    AnsweredCurDir = GetCurrentDir();
    info.PanelTitle = ToHostString(AnsweredTitle);
    info.CurDir = ToHostString(AnsweredCurDir);
    GetOpenPluginInfo(info);
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

void TFarPanelManaged::Update() {
    UpdateByHandle(Handle());
}

void TFarPanelManaged::UpdateLivePanels() {
    // The host reads a panel through the exports, which look it up: no lock while it does. By
    // handle, which the host ignores once its panel is closed.
    std::vector<far::HANDLE> handles;
    LivePanels().ForEach([&](TFarPanelManaged& panel) { handles.push_back(panel.Handle()); });
    for (const far::HANDLE handle : handles) UpdateByHandle(handle);
}

void TFarPanelManaged::UpdateByHandle(far::HANDLE handle) {
    CallHost(Startup().Control, 0, handle, far::FCTL_UPDATEPANEL, 1, far::LONG_PTR{0});
    CallHost(Startup().Control, 0, handle, far::FCTL_REDRAWPANEL, 0, far::LONG_PTR{0});
}

bool TFarPanelManaged::FindPanel(far::HANDLE handle, TFarPanelManaged*& panel) {
    if (handle == nullptr || handle == far::INVALID_HANDLE_VALUE) return false;
    TFarPanelManaged* found =
        LivePanels().Find([&](TFarPanelManaged* p) { return p->Handle() == handle; });
    if (found == nullptr) return false;
    panel = found;
    return true;
}

}  // namespace wm
