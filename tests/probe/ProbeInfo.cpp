// GetOpenPluginInfoW, which only the FrameworkProbeInfo module exports.
#include "framework/FarPanelManaged.h"
#include "platform/Export.h"

WM_EXPORT void GetOpenPluginInfoW(far::HANDLE hPlugin, far::OpenPluginInfo* Info) {
    wm::TFarPanelManaged* panel = nullptr;
    if (Info && wm::TFarPanelManaged::FindPanel(hPlugin, panel)) panel->GetOpenPluginInfo(*Info);
}
