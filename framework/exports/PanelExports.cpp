// The eleven panel-level exports: each finds the live panel named by the host's handle and
// forwards to it; an unknown handle gets the "not found" result without any call.
#include "framework/FarExportGuard.h"
#include "framework/FarPanelManaged.h"
#include "platform/Export.h"

using namespace wm;

namespace {

TFarPanelManaged* Find(far::HANDLE handle) {
    TFarPanelManaged* panel = nullptr;
    return TFarPanelManaged::FindPanel(handle, panel) ? panel : nullptr;
}

}  // namespace

WM_EXPORT void WM_EXPORT_NAME(ClosePluginW)(far::HANDLE hPlugin) {
    if (auto* panel = Find(hPlugin)) RunGuarded(u"ClosePluginW", [&] { delete panel; });
}

WM_EXPORT int32_t WM_EXPORT_NAME(GetFindDataW)(far::HANDLE hPlugin,
                                               far::PluginPanelItem** pPanelItem,
                                               int32_t* pItemsNumber, int32_t OpMode) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    RunGuarded(u"GetFindDataW", [&] {
        far::PluginPanelItem* items = nullptr;
        int count = 0;
        if (panel->GetFindData(OpMode, items, count)) {
            *pPanelItem = items;
            *pItemsNumber = count;
            result = 1;
        }
    });
    return result;
}

WM_EXPORT void WM_EXPORT_NAME(FreeFindDataW)(far::HANDLE hPlugin, far::PluginPanelItem* PanelItem,
                                             int32_t ItemsNumber) {
    if (auto* panel = Find(hPlugin)) {
        RunGuarded(u"FreeFindDataW", [&] { panel->FreeFindData(PanelItem, ItemsNumber); });
    }
}

WM_EXPORT void WM_EXPORT_NAME(GetOpenPluginInfoW)(far::HANDLE hPlugin, far::OpenPluginInfo* Info) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr || Info == nullptr) return;
    RunGuarded(u"GetOpenPluginInfoW", [&] { panel->AnswerOpenPluginInfo(*Info); });
}

WM_EXPORT int32_t WM_EXPORT_NAME(MakeDirectoryW)(far::HANDLE hPlugin, far::HostText const* Name,
                                                 int32_t /*OpMode*/) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return -1;
    int32_t result = 0;
    const auto outcome = RunGuarded(u"MakeDirectoryW", [&] {
        String name = TFarModule::FromHostString(Name != nullptr ? *Name : nullptr);
        result = panel->MakeDirectory(name) ? 1 : 0;
    });
    return outcome == GuardOutcome::Aborted ? -1 : result;
}

WM_EXPORT int32_t WM_EXPORT_NAME(SetDirectoryW)(far::HANDLE hPlugin, far::HostText Dir,
                                                int32_t OpMode) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    RunGuarded(u"SetDirectoryW", [&] {
        result = panel->SetDirectory(TFarModule::FromHostString(Dir), OpMode) ? 1 : 0;
    });
    return result;
}

WM_EXPORT int32_t WM_EXPORT_NAME(DeleteFilesW)(far::HANDLE hPlugin, far::PluginPanelItem* PanelItem,
                                               int32_t ItemsNumber, int32_t OpMode) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    RunGuarded(u"DeleteFilesW", [&] {
        if (ItemsNumber <= 0 || !panel->BeginDeleteFiles(ItemsNumber, OpMode)) return;
        for (int32_t i = 0; i < ItemsNumber; ++i) {
            if (panel->DeleteFile(PanelItem[i], OpMode)) result = 1;
        }
    });
    return result;
}

WM_EXPORT int32_t WM_EXPORT_NAME(GetFilesW)(far::HANDLE hPlugin, far::PluginPanelItem* PanelItem,
                                            int32_t ItemsNumber, int32_t Move,
                                            far::HostText const* DestPath, int32_t OpMode) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    RunGuarded(u"GetFilesW", [&] {
        if (ItemsNumber <= 0 || !panel->BeginGetFiles(ItemsNumber, OpMode)) return;
        for (int32_t i = 0; i < ItemsNumber; ++i) {
            // The panel may change the destination between items.
            const String destination =
                TFarModule::FromHostString(DestPath != nullptr ? *DestPath : nullptr);
            if (panel->GetFile(PanelItem[i], OpMode, destination, Move != 0)) result = 1;
        }
    });
    return result;
}

WM_EXPORT int32_t WM_EXPORT_NAME(PutFilesW)(far::HANDLE hPlugin, far::PluginPanelItem* PanelItem,
                                            int32_t ItemsNumber, int32_t Move,
                                            far::HostText SrcPath, int32_t OpMode) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    const auto outcome = RunGuarded(u"PutFilesW", [&] {
        if (ItemsNumber <= 0 || !panel->BeginPutFiles(ItemsNumber, OpMode)) return;
        const String source = TFarModule::FromHostString(SrcPath);
        for (int32_t i = 0; i < ItemsNumber; ++i) {
            result = panel->PutFile(PanelItem[i], OpMode, source, Move != 0);
        }
    });
    return outcome == GuardOutcome::Aborted ? -1 : result;
}

WM_EXPORT int32_t WM_EXPORT_NAME(ProcessKeyW)(far::HANDLE hPlugin, int32_t Key,
                                              uint32_t ControlState) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    RunGuarded(u"ProcessKeyW", [&] { result = panel->ProcessKey(Key, ControlState) ? 1 : 0; });
    return result;
}

WM_EXPORT int32_t WM_EXPORT_NAME(ProcessEventW)(far::HANDLE hPlugin, int32_t Event, void* Param) {
    auto* panel = Find(hPlugin);
    if (panel == nullptr) return 0;
    int32_t result = 0;
    RunGuarded(u"ProcessEventW", [&] { result = panel->ProcessEvent(Event, Param); });
    return result;
}
