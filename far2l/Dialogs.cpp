// Dialogs across the bridge. far2l runs the dialog with the bridge's procedure, which finds the
// dialog's record through DM_GETDLGDATA, converts each notification for the plugin's procedure
// and its answer for far2l. The plugin sees far2l's dialog handle; its messages are converted the
// other way. A record owns every text far2l may read while the dialog lives.
#include <cstring>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "far2l/Host.h"
#include "far2l/Texts.h"

namespace wm::bridge {
namespace {

// An item in either layout whose parameter is a history or mask text.
template <typename Item>
bool HasParameterText(const Item& item) {
    return (item.Type == far::DI_EDIT || item.Type == far::DI_FIXEDIT) &&
           (item.Flags & (far::DIF_HISTORY | far::DIF_MASKEDIT)) != 0;
}
bool IsList(int32_t type) {
    return type == far::DI_LISTBOX || type == far::DI_COMBOBOX;
}

// The item in the other layout: its text through `text`, a history or mask through `parameter`.
// The framework gives lists no items of their own: none are converted.
template <typename To, typename From, typename Text, typename Parameter>
To ConvertDialogItem(const From& item, Text text, Parameter parameter) {
    To result{};
    result.Type = item.Type;
    result.X1 = item.X1;
    result.Y1 = item.Y1;
    result.X2 = item.X2;
    result.Y2 = item.Y2;
    result.Focus = item.Focus;
    if (HasParameterText(item)) {
        result.Param.History = parameter(item.Param.History);
    } else if (!IsList(item.Type)) {
        result.Param.Reserved = item.Param.Reserved;
    }
    result.Flags = item.Flags;
    result.DefaultButton = item.DefaultButton;
    result.PtrData = text(item.PtrData);
    result.MaxLen = item.MaxLen;
    return result;
}

struct TDialogRecord {
    far::FARWINDOWPROC Proc = nullptr;
    far::LONG_PTR Param = 0;
    far::LONG_PTR Data = 0;  // DM_SETDLGDATA's value
    TTexts32 Texts;          // every text far2l was given, for the dialog's life
    TTexts16 TextsBack;      // texts read back from far2l, for the dialog's life
    // Per item, a history or mask text in both forms, so each side gets its own pointer back.
    std::vector<far::HostText> Parameters16;
    std::vector<HostText32> Parameters32;
    std::vector<far2l::FarDialogItem> Items;  // the array DialogInit was given
};

// History and mask texts: the plugin's pointer to far2l's, converted once per pointer.
HostText32 ParameterToHost(TDialogRecord& dialog, size_t index, far::HostText text) {
    if (text == nullptr) return nullptr;
    if (index < dialog.Parameters16.size() && dialog.Parameters16[index] == text) {
        return dialog.Parameters32[index];
    }
    const HostText32 own = dialog.Texts.Add(text);
    if (index >= dialog.Parameters16.size()) {
        dialog.Parameters16.resize(index + 1);
        dialog.Parameters32.resize(index + 1);
    }
    dialog.Parameters16[index] = text;
    dialog.Parameters32[index] = own;
    return own;
}

far::HostText ParameterToPlugin(TDialogRecord& dialog, size_t index, HostText32 text) {
    if (text == nullptr) return nullptr;
    if (index < dialog.Parameters32.size() && dialog.Parameters32[index] == text) {
        return dialog.Parameters16[index];
    }
    return dialog.TextsBack.Add(text);
}

// The item's text goes into `texts`; its history or mask stays with the record.
far2l::FarDialogItem ToHostDialogItem(TDialogRecord& dialog, size_t index,
                                      const far::FarDialogItem& item, TTexts32& texts) {
    return ConvertDialogItem<far2l::FarDialogItem>(
        item, [&](far::HostText text) { return texts.Add(text); },
        [&](far::HostText text) { return ParameterToHost(dialog, index, text); });
}

far::FarDialogItem ToPluginDialogItem(TDialogRecord& dialog, size_t index,
                                      const far2l::FarDialogItem& item, TTexts16& texts) {
    return ConvertDialogItem<far::FarDialogItem>(
        item, [&](HostText32 text) { return texts.Add(text); },
        [&](HostText32 text) { return ParameterToPlugin(dialog, index, text); });
}

std::mutex RecordsMutex;
std::map<far::HANDLE, std::unique_ptr<TDialogRecord>> Records;

TDialogRecord* RecordOf(far::HANDLE dialog) {
    const auto& host = HostFunctions();
    if (host.SendDlgMessage == nullptr) return nullptr;
    return reinterpret_cast<TDialogRecord*>(host.SendDlgMessage(dialog, far::DM_GETDLGDATA, 0, 0));
}

// A notification as far2l sent it and as the plugin got it: when the plugin hands the converted
// one to DefDlgProc, far2l gets its own back.
struct TNotification {
    int32_t Msg;
    int32_t Param1;
    far::LONG_PTR PluginParam2;
    far::LONG_PTR HostParam2;
};
thread_local std::vector<TNotification> Notifications;

// The whole text of a live item, as the plugin's text.
String LiveText(far::HANDLE dialog, int32_t index) {
    const auto& host = HostFunctions();
    const far::LONG_PTR length = host.SendDlgMessage(dialog, far::DM_GETTEXTLENGTH, index, 0);
    if (length <= 0) return {};
    std::u32string text(static_cast<size_t>(length) + 1, U'\0');
    far2l::FarDialogItemData data{static_cast<size_t>(length), text.data()};
    host.SendDlgMessage(dialog, far::DM_GETTEXT, index, reinterpret_cast<far::LONG_PTR>(&data));
    return FromHost32(text.c_str());
}

far::LONG_PTR GetText(far::HANDLE dialog, int32_t index, far::LONG_PTR param2) {
    const String text = LiveText(dialog, index);
    auto* data = reinterpret_cast<far::FarDialogItemData*>(param2);
    // Without a buffer, the text's length.
    if (data == nullptr || data->PtrData == nullptr) {
        return static_cast<far::LONG_PTR>(text.size());
    }
    const size_t length = std::min(data->PtrLength, text.size());
    std::memcpy(data->PtrData, text.data(), length * sizeof(char16_t));
    data->PtrData[length] = u'\0';
    data->PtrLength = length;
    return static_cast<far::LONG_PTR>(length);
}

far::LONG_PTR SetText(far::HANDLE dialog, int32_t index, far::LONG_PTR param2) {
    const auto* data = reinterpret_cast<const far::FarDialogItemData*>(param2);
    std::u32string text;
    if (data != nullptr && data->PtrData != nullptr) {
        // A length of 0 takes the text to its terminator; a given length is read no further.
        const StringView given = data->PtrLength == 0 ? StringView(data->PtrData)
                                                      : StringView(data->PtrData, data->PtrLength);
        text = ToUtf32(given.substr(0, given.find(u'\0')));
    }
    far2l::FarDialogItemData own{text.size(), text.data()};
    return HostFunctions().SendDlgMessage(dialog, far::DM_SETTEXT, index,
                                          reinterpret_cast<far::LONG_PTR>(&own));
}

// DM_GETDLGITEM: FAR 2's block (the record, then its text) or, without one, the block's size.
far::LONG_PTR GetDialogItem(TDialogRecord& record, far::HANDLE dialog, int32_t index,
                            far::LONG_PTR param2) {
    const auto& host = HostFunctions();
    const far::LONG_PTR size = host.SendDlgMessage(dialog, far::DM_GETDLGITEM, index, 0);
    if (size < static_cast<far::LONG_PTR>(sizeof(far2l::FarDialogItem))) return 0;
    std::vector<far2l::FarDialogItem> block(
        (static_cast<size_t>(size) + sizeof(far2l::FarDialogItem) - 1) /
        sizeof(far2l::FarDialogItem));
    if (host.SendDlgMessage(dialog, far::DM_GETDLGITEM, index,
                            reinterpret_cast<far::LONG_PTR>(block.data())) == 0) {
        return 0;
    }
    const String text = FromHost32(block.front().PtrData);
    const size_t needed = sizeof(far::FarDialogItem) + (text.size() + 1) * sizeof(char16_t);
    if (param2 == 0) return static_cast<far::LONG_PTR>(needed);
    auto* out = reinterpret_cast<unsigned char*>(param2);
    auto* ownText = reinterpret_cast<far::HostChar*>(out + sizeof(far::FarDialogItem));
    std::memcpy(ownText, text.c_str(), (text.size() + 1) * sizeof(char16_t));
    const far::FarDialogItem item = ConvertDialogItem<far::FarDialogItem>(
        block.front(), [&](HostText32) { return ownText; },
        [&](HostText32 parameter) {
            return ParameterToPlugin(record, static_cast<size_t>(index), parameter);
        });
    std::memcpy(out, &item, sizeof item);
    return static_cast<far::LONG_PTR>(needed);
}

far::LONG_PTR SetDialogItem(TDialogRecord& record, far::HANDLE dialog, int32_t index,
                            far::LONG_PTR param2) {
    const auto* item = reinterpret_cast<const far::FarDialogItem*>(param2);
    if (item == nullptr) return 0;
    // far2l copies the text; the history or mask stays with the record.
    TTexts32 texts;
    far2l::FarDialogItem own = ToHostDialogItem(record, static_cast<size_t>(index), *item, texts);
    return HostFunctions().SendDlgMessage(dialog, far::DM_SETDLGITEM, index,
                                          reinterpret_cast<far::LONG_PTR>(&own));
}

far::LONG_PTR SendDlgMessage(far::HANDLE dialog, int32_t msg, int32_t param1,
                             far::LONG_PTR param2) {
    const auto& host = HostFunctions();
    if (host.SendDlgMessage == nullptr) return 0;
    TDialogRecord* record = RecordOf(dialog);
    if (record == nullptr) return 0;
    switch (msg) {
        case far::DM_CLOSE:
        case far::DM_ENABLE:
        case far::DM_ENABLEREDRAW:
        case far::DM_GETDLGRECT:  // SMALL_RECT and COORD are the same records in both
        case far::DM_MOVEDIALOG:
        case far::DM_SETFOCUS:
        case far::DM_REDRAW:
        case far::DM_SHOWITEM:
        case far::DM_GETCHECK:
        case far::DM_SETCHECK:
        case far::DM_RESIZEDIALOG:
        case far::DM_SETITEMPOSITION:
        case far::DM_GETITEMPOSITION:
        case far::DM_EDITUNCHANGEDFLAG:
            return host.SendDlgMessage(dialog, msg, param1, param2);
        case far::DM_GETDLGDATA:
            return record->Data;
        case far::DM_SETDLGDATA:
            return std::exchange(record->Data, param2);
        case far::DM_GETTEXT:
            return GetText(dialog, param1, param2);
        case far::DM_GETTEXTLENGTH:
            return static_cast<far::LONG_PTR>(LiveText(dialog, param1).size());
        case far::DM_SETTEXT:
            return SetText(dialog, param1, param2);
        case far::DM_GETDLGITEM:
            return GetDialogItem(*record, dialog, param1, param2);
        case far::DM_SETDLGITEM:
            return SetDialogItem(*record, dialog, param1, param2);
        default:
            return 0;  // a message whose records this bridge does not convert
    }
}

far::LONG_PTR DefDlgProc(far::HANDLE dialog, int32_t msg, int32_t param1, far::LONG_PTR param2) {
    const auto& host = HostFunctions();
    if (host.DefDlgProc == nullptr) return 0;
    if (!Notifications.empty()) {
        const TNotification& current = Notifications.back();
        if (current.Msg == msg && current.Param1 == param1 && current.PluginParam2 == param2) {
            param2 = current.HostParam2;
        }
    }
    return host.DefDlgProc(dialog, msg, param1, param2);
}

// A key code in FAR 2's numbering, when FAR 2 has that key.
std::optional<far::LONG_PTR> PluginKey(far::LONG_PTR key) {
    if (HostFunctions().Version < far2l::OwnKeyNumberingSince) return key;
    const auto converted = far2l::ToFar2Key(static_cast<uint32_t>(key));
    if (!converted) return std::nullopt;
    return static_cast<far::LONG_PTR>(*converted);
}

far::LONG_PTR HostDialogProc(far::HANDLE dialog, int32_t msg, int32_t param1,
                             far::LONG_PTR param2) {
    const auto& host = HostFunctions();
    TDialogRecord* record = RecordOf(dialog);
    if (record == nullptr || record->Proc == nullptr) {
        return host.DefDlgProc(dialog, msg, param1, param2);
    }
    const auto toPlugin = [&](far::LONG_PTR pluginParam2) {
        Notifications.push_back({msg, param1, pluginParam2, param2});
        struct Pop {
            ~Pop() { Notifications.pop_back(); }
        } pop;
        return record->Proc(dialog, msg, param1, pluginParam2);
    };
    switch (msg) {
        case far::DN_CLOSE:
        case far::DN_BTNCLICK:
        case far::DN_CTLCOLORDIALOG:
        case far::DN_CTLCOLORDLGITEM:
        case far::DN_DRAWDIALOG:
        case far::DN_ENTERIDLE:
        case far::DN_GOTFOCUS:
        case far::DN_KILLFOCUS:
        case far::DN_LISTCHANGE:
        case far::DN_DRAGGED:
        case far::DN_RESIZECONSOLE:  // a COORD in both
        case far::DN_DRAWDIALOGDONE:
        case far::DN_LISTHOTKEY:
            return toPlugin(param2);
        case far::DN_INITDIALOG:
            return toPlugin(record->Param);
        case far::DN_KEY:
        case far::DN_HOTKEY: {
            const auto key = PluginKey(param2);
            if (!key) return host.DefDlgProc(dialog, msg, param1, param2);
            return toPlugin(*key);
        }
        case far::DN_EDITCHANGE:
        case far::DN_DRAWDLGITEM: {
            const auto* item = reinterpret_cast<const far2l::FarDialogItem*>(param2);
            if (item == nullptr) return toPlugin(0);
            TTexts16 texts;
            far::FarDialogItem own =
                ToPluginDialogItem(*record, static_cast<size_t>(param1), *item, texts);
            return toPlugin(reinterpret_cast<far::LONG_PTR>(&own));
        }
        case far::DN_HELP: {
            TTexts16 texts;
            const far::HostText topic = texts.Add(reinterpret_cast<HostText32>(param2));
            const far::LONG_PTR answer = toPlugin(reinterpret_cast<far::LONG_PTR>(topic));
            if (answer == reinterpret_cast<far::LONG_PTR>(topic)) return param2;
            if (answer == 0) return 0;
            return reinterpret_cast<far::LONG_PTR>(
                record->Texts.Add(reinterpret_cast<far::HostText>(answer)));
        }
        default:
            // A notification whose records this bridge does not convert: far2l's own answer.
            return host.DefDlgProc(dialog, msg, param1, param2);
    }
}

far::HANDLE DialogInit(far::INT_PTR module, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                       far::HostText helpTopic, far::FarDialogItem* items, uint32_t count,
                       far::DWORD reserved, far::DWORD flags, far::FARWINDOWPROC proc,
                       far::LONG_PTR param) {
    const auto& host = HostFunctions();
    if (host.DialogInit == nullptr) return far::INVALID_HANDLE_VALUE;
    auto record = std::make_unique<TDialogRecord>();
    record->Proc = proc;
    record->Param = param;
    std::vector<far2l::FarDialogItem>& own = record->Items;
    own.reserve(count);
    for (uint32_t k = 0; k < count && items != nullptr; ++k) {
        own.push_back(ToHostDialogItem(*record, k, items[k], record->Texts));
    }
    const far::HANDLE dialog = host.DialogInit(
        module, x1, y1, x2, y2, record->Texts.Add(helpTopic), own.empty() ? nullptr : own.data(),
        static_cast<uint32_t>(own.size()), reserved, flags, &HostDialogProc,
        reinterpret_cast<far::LONG_PTR>(record.get()));
    if (dialog == far::INVALID_HANDLE_VALUE || dialog == nullptr) return dialog;
    const std::lock_guard lock(RecordsMutex);
    Records[dialog] = std::move(record);
    return dialog;
}

int32_t DialogRun(far::HANDLE dialog) {
    const auto& host = HostFunctions();
    return host.DialogRun ? host.DialogRun(dialog) : -1;
}

void DialogFree(far::HANDLE dialog) {
    const auto& host = HostFunctions();
    if (host.DialogFree) host.DialogFree(dialog);
    const std::lock_guard lock(RecordsMutex);
    Records.erase(dialog);
}

}  // namespace

void FillDialogFunctions(far::PluginStartupInfo& info) {
    info.DialogInit = &DialogInit;
    info.DialogRun = &DialogRun;
    info.DialogFree = &DialogFree;
    info.SendDlgMessage = &SendDlgMessage;
    info.DefDlgProc = &DefDlgProc;
}

}  // namespace wm::bridge
