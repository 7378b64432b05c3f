// A far2l module built only for tests, written straight against far2l's records as declared in
// host/Far2lPluginW.h (no bridge): it writes what far2l hands over into report.txt beside itself,
// one "name value" line each, so that a journey in the real far2l can check the declarations.
//   f2probe:TEXT    records TEXT, the active panel's info, folder and first two items, then
//                   opens the probe's panel (one folder item, "itemé")
//   f2probe:dialog  runs a dialog that records the key code of every DN_KEY until Esc
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/String.h"
#include "host/Far2lPluginW.h"

namespace {

using far2l::HostText32;

std::string Report;  // the report's path
far::INT_PTR Module = 0;
far2l::FARAPICONTROL Control = nullptr;
far2l::FARAPIGETMSG GetMsg = nullptr;
far2l::FARAPIDIALOGINIT DialogInit = nullptr;
far2l::FARAPIDIALOGRUN DialogRun = nullptr;
far2l::FARAPIDIALOGFREE DialogFree = nullptr;
far2l::FARAPIDEFDLGPROC DefDlgProc = nullptr;

std::string Utf8(HostText32 text) {
    return text == nullptr ? "(null)" : wm::ToUtf8(wm::FromUtf32(text));
}

void Write(const std::string& name, const std::string& value) {
    if (std::FILE* file = std::fopen(Report.c_str(), "a")) {
        std::fprintf(file, "%s %s\n", name.c_str(), value.c_str());
        std::fclose(file);
    }
}
void Write(const std::string& name, long long value) {
    Write(name, std::to_string(value));
}

template <size_t Size>
void Take(const far2l::PluginStartupInfo<Size>& info) {
    Module = info.ModuleNumber;
    Control = info.Control;
    GetMsg = info.GetMsg;
    DialogInit = info.DialogInit;
    DialogRun = info.DialogRun;
    DialogFree = info.DialogFree;
    DefDlgProc = info.DefDlgProc;
    Write("startup.size", info.StructSize);
    Write("startup.root", Utf8(info.RootKey));
    int32_t functions = 0;
    std::memcpy(&functions, info.FSF, sizeof functions);
    Write("functions.size", functions);
    Write("version", static_cast<long long>(
                         info.AdvControl(Module, far2l::ACTL_GETFARVERSION, nullptr, nullptr)));
    Write("message", Utf8(GetMsg(Module, 0)));
    // TruncPathStr counts cells: a 20-character path into 10.
    std::u32string path = U"/abcdefgh/ijklmnop/q";
    info.FSF->TruncPathStr(path.data(), 10);
    Write("truncated", Utf8(path.c_str()));
}

void RecordPanel() {
    far2l::PanelInfo panel{};
    Write("panel.result", Control(far::PANEL_ACTIVE, far::FCTL_GETPANELINFO, 0,
                                  reinterpret_cast<far::LONG_PTR>(&panel)));
    Write("panel.rect",
          std::to_string(panel.PanelRect.left) + "," + std::to_string(panel.PanelRect.top) + "," +
              std::to_string(panel.PanelRect.right) + "," + std::to_string(panel.PanelRect.bottom));
    Write("panel.items", panel.ItemsNumber);
    Write("panel.current", panel.CurrentItem);
    Write("panel.plugin", panel.Plugin);
    Write("panel.visible", panel.Visible);
    Write("panel.focus", panel.Focus);
    const int size = Control(far::PANEL_ACTIVE, far::FCTL_GETPANELDIR, 0, 0);
    std::u32string folder(static_cast<size_t>(size > 0 ? size : 1), U'\0');
    Control(far::PANEL_ACTIVE, far::FCTL_GETPANELDIR, size,
            reinterpret_cast<far::LONG_PTR>(folder.data()));
    Write("panel.folder", Utf8(folder.c_str()));
    for (int index = 0; index < 2 && index < panel.ItemsNumber; ++index) {
        const int bytes = Control(far::PANEL_ACTIVE, far::FCTL_GETPANELITEM, index, 0);
        std::vector<far2l::PluginPanelItem> block(
            static_cast<size_t>(bytes) / sizeof(far2l::PluginPanelItem) + 1);
        Control(far::PANEL_ACTIVE, far::FCTL_GETPANELITEM, index,
                reinterpret_cast<far::LONG_PTR>(block.data()));
        const far2l::PluginPanelItem& item = block.front();
        const std::string prefix = "item" + std::to_string(index) + ".";
        Write(prefix + "name", Utf8(item.FindData.lpwszFileName));
        Write(prefix + "size", static_cast<long long>(item.FindData.nFileSize));
        Write(prefix + "attributes", item.FindData.dwFileAttributes);
        Write(prefix + "mode", item.FindData.dwUnixMode);
        Write(prefix + "owner", Utf8(item.Owner));
    }
}

far::LONG_PTR KeyRecorder(far::HANDLE dialog, int32_t msg, int32_t param1, far::LONG_PTR param2) {
    if (msg == far::DN_KEY) Write("key", static_cast<long long>(param2));
    return DefDlgProc(dialog, msg, param1, param2);
}

void RunKeyDialog() {
    static const HostText32 title = U"Keys";
    far2l::FarDialogItem items[2]{};
    items[0].Type = far::DI_DOUBLEBOX;
    items[0].X1 = 3;
    items[0].Y1 = 1;
    items[0].X2 = 36;
    items[0].Y2 = 4;
    items[0].PtrData = title;
    items[1].Type = far::DI_TEXT;
    items[1].X1 = 5;
    items[1].Y1 = 2;
    items[1].PtrData = U"Press keys; Esc ends";
    const far::HANDLE dialog =
        DialogInit(Module, -1, -1, 40, 6, nullptr, items, 2, 0, 0, &KeyRecorder, 0);
    if (dialog == far::INVALID_HANDLE_VALUE) return;
    Write("dialog.result", DialogRun(dialog));
    DialogFree(dialog);
}

int PanelHandle = 1;
far2l::PluginPanelItem PanelItem{};

}  // namespace

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

PROBE_EXPORT void SetStartupInfoW(const void* info) {
    const auto* common = static_cast<const far2l::PluginStartupInfo<260>*>(info);
    const std::string module = Utf8(common->ModuleName);
    Report = module.substr(0, module.rfind('/') + 1) + "report.txt";
    Write("module", module);
    if (common->StructSize == 260) Take(*common);
    if (common->StructSize == 276) Take(*static_cast<const far2l::PluginStartupInfo<276>*>(info));
}

PROBE_EXPORT void GetPluginInfoW(far2l::PluginInfo* info) {
    static const HostText32 menu[] = {U"Far2l probe"};
    Write("plugininfo.size", info->StructSize);
    info->PluginMenuStrings = menu;
    info->PluginMenuStringsNumber = 1;
    info->CommandPrefix = U"f2probe";
}

PROBE_EXPORT far::HANDLE OpenPluginW(int32_t openFrom, far::INT_PTR item) {
    if (openFrom != far::OPEN_COMMANDLINE) return far::INVALID_HANDLE_VALUE;
    const std::string text = Utf8(reinterpret_cast<HostText32>(item));
    Write("command", text);
    if (text == "dialog") {
        RunKeyDialog();
        return far::INVALID_HANDLE_VALUE;
    }
    RecordPanel();
    return &PanelHandle;
}

PROBE_EXPORT void GetOpenPluginInfoW(far::HANDLE, void* info) {
    int32_t size = 0;
    std::memcpy(&size, info, sizeof size);
    Write("openplugininfo.size", size);
    auto* common = static_cast<far2l::OpenPluginInfo<112>*>(info);
    common->PanelTitle = U"Probe panel";
    common->CurDir = U"";
}

PROBE_EXPORT int32_t GetFindDataW(far::HANDLE, far2l::PluginPanelItem** items, int32_t* count,
                                  int32_t) {
    PanelItem = {};
    PanelItem.FindData.lpwszFileName = U"item\u00e9";
    PanelItem.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
    PanelItem.FindData.dwUnixMode = 040755;
    PanelItem.Description = U"described";
    *items = &PanelItem;
    *count = 1;
    return 1;
}

PROBE_EXPORT void FreeFindDataW(far::HANDLE, far2l::PluginPanelItem*, int32_t) {}

PROBE_EXPORT void ClosePluginW(far::HANDLE) {}

PROBE_EXPORT int32_t ProcessKeyW(far::HANDLE, int32_t key, uint32_t controlState) {
    Write("panelkey", std::to_string(key) + "," + std::to_string(controlState));
    return 0;
}
