#include "far2l/Host.h"

#include <cstring>
#include <map>
#include <mutex>

#include "far2l/Records.h"
#include "far2l/Texts.h"

namespace wm::bridge {
namespace {

THostFunctions Functions;

template <size_t Size>
void Take(const far2l::PluginStartupInfo<Size>& info) {
    THostFunctions& f = Functions;
    f.StartupSize = info.StructSize;
    f.ModuleNumber = info.ModuleNumber;
    f.Menu = info.Menu;
    f.Message = info.Message;
    f.GetMsg = info.GetMsg;
    f.Control = info.Control;
    f.SaveScreen = info.SaveScreen;
    f.RestoreScreen = info.RestoreScreen;
    f.AdvControl = info.AdvControl;
    f.DialogInit = info.DialogInit;
    f.DialogRun = info.DialogRun;
    f.DialogFree = info.DialogFree;
    f.SendDlgMessage = info.SendDlgMessage;
    f.DefDlgProc = info.DefDlgProc;
    // Every release puts TruncPathStr at the same place; a shorter table has none.
    int32_t size = 0;
    if (info.FSF != nullptr) std::memcpy(&size, info.FSF, sizeof size);
    constexpr size_t kTruncEnd =
        offsetof(far2l::FarStandardFunctions < Size == 260 ? 532 : 628 >, TruncPathStr) +
        sizeof(far2l::FARSTDTRUNCPATHSTR);
    f.TruncPathStr = size >= static_cast<int32_t>(kTruncEnd) ? info.FSF->TruncPathStr : nullptr;
    f.Version = f.AdvControl ? static_cast<uint32_t>(f.AdvControl(
                                   f.ModuleNumber, far2l::ACTL_GETFARVERSION, nullptr, nullptr))
                             : 0;
}

// ---- The plugin's functions ------------------------------------------------------------

// Messages by number: the host's text converted once, again only when the host's text changes
// (another language). A text given to the plugin stays valid for the module's life.
far::HostText GetMsg(far::INT_PTR module, int32_t id) {
    if (Functions.GetMsg == nullptr) return nullptr;
    const HostText32 text = Functions.GetMsg(module, id);
    if (text == nullptr) return nullptr;
    struct Converted {
        std::u32string source;
        far::HostText text;
    };
    static std::mutex mutex;
    static std::map<int32_t, Converted> converted;
    static TTexts16 texts;
    const std::lock_guard lock(mutex);
    auto [entry, added] = converted.try_emplace(id);
    if (added || entry->second.source != text) {
        entry->second.source = text;
        entry->second.text = texts.Add(text);
    }
    return entry->second.text;
}

int32_t Menu(far::INT_PTR module, int32_t x, int32_t y, int32_t maxHeight, far::DWORD flags,
             far::HostText title, far::HostText bottom, far::HostText helpTopic,
             const int32_t* breakKeys, int32_t* breakCode, const far::FarMenuItem* items,
             int32_t count) {
    if (Functions.Menu == nullptr) return -1;
    TTexts32 texts;
    std::vector<far2l::FarMenuItem> own;
    if (items != nullptr) {
        for (int32_t k = 0; k < count; ++k) {
            own.push_back({texts.Add(items[k].Text), items[k].Selected, items[k].Checked,
                           items[k].Separator});
        }
    }
    return Functions.Menu(module, x, y, maxHeight, flags, texts.Add(title), texts.Add(bottom),
                          texts.Add(helpTopic), breakKeys, breakCode,
                          own.empty() ? nullptr : own.data(), static_cast<int32_t>(own.size()));
}

int32_t Message(far::INT_PTR module, far::DWORD flags, far::HostText helpTopic,
                far::HostText const* items, int32_t count, int32_t buttons) {
    if (Functions.Message == nullptr) return -1;
    TTexts32 texts;
    // All in one: the items are one text.
    HostText32 const* own =
        (flags & far::FMSG_ALLINONE)
            ? reinterpret_cast<HostText32 const*>(texts.Add(reinterpret_cast<far::HostText>(items)))
            : texts.AddArray(items, count);
    return Functions.Message(module, flags, texts.Add(helpTopic), own, count, buttons);
}

// FCTL_GETPANELDIR: the folder into a buffer of `size` characters; the length it needs.
int32_t GetPanelDir(far::HANDLE panel, int32_t size, far::LONG_PTR buffer) {
    const int32_t needed = Functions.Control(panel, far::FCTL_GETPANELDIR, 0, 0);
    if (needed <= 0) return needed;
    std::u32string own(static_cast<size_t>(needed), U'\0');
    Functions.Control(panel, far::FCTL_GETPANELDIR, needed,
                      reinterpret_cast<far::LONG_PTR>(own.data()));
    const String folder = FromHost32(own.c_str());
    auto* out = reinterpret_cast<far::HostChar*>(buffer);
    if (out != nullptr && size > 0) {
        const size_t length = std::min(folder.size(), static_cast<size_t>(size) - 1);
        std::memcpy(out, folder.data(), length * sizeof(char16_t));
        out[length] = u'\0';
    }
    return static_cast<int32_t>(folder.size() + 1);
}

// FCTL_GETPANELITEM and FCTL_GETSELECTEDPANELITEM: the block's size; the block when asked.
int32_t GetPanelItem(far::HANDLE panel, int32_t command, int32_t index, far::LONG_PTR out) {
    const int32_t size = Functions.Control(panel, command, index, 0);
    if (size < static_cast<int32_t>(sizeof(far2l::PluginPanelItem))) return 0;
    std::vector<far2l::PluginPanelItem> block(
        (static_cast<size_t>(size) + sizeof(far2l::PluginPanelItem) - 1) /
        sizeof(far2l::PluginPanelItem));
    if (Functions.Control(panel, command, index, reinterpret_cast<far::LONG_PTR>(block.data())) ==
        0) {
        return 0;
    }
    return static_cast<int32_t>(PackPluginItem(block.front(), reinterpret_cast<void*>(out)));
}

int32_t Control(far::HANDLE panel, int32_t command, int32_t param1, far::LONG_PTR param2) {
    if (Functions.Control == nullptr) return 0;
    switch (command) {
        case far::FCTL_UPDATEPANEL:
        case far::FCTL_REDRAWPANEL:  // PanelRedrawInfo is the same record in both
            return Functions.Control(panel, command, param1, param2);
        case far::FCTL_CLOSEPLUGIN:
        case far::FCTL_SETPANELDIR: {
            const std::u32string text = ToHost32(reinterpret_cast<far::HostText>(param2));
            return Functions.Control(
                panel, command, param1,
                param2 == 0 ? 0 : reinterpret_cast<far::LONG_PTR>(text.c_str()));
        }
        case far::FCTL_GETPANELINFO: {
            far2l::PanelInfo info{};
            const int32_t result =
                Functions.Control(panel, command, param1, reinterpret_cast<far::LONG_PTR>(&info));
            if (result != 0 && param2 != 0) {
                *reinterpret_cast<far::PanelInfo*>(param2) = ToPluginPanelInfo(info);
            }
            return result;
        }
        case far::FCTL_GETPANELDIR:
            return GetPanelDir(panel, param1, param2);
        case far::FCTL_GETPANELITEM:
        case far::FCTL_GETSELECTEDPANELITEM:
            return GetPanelItem(panel, command, param1, param2);
        default:
            return 0;  // a command whose records this bridge does not convert
    }
}

far::HANDLE SaveScreen(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    return Functions.SaveScreen ? Functions.SaveScreen(x1, y1, x2, y2) : nullptr;
}

void RestoreScreen(far::HANDLE screen) {
    if (Functions.RestoreScreen) Functions.RestoreScreen(screen);
}

far::INT_PTR AdvControl(far::INT_PTR module, int32_t command, void* param) {
    if (Functions.AdvControl == nullptr) return 0;
    switch (command) {
        case far::ACTL_REDRAWALL:
        case far::ACTL_GETFARRECT:  // a SMALL_RECT in both
            return Functions.AdvControl(module, command, param, nullptr);
        default:
            return 0;
    }
}

// far2l counts console cells; the result never grows past the plugin's text.
far::HostChar* TruncPathStr(far::HostChar* text, int32_t maxLength) {
    if (text == nullptr || Functions.TruncPathStr == nullptr) return text;
    const size_t length = std::char_traits<char16_t>::length(text);
    std::u32string own = ToHost32(text);
    Functions.TruncPathStr(own.data(), maxLength);
    String shortened = FromHost32(own.c_str());
    if (shortened.size() > length) {
        size_t keep = length;
        // No half of a pair at the end.
        if (keep > 0 && shortened[keep - 1] >= 0xD800 && shortened[keep - 1] < 0xDC00) --keep;
        shortened.resize(keep);
    }
    std::memcpy(text, shortened.c_str(), (shortened.size() + 1) * sizeof(char16_t));
    return text;
}

}  // namespace

const THostFunctions& HostFunctions() {
    return Functions;
}

bool TakeHostFunctions(const void* startupInfo) {
    int32_t size = 0;
    std::memcpy(&size, startupInfo, sizeof size);
    switch (size) {
        case sizeof(far2l::PluginStartupInfo<260>):
            Take(*static_cast<const far2l::PluginStartupInfo<260>*>(startupInfo));
            return true;
        case sizeof(far2l::PluginStartupInfo<276>):
            Take(*static_cast<const far2l::PluginStartupInfo<276>*>(startupInfo));
            return true;
        default:
            return false;
    }
}

void FillPluginFunctions(far::PluginStartupInfo& info, far::FarStandardFunctions& functions) {
    info.Menu = &Menu;
    info.Message = &Message;
    info.GetMsg = &GetMsg;
    info.Control = &Control;
    info.SaveScreen = &SaveScreen;
    info.RestoreScreen = &RestoreScreen;
    info.AdvControl = &AdvControl;
    functions.StructSize = sizeof functions;
    functions.TruncPathStr = &TruncPathStr;
    FillDialogFunctions(info);
}

}  // namespace wm::bridge
