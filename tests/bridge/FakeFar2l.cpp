#include "tests/bridge/FakeFar2l.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace wm::test {
namespace {

FakeFar2l* Current = nullptr;

FakeFar2l& Host() {
    EXPECT_NE(Current, nullptr) << "a far2l function called with no fake host";
    return *Current;
}

bool HasHistory(const far2l::FarDialogItem& item) {
    return item.Type == far::DI_EDIT && (item.Flags & far::DIF_HISTORY) != 0;
}

far2l::HostText32 GetMsg(far::INT_PTR, int32_t id) {
    FakeFar2l& host = Host();
    ++host.getMsgCalls;
    const auto found = host.messages.find(id);
    return found == host.messages.end() ? nullptr : found->second.c_str();
}

int32_t Menu(far::INT_PTR, int32_t, int32_t, int32_t, far::DWORD flags, far2l::HostText32 title,
             far2l::HostText32, far2l::HostText32 help, const int32_t*, int32_t* breakCode,
             const far2l::FarMenuItem* items, int32_t count) {
    FakeFar2l& host = Host();
    FakeFar2l::TextCall call;
    call.flags = flags;
    call.helpIsNull = help == nullptr;
    call.help = T32(help);
    call.title = T32(title);
    call.count = count;
    for (int32_t k = 0; items != nullptr && k < count; ++k) {
        call.texts.push_back(T32(items[k].Text));
        call.menuItems.push_back(items[k]);
    }
    host.menuCalls.push_back(std::move(call));
    if (breakCode != nullptr) *breakCode = 2;
    return host.answer;
}

int32_t Message(far::INT_PTR, far::DWORD flags, far2l::HostText32 help,
                far2l::HostText32 const* items, int32_t count, int32_t) {
    FakeFar2l& host = Host();
    FakeFar2l::TextCall call;
    call.flags = flags;
    call.helpIsNull = help == nullptr;
    call.help = T32(help);
    call.count = count;
    if (flags & far::FMSG_ALLINONE) {
        call.texts.push_back(T32(reinterpret_cast<far2l::HostText32>(items)));
    } else {
        for (int32_t k = 0; items != nullptr && k < count; ++k) call.texts.push_back(T32(items[k]));
    }
    host.messageCalls.push_back(std::move(call));
    return host.answer;
}

// FCTL_GETPANELITEM's block: the record, then its texts.
int32_t PanelItemBlock(FakeFar2l& host, far::LONG_PTR out) {
    const std::u32string* texts[] = {&host.itemName, &host.itemDescription, &host.itemOwner};
    size_t size = sizeof(far2l::PluginPanelItem);
    for (const auto* text : texts) size += (text->size() + 1) * sizeof(char32_t);
    if (out == 0) return static_cast<int32_t>(size);
    auto* block = reinterpret_cast<unsigned char*>(out);
    far2l::PluginPanelItem item = host.panelItem;
    far2l::HostText32* fields[] = {&item.FindData.lpwszFileName, &item.Description, &item.Owner};
    size_t at = sizeof item;
    for (size_t k = 0; k < 3; ++k) {
        std::memcpy(block + at, texts[k]->c_str(), (texts[k]->size() + 1) * sizeof(char32_t));
        *fields[k] = reinterpret_cast<far2l::HostText32>(block + at);
        at += (texts[k]->size() + 1) * sizeof(char32_t);
    }
    std::memcpy(block, &item, sizeof item);
    return static_cast<int32_t>(size);
}

int32_t Control(far::HANDLE, int32_t command, int32_t param1, far::LONG_PTR param2) {
    FakeFar2l& host = Host();
    FakeFar2l::ControlCall call{command, param1, param2, {}};
    if ((command == far::FCTL_SETPANELDIR || command == far::FCTL_CLOSEPLUGIN) && param2 != 0) {
        call.text = reinterpret_cast<far2l::HostText32>(param2);
    }
    host.controlCalls.push_back(call);
    switch (command) {
        case far::FCTL_GETPANELDIR: {
            auto* out = reinterpret_cast<char32_t*>(param2);
            if (out != nullptr && param1 > 0) {
                const size_t length =
                    std::min(host.panelDir.size(), static_cast<size_t>(param1) - 1);
                std::memcpy(out, host.panelDir.data(), length * sizeof(char32_t));
                out[length] = U'\0';
            }
            return static_cast<int32_t>(host.panelDir.size() + 1);
        }
        case far::FCTL_GETPANELINFO:
            *reinterpret_cast<far2l::PanelInfo*>(param2) = host.panelInfo;
            return 1;
        case far::FCTL_GETPANELITEM:
        case far::FCTL_GETSELECTEDPANELITEM:
            return PanelItemBlock(host, param2);
        default:
            return 7;
    }
}

far::INT_PTR AdvControl(far::INT_PTR, int32_t command, void*, void*) {
    FakeFar2l& host = Host();
    if (command == far2l::ACTL_GETFARVERSION) {
        ++host.versionQueries;
        return host.version;
    }
    host.advCommands.push_back(command);
    return 1;
}

far::INT_PTR AdvControlAsync(far::INT_PTR, int32_t command, void*, void*) {
    ADD_FAILURE() << "AdvControlAsync called with " << command;
    return 0;
}

char32_t* TruncPathStr(char32_t* text, int32_t cells) {
    FakeFar2l& host = Host();
    host.truncateCells.push_back(cells);
    if (host.truncate) host.truncate(text, cells);
    return text;
}

// ---- The dialog engine ----

far::HANDLE DialogInit(far::INT_PTR, int32_t, int32_t, int32_t, int32_t, far2l::HostText32 help,
                       far2l::FarDialogItem* items, uint32_t count, far::DWORD, far::DWORD,
                       far::FARWINDOWPROC proc, far::LONG_PTR param) {
    auto dialog = std::make_unique<FakeFar2l::Dialog>();
    dialog->items.assign(items, items + count);
    dialog->help = help;
    dialog->proc = proc;
    dialog->param = param;
    return Host().dialogs.emplace_back(std::move(dialog)).get();
}

int32_t DialogRun(far::HANDLE handle) {
    FakeFar2l& host = Host();
    FakeFar2l::Dialog& dialog = FakeFar2l::DialogOf(handle);
    host.initAnswers.push_back(dialog.proc(handle, far::DN_INITDIALOG, 0, dialog.param));
    return host.runAnswer;
}

void DialogFree(far::HANDLE handle) {
    FakeFar2l::Dialog& dialog = FakeFar2l::DialogOf(handle);
    dialog.textsAtFree = FakeFar2l::TextsOf(dialog);
    dialog.freed = true;
}

far::LONG_PTR SendDlgMessage(far::HANDLE handle, int32_t msg, int32_t param1,
                             far::LONG_PTR param2) {
    FakeFar2l::Dialog& dialog = FakeFar2l::DialogOf(handle);
    if (dialog.freed) return 0;
    if (msg == far::DM_GETDLGDATA) return dialog.param;
    if (param1 < 0 || static_cast<size_t>(param1) >= dialog.items.size()) return 0;
    far2l::FarDialogItem& item = dialog.items[static_cast<size_t>(param1)];
    const std::u32string text = T32(item.PtrData);
    switch (msg) {
        case far::DM_GETTEXTLENGTH:
            return static_cast<far::LONG_PTR>(text.size());
        case far::DM_GETTEXT: {
            auto* data = reinterpret_cast<far2l::FarDialogItemData*>(param2);
            if (data == nullptr || data->PtrData == nullptr) {
                return static_cast<far::LONG_PTR>(text.size());
            }
            const size_t length = std::min(data->PtrLength, text.size());
            std::memcpy(data->PtrData, text.data(), length * sizeof(char32_t));
            data->PtrData[length] = U'\0';
            data->PtrLength = length;
            return static_cast<far::LONG_PTR>(length);
        }
        case far::DM_SETTEXT: {
            const auto* data = reinterpret_cast<const far2l::FarDialogItemData*>(param2);
            item.PtrData = dialog.ownTexts.emplace_back(data->PtrData, data->PtrLength).c_str();
            return 1;
        }
        case far::DM_GETDLGITEM: {
            const size_t size = sizeof item + (text.size() + 1) * sizeof(char32_t);
            if (param2 == 0) return static_cast<far::LONG_PTR>(size);
            auto* block = reinterpret_cast<unsigned char*>(param2);
            far2l::FarDialogItem copy = item;
            copy.PtrData = reinterpret_cast<far2l::HostText32>(block + sizeof copy);
            std::memcpy(block + sizeof copy, text.c_str(), (text.size() + 1) * sizeof(char32_t));
            std::memcpy(block, &copy, sizeof copy);
            return static_cast<far::LONG_PTR>(size);
        }
        case far::DM_SETDLGITEM: {
            // The text is copied; a history name is kept as given, as DialogInit keeps it.
            item = *reinterpret_cast<const far2l::FarDialogItem*>(param2);
            item.PtrData = dialog.ownTexts.emplace_back(T32(item.PtrData)).c_str();
            return 1;
        }
        default:
            return 0;
    }
}

far::LONG_PTR DefDlgProc(far::HANDLE, int32_t msg, int32_t param1, far::LONG_PTR param2) {
    Host().defCalls.push_back({msg, param1, param2});
    return FakeFar2l::kDefAnswer;
}

template <size_t Size, size_t FsfSize>
far2l::PluginStartupInfo<Size> MakeStartup(far2l::FarStandardFunctions<FsfSize>& fsf) {
    fsf = {};
    fsf.StructSize = static_cast<int32_t>(sizeof fsf);
    fsf.TruncPathStr = &TruncPathStr;
    far2l::PluginStartupInfo<Size> info{};
    info.StructSize = static_cast<int32_t>(sizeof info);
    info.ModuleName = U"/opt/far2l/Plugins/Waymarks/plug/Waymarks.far-plug-wide";
    info.ModuleNumber = 0x4D;
    info.RootKey = U"Software/Far2/Plugins";
    info.Menu = &Menu;
    info.Message = &Message;
    info.GetMsg = &GetMsg;
    info.Control = &Control;
    info.FSF = &fsf;
    info.AdvControl = &AdvControl;
    info.DialogInit = &DialogInit;
    info.DialogRun = &DialogRun;
    info.DialogFree = &DialogFree;
    info.SendDlgMessage = &SendDlgMessage;
    info.DefDlgProc = &DefDlgProc;
    return info;
}

}  // namespace

FakeFar2l::FakeFar2l() {
    EXPECT_EQ(Current, nullptr);
    Current = this;
}

FakeFar2l::~FakeFar2l() {
    Current = nullptr;
}

far2l::PluginStartupInfo<260> FakeFar2l::Startup260() {
    return MakeStartup<260>(fsf532_);
}

far2l::PluginStartupInfo<276> FakeFar2l::Startup276() {
    auto info = MakeStartup<276>(fsf628_);
    info.AdvControlAsync = &AdvControlAsync;
    return info;
}

far::LONG_PTR FakeFar2l::Notify(far::HANDLE dialog, int32_t msg, int32_t param1,
                                far::LONG_PTR param2) {
    return DialogOf(dialog).proc(dialog, msg, param1, param2);
}

std::vector<std::u32string> FakeFar2l::TextsOf(const Dialog& dialog) {
    std::vector<std::u32string> texts{T32(dialog.help)};
    for (const auto& item : dialog.items) {
        texts.push_back(T32(item.PtrData));
        if (HasHistory(item)) texts.push_back(T32(item.Param.History));
    }
    return texts;
}

}  // namespace wm::test
