#include "farhost/engine/HostDialog.h"

#include <algorithm>
#include <cstring>

#include "farhost/engine/HostText.h"
#include "farhost/engine/HotKeyText.h"

namespace farhost {
namespace {

far::HostText ToHost(const wm::String& text) {
    return reinterpret_cast<far::HostText>(text.c_str());
}

bool IsButtonLike(int type) {
    return type == far::DI_BUTTON || type == far::DI_CHECKBOX || type == far::DI_RADIOBUTTON;
}

bool IsSingleLine(int type) {
    return type == far::DI_TEXT || IsButtonLike(type) || HostDialog::IsEdit(type);
}

std::string Describe(const DialogAction& action) {
    return "\"" + DialogActionText(action) + "\"";
}

}  // namespace

HostDialog::HostDialog(DialogEnvironment& environment, int x1, int y1, int x2, int y2,
                       far::HostText helpTopic, const far::FarDialogItem* items, unsigned count,
                       far::DWORD flags, far::FARWINDOWPROC proc, far::LONG_PTR param)
    : environment_(environment),
      helpTopic_(FromHostText(helpTopic)),
      flags_(flags),
      proc_(proc),
      param_(param) {
    for (unsigned i = 0; items && i < count; ++i) {
        Item item;
        item.record = items[i];
        item.text = FromHostText(items[i].PtrData);
        item.record.PtrData = nullptr;
        if (HasTextParameter(items[i])) {
            item.parameter = FromHostText(items[i].Param.History);
            item.record.Param.Reserved = 0;
        }
        FitToMask(item);
        item.cursor = item.text.size();
        items_.push_back(std::move(item));
    }
    centredX_ = x1 < 0;
    centredY_ = y1 < 0;
    width_ = std::max(centredX_ ? x2 : x2 - x1 + 1, 1);
    height_ = std::max(centredY_ ? y2 : y2 - y1 + 1, 1);
    x_ = std::max(x1, 0);
    y_ = std::max(y1, 0);
    Centre();
    for (int i = 0; i < static_cast<int>(items_.size()) && focus_ < 0; ++i) {
        if (items_[i].record.Focus != 0 && Focusable(i)) focus_ = i;
    }
    if (focus_ < 0) focus_ = NextFocusable(-1, 1);
}

bool HostDialog::IsEdit(int type) {
    return type == far::DI_EDIT || type == far::DI_PSWEDIT || type == far::DI_FIXEDIT ||
           type == far::DI_COMBOBOX;
}

bool HostDialog::HasTextParameter(const far::FarDialogItem& record) {
    return IsEdit(record.Type) && (record.Flags & (far::DIF_HISTORY | far::DIF_MASKEDIT)) != 0;
}

wm::String HostDialog::DisplayText(const Item& item) {
    if (item.record.Flags & far::DIF_SHOWAMPERSAND) return item.text;
    return ParseHotKeyText(item.text).shown;
}

// ---- State ----------------------------------------------------------------------------

bool HostDialog::ValidIndex(int index) const {
    return index >= 0 && index < static_cast<int>(items_.size());
}

bool HostDialog::Enabled(int index) const {
    return ValidIndex(index) &&
           (items_[index].record.Flags & (far::DIF_DISABLE | far::DIF_HIDDEN)) == 0;
}

bool HostDialog::Focusable(int index) const {
    if (!Enabled(index)) return false;
    const int type = items_[index].record.Type;
    return IsEdit(type) || IsButtonLike(type) || type == far::DI_LISTBOX;
}

int HostDialog::NextFocusable(int from, int step) const {
    const int count = static_cast<int>(items_.size());
    for (int n = 1; n <= count; ++n) {
        const int index = ((from + step * n) % count + count) % count;
        if (Focusable(index)) return index;
    }
    return -1;
}

int HostDialog::DefaultButton() const {
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        if (items_[i].record.DefaultButton != 0) return i;
    }
    return -1;
}

far::SMALL_RECT HostDialog::Rect() const {
    return far::SMALL_RECT{static_cast<int16_t>(x_), static_cast<int16_t>(y_),
                           static_cast<int16_t>(x_ + width_ - 1),
                           static_cast<int16_t>(y_ + height_ - 1)};
}

void HostDialog::Centre() {
    const far::COORD console = environment_.ConsoleSize();
    if (centredX_) x_ = std::max((console.X - width_) / 2, 0);
    if (centredY_) y_ = std::max((console.Y - height_) / 2, 0);
}

int HostDialog::ControlWidth(int index) const {
    return static_cast<int>(DisplayText(items_[index]).size()) + 4;
}

int HostDialog::GroupLeft(int index) const {
    // Consecutive visible items with DIF_CENTERGROUP on one row share the centring.
    const auto member = [&](int i) {
        const auto& record = items_[i].record;
        return (record.Flags & far::DIF_CENTERGROUP) && !(record.Flags & far::DIF_HIDDEN) &&
               record.Y1 == items_[index].record.Y1;
    };
    const auto hidden = [&](int i) { return (items_[i].record.Flags & far::DIF_HIDDEN) != 0; };
    int first = index;
    while (first > 0 && (member(first - 1) || hidden(first - 1))) --first;
    const int count = static_cast<int>(items_.size());
    int total = -1, left = 0;
    for (int i = first; i < count && (member(i) || hidden(i)); ++i) {
        if (!member(i)) continue;
        if (i == index) left = total + 1;
        total += ControlWidth(i) + 1;
    }
    return std::max((width_ - total) / 2, 0) + left;
}

far::SMALL_RECT HostDialog::ItemRect(int index) const {
    const far::FarDialogItem& record = items_[index].record;
    int x1 = record.X1, y1 = record.Y1, x2 = record.X2, y2 = record.Y2;
    if (IsButtonLike(record.Type)) {
        if (record.Flags & far::DIF_CENTERGROUP) x1 = GroupLeft(index);
        x2 = x1 + ControlWidth(index) - 1;
    }
    if (IsSingleLine(record.Type)) y2 = y1;
    return far::SMALL_RECT{static_cast<int16_t>(x1), static_cast<int16_t>(y1),
                           static_cast<int16_t>(x2), static_cast<int16_t>(y2)};
}

far::FarDialogItem HostDialog::Outgoing(int index) const {
    far::FarDialogItem record = items_[index].record;
    record.PtrData = ToHost(items_[index].text);
    if (HasTextParameter(record)) record.Param.History = ToHost(items_[index].parameter);
    record.Focus = index == focus_ ? 1 : 0;
    return record;
}

// ---- Running --------------------------------------------------------------------------

far::LONG_PTR HostDialog::Notify(int msg, int param1, far::LONG_PTR param2) {
    if (proc_) return proc_(Handle(), msg, param1, param2);
    return Default(msg, param1, param2);
}

int HostDialog::Run() {
    if (running_) {
        environment_.ReportError("DialogRun: the dialog is running already");
        return -1;
    }
    running_ = true;
    closed_ = false;
    exitCode_ = -1;
    Notify(far::DN_INITDIALOG, focus_, param_);
    environment_.ShowScreen(*this);
    while (!closed_) {
        const std::optional<DialogAction> action = environment_.NextAction(*this);
        if (!action) {
            Close(-1);
            break;
        }
        Play(*action);
    }
    running_ = false;
    return exitCode_;
}

void HostDialog::Close(int exitCode) {
    closed_ = true;
    exitCode_ = exitCode;
    // The edits' texts go to their histories unless the dialog was cancelled.
    if (exitCode >= 0) SaveHistories();
}

bool HostDialog::Refuse(const DialogAction& action, const std::string& reason) {
    environment_.ReportError("DialogRun: " + Describe(action) + ": " + reason);
    return false;
}

void HostDialog::Play(const DialogAction& action) {
    using Kind = DialogAction::Kind;
    const int index = action.item;
    switch (action.kind) {
        case Kind::Type:
        case Kind::Set:
            if (!ValidIndex(index) || !IsEdit(items_[index].record.Type)) {
                Refuse(action, "not an edit");
                return;
            }
            if (!Focusable(index) || (items_[index].record.Flags & far::DIF_READONLY)) {
                Refuse(action, "the edit does not take input");
                return;
            }
            ChangeFocus(index);
            if (focus_ != index) {
                Refuse(action, "the focus stays on item " + std::to_string(focus_));
                return;
            }
            if (action.kind == Kind::Type) {
                for (const char16_t c : action.text) TypeCharacter(index, c);
            } else {
                ReplaceText(index, action.text);
            }
            return;
        case Kind::Click:
            if (!ValidIndex(index) || !IsButtonLike(items_[index].record.Type)) {
                Refuse(action, "not a button, check box or radio button");
                return;
            }
            if (!Focusable(index)) {
                Refuse(action, "the item is disabled or hidden");
                return;
            }
            ChangeFocus(index);
            if (focus_ != index) {
                Refuse(action, "the focus stays on item " + std::to_string(focus_));
                return;
            }
            Press(index);
            return;
        case Kind::Focus:
            if (!Focusable(index)) {
                Refuse(action, "the item cannot take the focus");
                return;
            }
            ChangeFocus(index);
            return;
        case Kind::Key:
            PressKey(action.key);
            return;
        case Kind::Esc:
            PressKey(keys::Esc);
            return;
        case Kind::Resize: {
            far::COORD size{static_cast<int16_t>(action.width),
                            static_cast<int16_t>(action.height)};
            environment_.ResizeConsole(size);
            Notify(far::DN_RESIZECONSOLE, 0, reinterpret_cast<far::LONG_PTR>(&size));
            return;
        }
        case Kind::Show:
            environment_.ShowScreen(*this);
            return;
    }
}

void HostDialog::PressKey(uint32_t key) {
    if (Notify(far::DN_KEY, focus_, static_cast<far::LONG_PTR>(key)) != 0) return;
    const int type = ValidIndex(focus_) ? items_[focus_].record.Type : -1;
    if (IsEdit(type) && EditKey(key)) return;
    switch (key) {
        case keys::Esc:
            Close(-1);
            return;
        case keys::Enter:
            if (type == far::DI_BUTTON) {
                Press(focus_);
            } else if (const int button = DefaultButton(); button >= 0) {
                if (Enabled(button)) Close(button);
            } else {
                Close(focus_);
            }
            return;
        case keys::Tab:
        case keys::Down:
        case keys::Right:
            ChangeFocus(NextFocusable(focus_, 1));
            return;
        case keys::Shift | keys::Tab:
        case keys::Up:
        case keys::Left:
            ChangeFocus(NextFocusable(focus_, -1));
            return;
        case keys::Space:
            if (IsButtonLike(type)) Press(focus_);
            return;
        default:
            break;
    }
    // Outside edit lines a plain letter is a hot key too.
    if (const char16_t hotKey = HotKeyOf(key)) PressHotKey(hotKey);
}

bool HostDialog::EditKey(uint32_t key) {
    auto& item = items_[focus_];
    const bool readOnly = (item.record.Flags & far::DIF_READONLY) != 0;
    const std::optional<EditMask> mask = MaskOf(item);
    size_t& cursor = item.cursor;
    cursor = std::min(cursor, item.text.size());
    const auto move = [&](size_t to) {
        cursor = to;
        item.unchanged = false;
        return true;
    };
    switch (key) {
        case keys::Left:
            return move(cursor > 0 ? cursor - 1 : 0);
        case keys::Right:
            return move(std::min(cursor + 1, item.text.size()));
        case keys::Home:
            return move(0);
        case keys::End:
            return move(item.text.size());
        case keys::Ctrl | keys::Down:
            if (!(item.record.Flags & far::DIF_HISTORY)) return false;
            if (!readOnly) OpenHistory(focus_);
            return true;
        case keys::BS:
        case keys::Del:
            if (readOnly) return true;
            if (item.unchanged) {
                item.text = mask ? mask->Blank() : wm::String();
                cursor = 0;
            } else if (mask) {
                const size_t at = key == keys::BS ? mask->Previous(cursor) : mask->Next(cursor);
                if (mask->Placeholder(at)) item.text[at] = u' ';
                if (key == keys::BS && at < mask->Size()) cursor = at;
            } else if (key == keys::BS && cursor > 0) {
                item.text.erase(--cursor, 1);
            } else if (key == keys::Del && cursor < item.text.size()) {
                item.text.erase(cursor, 1);
            }
            item.unchanged = false;
            EditChanged(focus_);
            return true;
        default:
            if (key < keys::Space || key >= keys::Extended) return false;
            if (!readOnly) TypeCharacter(focus_, static_cast<char16_t>(key));
            return true;
    }
}

void HostDialog::PressHotKey(char16_t hotKey) {
    for (int i = 0; i < static_cast<int>(items_.size()); ++i) {
        const Item& item = items_[i];
        if (!Enabled(i) || (item.record.Flags & far::DIF_SHOWAMPERSAND)) continue;
        const HotKeyText text = ParseHotKeyText(item.text);
        if (text.hotKey < 0 || FoldCase(text.shown[text.hotKey]) != hotKey) continue;
        if (IsButtonLike(item.record.Type)) {
            ChangeFocus(i);
            if (focus_ == i) Press(i);
        } else if (item.record.Type == far::DI_TEXT) {
            // A label's hot key focuses the item after it.
            ChangeFocus(NextFocusable(i, 1));
        }
        return;
    }
}

void HostDialog::Press(int index) {
    auto& record = items_[index].record;
    switch (record.Type) {
        case far::DI_BUTTON:
            // The default answer closes the dialog with this button.
            if (Notify(far::DN_BTNCLICK, index, 0) == 0 && !(record.Flags & far::DIF_BTNNOCLOSE))
                Close(index);
            return;
        case far::DI_CHECKBOX: {
            const int state = record.Param.Selected == far::BSTATE_UNCHECKED
                                  ? far::BSTATE_CHECKED
                                  : far::BSTATE_UNCHECKED;
            if (Notify(far::DN_BTNCLICK, index, state) != 0)
                items_[index].record.Param.Selected = state;
            return;
        }
        case far::DI_RADIOBUTTON:
            if (Notify(far::DN_BTNCLICK, index, 1) != 0) SelectRadio(index);
            return;
        default:
            return;
    }
}

void HostDialog::SelectRadio(int index) {
    // The radio buttons next to each other form one group.
    int first = index, last = index;
    while (first > 0 && items_[first - 1].record.Type == far::DI_RADIOBUTTON) --first;
    while (last + 1 < static_cast<int>(items_.size()) &&
           items_[last + 1].record.Type == far::DI_RADIOBUTTON)
        ++last;
    for (int i = first; i <= last; ++i) items_[i].record.Param.Selected = i == index ? 1 : 0;
}

void HostDialog::ChangeFocus(int target) {
    if (target < 0 || target == focus_) return;
    if (focus_ >= 0) {
        // -1 lets the focus go; an item index sends it there instead.
        const far::LONG_PTR next = Notify(far::DN_KILLFOCUS, focus_, 0);
        if (next == focus_) return;
        if (next >= 0 && Focusable(static_cast<int>(next))) target = static_cast<int>(next);
    }
    focus_ = target;
    Notify(far::DN_GOTFOCUS, focus_, 0);
}

void HostDialog::TypeCharacter(int index, char16_t c) {
    auto& item = items_[index];
    const std::optional<EditMask> mask = MaskOf(item);
    if (item.unchanged) {
        item.text = mask ? mask->Blank() : wm::String();
        item.cursor = 0;
    }
    item.unchanged = false;
    item.cursor = std::min(item.cursor, item.text.size());
    if (mask) {
        // Typing goes over the next position the mask lets one type in.
        const size_t at = mask->Next(item.cursor);
        if (!mask->Accepts(at, c)) return;
        item.text[at] = c;
        item.cursor = mask->Next(at + 1);
    } else {
        if (item.record.MaxLen > 0 && item.text.size() >= item.record.MaxLen) return;
        item.text.insert(item.cursor++, 1, c);
    }
    EditChanged(index);
}

std::optional<EditMask> HostDialog::MaskOf(const Item& item) const {
    if (item.record.Type != far::DI_FIXEDIT || !(item.record.Flags & far::DIF_MASKEDIT) ||
        item.parameter.empty())
        return std::nullopt;
    return EditMask(item.parameter);
}

void HostDialog::FitToMask(Item& item) const {
    if (const auto mask = MaskOf(item)) item.text = mask->Apply(item.text);
}

void HostDialog::ReplaceText(int index, wm::String text) {
    auto& item = items_[index];
    item.text = std::move(text);
    FitToMask(item);
    item.cursor = item.text.size();
    item.unchanged = false;
    EditChanged(index);
}

void HostDialog::OpenHistory(int index) {
    const std::vector<wm::String> entries = environment_.History(items_[index].parameter);
    if (entries.empty()) return;
    const int chosen = environment_.ChooseFromHistory(*this, index, entries);
    if (chosen >= 0 && chosen < static_cast<int>(entries.size()))
        ReplaceText(index, entries[chosen]);
}

void HostDialog::SaveHistories() {
    for (const auto& item : items_) {
        if (IsEdit(item.record.Type) && (item.record.Flags & far::DIF_HISTORY) &&
            !item.parameter.empty() && !item.text.empty())
            environment_.AddToHistory(item.parameter, item.text);
    }
}

void HostDialog::EditChanged(int index) {
    far::FarDialogItem record = Outgoing(index);
    Notify(far::DN_EDITCHANGE, index, reinterpret_cast<far::LONG_PTR>(&record));
}

// ---- Messages -------------------------------------------------------------------------

far::LONG_PTR HostDialog::Default(int msg, int param1, far::LONG_PTR /*param2*/) const {
    switch (msg) {
        case far::DN_BTNCLICK:
            // A button closes the dialog unless it says otherwise; other items change state.
            return ValidIndex(param1) && items_[param1].record.Type == far::DI_BUTTON &&
                           !(items_[param1].record.Flags & far::DIF_BTNNOCLOSE)
                       ? 0
                       : 1;
        case far::DN_KILLFOCUS:
            return -1;
        case far::DN_EDITCHANGE:
        case far::DN_LISTCHANGE:
            return 1;
        default:
            return 0;
    }
}

far::LONG_PTR HostDialog::Message(int msg, int param1, far::LONG_PTR param2) {
    const auto needItem = [&] {
        if (ValidIndex(param1)) return true;
        environment_.ReportError("SendDlgMessage: message " + std::to_string(msg) + " names item " +
                                 std::to_string(param1) + " of " + std::to_string(items_.size()));
        return false;
    };
    const auto needPointer = [&] {
        if (param2 != 0) return true;
        environment_.ReportError("SendDlgMessage: message " + std::to_string(msg) +
                                 " without its record");
        return false;
    };
    switch (msg) {
        case far::DM_CLOSE:
            if (!running_) return 0;
            Close(param1);
            return 1;
        case far::DM_ENABLE: {
            if (!needItem()) return 0;
            auto& flags = items_[param1].record.Flags;
            const bool was = (flags & far::DIF_DISABLE) == 0;
            if (param2 == 0) flags |= far::DIF_DISABLE;
            if (param2 == 1) flags &= ~far::DIF_DISABLE;
            return was ? 1 : 0;
        }
        case far::DM_ENABLEREDRAW: {
            const int previous = redrawLock_;
            if (param1 == 0) {
                ++redrawLock_;
            } else if (param1 > 0 && redrawLock_ > 0 && --redrawLock_ == 0) {
                ++redraws_;
            }
            return previous;
        }
        case far::DM_GETDLGITEM:
            if (!needItem()) return 0;
            return static_cast<far::LONG_PTR>(CopyItemOut(param1, param2));
        case far::DM_GETDLGRECT:
            if (!needPointer()) return 0;
            *reinterpret_cast<far::SMALL_RECT*>(param2) = Rect();
            return 1;
        case far::DM_GETTEXT:
            if (!needItem()) return 0;
            return static_cast<far::LONG_PTR>(
                CopyTextOut(param1, reinterpret_cast<far::FarDialogItemData*>(param2)));
        case far::DM_GETTEXTLENGTH:
            if (!needItem()) return 0;
            return static_cast<far::LONG_PTR>(items_[param1].text.size());
        case far::DM_KEY: {
            if (param1 > 0 && !needPointer()) return 0;
            const auto* codes = reinterpret_cast<const far::DWORD*>(param2);
            for (int i = 0; i < param1 && !closed_; ++i) PressKey(codes[i]);
            return 1;
        }
        case far::DM_MOVEDIALOG:
            if (!needPointer()) return 0;
            Move(param1 != 0, *reinterpret_cast<const far::COORD*>(param2));
            return 1;
        case far::DM_SETDLGITEM:
            if (!needItem() || !needPointer()) return 0;
            return ReplaceItem(param1, *reinterpret_cast<const far::FarDialogItem*>(param2)) ? 1
                                                                                             : 0;
        case far::DM_SETFOCUS:
            if (!needItem() || !Focusable(param1)) return 0;
            ChangeFocus(param1);
            return focus_ == param1 ? 1 : 0;
        case far::DM_REDRAW:
            if (redrawLock_ == 0) ++redraws_;
            return 1;
        case far::DM_SETTEXT:
            if (!needItem()) return 0;
            return static_cast<far::LONG_PTR>(
                SetItemText(param1, reinterpret_cast<const far::FarDialogItemData*>(param2)));
        case far::DM_SHOWITEM: {
            if (!needItem()) return 0;
            auto& flags = items_[param1].record.Flags;
            const bool was = (flags & far::DIF_HIDDEN) == 0;
            if (param2 == 0) flags |= far::DIF_HIDDEN;
            if (param2 == 1) flags &= ~far::DIF_HIDDEN;
            if (param1 == focus_ && !Focusable(focus_)) focus_ = NextFocusable(focus_, 1);
            return was ? 1 : 0;
        }
        case far::DM_GETCHECK:
            if (!needItem()) return 0;
            return IsButtonLike(items_[param1].record.Type) ? items_[param1].record.Param.Selected
                                                            : 0;
        case far::DM_SETCHECK:
            if (!needItem()) return 0;
            return SetCheck(param1, param2);
        case far::DM_RESIZEDIALOG: {
            if (!needPointer()) return 0;
            const auto size = *reinterpret_cast<const far::COORD*>(param2);
            width_ = std::max<int>(size.X, 1);
            height_ = std::max<int>(size.Y, 1);
            Centre();
            return 1;
        }
        case far::DM_SETITEMPOSITION: {
            if (!needItem() || !needPointer()) return 0;
            const auto rect = *reinterpret_cast<const far::SMALL_RECT*>(param2);
            auto& record = items_[param1].record;
            record.X1 = rect.Left;
            record.Y1 = rect.Top;
            record.X2 = rect.Right;
            record.Y2 = rect.Bottom;
            return 1;
        }
        case far::DM_GETITEMPOSITION:
            if (!needItem() || !needPointer()) return 0;
            *reinterpret_cast<far::SMALL_RECT*>(param2) = ItemRect(param1);
            return 1;
        case far::DM_EDITUNCHANGEDFLAG: {
            if (!needItem() || !IsEdit(items_[param1].record.Type)) return 0;
            bool& unchanged = items_[param1].unchanged;
            const bool was = unchanged;
            if (param2 == 0 || param2 == 1) unchanged = param2 == 1;
            return was ? 1 : 0;
        }
        default:
            environment_.ReportError("SendDlgMessage: message " + std::to_string(msg) +
                                     " is not supported");
            return 0;
    }
}

size_t HostDialog::CopyItemOut(int index, far::LONG_PTR buffer) const {
    const Item& item = items_[index];
    const bool parameter = HasTextParameter(item.record);
    const size_t textBytes = (item.text.size() + 1) * sizeof(far::HostChar);
    const size_t parameterBytes =
        parameter ? (item.parameter.size() + 1) * sizeof(far::HostChar) : 0;
    const size_t size = sizeof(far::FarDialogItem) + textBytes + parameterBytes;
    if (buffer == 0) return size;
    // The record, then its texts in the same buffer.
    auto* bytes = reinterpret_cast<unsigned char*>(buffer);
    auto* text = reinterpret_cast<far::HostChar*>(bytes + sizeof(far::FarDialogItem));
    std::memcpy(text, item.text.c_str(), textBytes);
    far::FarDialogItem record = Outgoing(index);
    record.PtrData = text;
    if (parameter) {
        auto* name =
            reinterpret_cast<far::HostChar*>(bytes + sizeof(far::FarDialogItem) + textBytes);
        std::memcpy(name, item.parameter.c_str(), parameterBytes);
        record.Param.History = name;
    }
    std::memcpy(bytes, &record, sizeof record);
    return size;
}

size_t HostDialog::CopyTextOut(int index, far::FarDialogItemData* data) const {
    const wm::String& text = items_[index].text;
    if (!data || !data->PtrData) return text.size();
    const size_t length = std::min(data->PtrLength, text.size());
    std::memcpy(data->PtrData, text.data(), length * sizeof(far::HostChar));
    data->PtrData[length] = 0;
    data->PtrLength = length;
    return length;
}

bool HostDialog::ReplaceItem(int index, const far::FarDialogItem& record) {
    Item& item = items_[index];
    // An item keeps its type.
    if (record.Type != item.record.Type) return false;
    item.record = record;
    item.text = FromHostText(record.PtrData);
    item.record.PtrData = nullptr;
    if (HasTextParameter(record)) {
        item.parameter = FromHostText(record.Param.History);
        item.record.Param.Reserved = 0;
    }
    FitToMask(item);
    item.cursor = item.text.size();
    return true;
}

size_t HostDialog::SetItemText(int index, const far::FarDialogItemData* data) {
    wm::String text;
    if (data && data->PtrData) {
        const auto* chars = reinterpret_cast<const char16_t*>(data->PtrData);
        text = data->PtrLength ? wm::String(chars, data->PtrLength) : wm::String(chars);
        text.resize(std::char_traits<char16_t>::length(text.c_str()));
    }
    Item& item = items_[index];
    item.text = std::move(text);
    FitToMask(item);
    item.cursor = item.text.size();
    return item.text.size();
}

int HostDialog::SetCheck(int index, far::LONG_PTR state) {
    auto& record = items_[index].record;
    const int previous = record.Param.Selected;
    if (record.Type == far::DI_CHECKBOX) {
        record.Param.Selected = static_cast<int32_t>(state);
    } else if (record.Type == far::DI_RADIOBUTTON) {
        if (state != 0)
            SelectRadio(index);
        else
            record.Param.Selected = 0;
    } else {
        return 0;
    }
    return previous;
}

void HostDialog::Move(bool absolute, far::COORD position) {
    if (absolute) {
        centredX_ = position.X < 0;
        centredY_ = position.Y < 0;
        if (!centredX_) x_ = position.X;
        if (!centredY_) y_ = position.Y;
        Centre();
    } else {
        centredX_ = centredY_ = false;
        x_ += position.X;
        y_ += position.Y;
    }
}

}  // namespace farhost
