#include "farhost/engine/DialogView.h"

#include <algorithm>

#include "farhost/engine/HotKeyText.h"

namespace farhost {
namespace {

// The screen as the dialog's items see it: coordinates relative to the dialog, writes clipped
// to the dialog's rectangle.
class Canvas {
public:
    Canvas(ScreenBuffer& screen, const far::SMALL_RECT& dialog, bool warning)
        : screen_(screen), left_(dialog.Left), top_(dialog.Top), warning_(warning) {
        const CellRect rect{dialog.Left, dialog.Top, dialog.Right, dialog.Bottom};
        screen_.Unclip();
        screen_.Fill(rect, u' ', Base());
        screen_.Clip(rect);
        screen_.SetCursor(-1, -1);
    }
    ~Canvas() { screen_.Unclip(); }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    CellStyle Base() const { return warning_ ? CellStyle::Warning : CellStyle::Dialog; }
    CellStyle Focused() const {
        return warning_ ? CellStyle::WarningFocus : CellStyle::DialogFocus;
    }

    void Put(int x, int y, char16_t c, CellStyle style) {
        screen_.Put(left_ + x, top_ + y, c, style);
    }
    // At most `limit` characters of `text` from (x, y); no limit when negative.
    void Write(int x, int y, wm::StringView text, CellStyle style, int limit = -1) {
        screen_.Write(left_ + x, top_ + y, text, style, limit);
    }
    // `text` with its hot key in the hot-key style (unless `style` is already a highlight).
    void WriteLabel(int x, int y, const HotKeyText& text, CellStyle style, int limit = -1) {
        const int written = screen_.Write(left_ + x, top_ + y, text.shown, style, limit);
        if (style == Base() && text.hotKey >= 0 && text.hotKey < written)
            Put(x + text.hotKey, y, text.shown[text.hotKey], CellStyle::DialogHotKey);
    }
    void Frame(const far::SMALL_RECT& r, bool doubleLines) {
        screen_.Frame({left_ + r.Left, top_ + r.Top, left_ + r.Right, top_ + r.Bottom}, doubleLines,
                      Base());
    }
    void SetCursor(int x, int y) { screen_.SetCursor(left_ + x, top_ + y); }

private:
    ScreenBuffer& screen_;
    int left_, top_;
    bool warning_;
};

HotKeyText Label(const HostDialog::Item& item) {
    if (item.record.Flags & far::DIF_SHOWAMPERSAND) return {item.text, -1};
    return ParseHotKeyText(item.text);
}

bool Disabled(const HostDialog::Item& item) {
    return (item.record.Flags & far::DIF_DISABLE) != 0;
}

void DrawText(Canvas& canvas, const HostDialog::Item& item, int dialogWidth) {
    const auto& record = item.record;
    const HotKeyText text = Label(item);
    const int length = static_cast<int>(text.shown.size());
    const CellStyle style = Disabled(item) ? CellStyle::DialogDisabled : canvas.Base();
    if (record.Flags & far::DIF_SEPARATOR) {
        // Across the standard frame unless the item has a span of its own.
        const bool own = record.X2 > record.X1;
        const int left = own ? record.X1 : 3, right = own ? record.X2 : dialogWidth - 4;
        for (int x = left + 1; x < right; ++x) canvas.Put(x, record.Y1, u'─', canvas.Base());
        canvas.Put(left, record.Y1, u'╟', canvas.Base());
        canvas.Put(right, record.Y1, u'╢', canvas.Base());
        if (length > 0) {
            const wm::String title = u" " + text.shown + u" ";
            const int width = right - left - 1;
            canvas.Write(left + 1 + std::max((width - static_cast<int>(title.size())) / 2, 0),
                         record.Y1, title, style, width);
        }
        return;
    }
    // A label with a span of its own is clipped to it.
    const bool spanned = record.X2 >= record.X1 && record.X2 > 0;
    const int span = spanned ? record.X2 - record.X1 + 1 : -1;
    if (record.X1 < 0) {
        canvas.WriteLabel(std::max((dialogWidth - length) / 2, 0), record.Y1, text, style);
    } else if ((record.Flags & far::DIF_CENTERTEXT) && spanned) {
        canvas.WriteLabel(record.X1 + std::max((span - length) / 2, 0), record.Y1, text, style,
                          span);
    } else {
        canvas.WriteLabel(record.X1, record.Y1, text, style, span);
    }
}

void DrawEdit(Canvas& canvas, const HostDialog::Item& item, bool focused) {
    const auto& record = item.record;
    const int width = std::max(record.X2 - record.X1 + 1, 1);
    wm::String shown =
        record.Type == far::DI_PSWEDIT ? wm::String(item.text.size(), u'*') : item.text;
    const bool disabled = Disabled(item);
    // The focused edit scrolls to keep its cursor in the field.
    const int cursor = static_cast<int>(std::min(item.cursor, item.text.size()));
    const int offset = focused ? std::max(cursor - width + 1, 0) : 0;
    shown.erase(0, std::min<size_t>(offset, shown.size()));
    if (static_cast<int>(shown.size()) < width) shown.resize(width, disabled ? u'░' : u'·');
    const CellStyle style = disabled  ? CellStyle::DialogDisabled
                            : focused ? CellStyle::DialogEditFocus
                                      : CellStyle::DialogEdit;
    canvas.Write(record.X1, record.Y1, shown, style, width);
    if (focused) canvas.SetCursor(record.X1 + cursor - offset, record.Y1);
}

void DrawButtonLike(Canvas& canvas, const HostDialog::Item& item, const far::SMALL_RECT& r,
                    bool focused) {
    const auto& record = item.record;
    const bool disabled = Disabled(item);
    HotKeyText text = Label(item);
    const CellStyle style = disabled  ? CellStyle::DialogDisabled
                            : focused ? canvas.Focused()
                                      : canvas.Base();
    char16_t open = u'[', close = u']';
    if (disabled) {
        open = u'<';
        close = u'>';
    }
    wm::String prefix;
    switch (record.Type) {
        case far::DI_BUTTON:
            if (!disabled && record.DefaultButton) {
                open = u'{';
                close = u'}';
            }
            prefix = wm::String{open, u' '};
            text.shown += wm::String{u' ', close};
            break;
        case far::DI_CHECKBOX: {
            const char16_t mark = record.Param.Selected == far::BSTATE_CHECKED  ? u'x'
                                  : record.Param.Selected == far::BSTATE_3STATE ? u'?'
                                                                                : u' ';
            prefix = wm::String{open, mark, close, u' '};
            break;
        }
        default: {
            if (!disabled) {
                open = u'(';
                close = u')';
            }
            const char16_t mark = record.Param.Selected ? u'•' : u' ';
            prefix = wm::String{open, mark, close, u' '};
            break;
        }
    }
    if (text.hotKey >= 0) text.hotKey += static_cast<int>(prefix.size());
    text.shown = prefix + text.shown;
    canvas.WriteLabel(r.Left, r.Top, text, style);
}

}  // namespace

void DrawDialog(const HostDialog& dialog, ScreenBuffer& screen) {
    const far::SMALL_RECT rect = dialog.Rect();
    const int width = rect.Right - rect.Left + 1;
    Canvas canvas(screen, rect, (dialog.Flags() & far::FDLG_WARNING) != 0);
    const auto& items = dialog.Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const auto& item = items[i];
        const auto& record = item.record;
        const bool focused = i == dialog.Focus();
        if (record.Flags & far::DIF_HIDDEN) continue;
        switch (record.Type) {
            case far::DI_TEXT:
                DrawText(canvas, item, width);
                break;
            case far::DI_VTEXT: {
                const wm::String text = HostDialog::DisplayText(item);
                for (size_t k = 0; k < text.size(); ++k)
                    canvas.Put(record.X1, record.Y1 + static_cast<int>(k), text[k], canvas.Base());
                break;
            }
            case far::DI_SINGLEBOX:
            case far::DI_DOUBLEBOX:
            case far::DI_LISTBOX: {
                const far::SMALL_RECT box = dialog.ItemRect(i);
                canvas.Frame(box, record.Type == far::DI_DOUBLEBOX);
                const wm::String title = HostDialog::DisplayText(item);
                if (record.Type != far::DI_LISTBOX && !title.empty()) {
                    const wm::String shown = u" " + title + u" ";
                    const int inner = box.Right - box.Left - 1;
                    const int offset =
                        (record.Flags & far::DIF_LEFTTEXT)
                            ? 1
                            : std::max((inner - static_cast<int>(shown.size())) / 2, 0);
                    canvas.Write(box.Left + 1 + offset, box.Top, shown, canvas.Base(), inner);
                }
                break;
            }
            case far::DI_EDIT:
            case far::DI_PSWEDIT:
            case far::DI_FIXEDIT:
            case far::DI_COMBOBOX:
                DrawEdit(canvas, item, focused);
                break;
            case far::DI_BUTTON:
            case far::DI_CHECKBOX:
            case far::DI_RADIOBUTTON:
                DrawButtonLike(canvas, item, dialog.ItemRect(i), focused);
                break;
            default:
                break;
        }
    }
}

std::optional<DialogAction> DialogKeyAction(const HostDialog& dialog, uint32_t key) {
    if (!dialog.Running() || (key & ~keys::ModifierMask) == 0) return std::nullopt;
    return DialogAction::Key(key);
}

}  // namespace farhost
