#include "farhost/lib/DialogScreen.h"

#include <algorithm>

namespace farhost {
namespace {

struct BoxLines {
    char16_t topLeft, top, topRight, side, bottomLeft, bottomRight;
};

constexpr BoxLines kSingle{u'┌', u'─', u'┐', u'│', u'└', u'┘'};
constexpr BoxLines kDouble{u'╔', u'═', u'╗', u'║', u'╚', u'╝'};

// Writes into the console, clipped to the dialog's rectangle.
class Canvas {
public:
    Canvas(far::COORD console, far::SMALL_RECT dialog)
        : rows_(std::max<int>(console.Y, 0), wm::String(std::max<int>(console.X, 0), u' ')),
          dialog_(dialog) {}

    void Put(int x, int y, char16_t c) {
        x += dialog_.Left;
        y += dialog_.Top;
        if (x < dialog_.Left || x > dialog_.Right || y < dialog_.Top || y > dialog_.Bottom) return;
        if (y < 0 || y >= static_cast<int>(rows_.size())) return;
        if (x < 0 || x >= static_cast<int>(rows_[y].size())) return;
        rows_[y][x] = c;
    }

    // At most `limit` characters of `text` from (x, y); no limit when negative.
    void Write(int x, int y, wm::StringView text, int limit = -1) {
        const int count = limit < 0 ? static_cast<int>(text.size())
                                    : std::min(limit, static_cast<int>(text.size()));
        for (int i = 0; i < count; ++i) Put(x + i, y, text[i]);
    }

    void Box(const far::SMALL_RECT& r, const BoxLines& lines) {
        for (int x = r.Left + 1; x < r.Right; ++x) {
            Put(x, r.Top, lines.top);
            Put(x, r.Bottom, lines.top);
        }
        for (int y = r.Top + 1; y < r.Bottom; ++y) {
            Put(r.Left, y, lines.side);
            Put(r.Right, y, lines.side);
        }
        Put(r.Left, r.Top, lines.topLeft);
        Put(r.Right, r.Top, lines.topRight);
        Put(r.Left, r.Bottom, lines.bottomLeft);
        Put(r.Right, r.Bottom, lines.bottomRight);
    }

    std::vector<wm::String> Rows() {
        for (auto& row : rows_) row.erase(row.find_last_not_of(u' ') + 1);
        return std::move(rows_);
    }

private:
    std::vector<wm::String> rows_;
    far::SMALL_RECT dialog_;
};

void DrawText(Canvas& canvas, const HostDialog::Item& item, int dialogWidth) {
    const auto& record = item.record;
    const wm::String text = HostDialog::DisplayText(item);
    const int length = static_cast<int>(text.size());
    if (record.Flags & far::DIF_SEPARATOR) {
        // Across the standard frame unless the item has a span of its own.
        const bool own = record.X2 > record.X1;
        const int left = own ? record.X1 : 3, right = own ? record.X2 : dialogWidth - 4;
        for (int x = left + 1; x < right; ++x) canvas.Put(x, record.Y1, u'─');
        canvas.Put(left, record.Y1, u'╟');
        canvas.Put(right, record.Y1, u'╢');
        if (length > 0) {
            const wm::String title = u" " + text + u" ";
            const int width = right - left - 1;
            canvas.Write(left + 1 + std::max((width - static_cast<int>(title.size())) / 2, 0),
                         record.Y1, title, width);
        }
        return;
    }
    // A label with a span of its own is clipped to it.
    const bool spanned = record.X2 >= record.X1 && record.X2 > 0;
    const int span = spanned ? record.X2 - record.X1 + 1 : -1;
    if (record.X1 < 0) {
        canvas.Write(std::max((dialogWidth - length) / 2, 0), record.Y1, text);
    } else if ((record.Flags & far::DIF_CENTERTEXT) && spanned) {
        canvas.Write(record.X1 + std::max((span - length) / 2, 0), record.Y1, text, span);
    } else {
        canvas.Write(record.X1, record.Y1, text, span);
    }
}

void DrawEdit(Canvas& canvas, const HostDialog::Item& item) {
    const auto& record = item.record;
    const int width = std::max(record.X2 - record.X1 + 1, 1);
    wm::String shown =
        record.Type == far::DI_PSWEDIT ? wm::String(item.text.size(), u'*') : item.text;
    const bool disabled = (record.Flags & far::DIF_DISABLE) != 0;
    if (static_cast<int>(shown.size()) < width) shown.resize(width, disabled ? u'░' : u'·');
    canvas.Write(record.X1, record.Y1, shown, width);
}

void DrawButtonLike(Canvas& canvas, const HostDialog::Item& item, const far::SMALL_RECT& r) {
    const auto& record = item.record;
    const bool disabled = (record.Flags & far::DIF_DISABLE) != 0;
    const wm::String text = HostDialog::DisplayText(item);
    char16_t open = u'[', close = u']';
    if (disabled) {
        open = u'<';
        close = u'>';
    }
    switch (record.Type) {
        case far::DI_BUTTON:
            if (!disabled && record.DefaultButton) {
                open = u'{';
                close = u'}';
            }
            canvas.Write(r.Left, r.Top, wm::String(1, open) + u" " + text + u" " + close);
            return;
        case far::DI_CHECKBOX: {
            const char16_t mark = record.Param.Selected == far::BSTATE_CHECKED  ? u'x'
                                  : record.Param.Selected == far::BSTATE_3STATE ? u'?'
                                                                                : u' ';
            canvas.Write(r.Left, r.Top, wm::String{open, mark, close, u' '} + text);
            return;
        }
        default: {
            if (!disabled) {
                open = u'(';
                close = u')';
            }
            const char16_t mark = record.Param.Selected ? u'•' : u' ';
            canvas.Write(r.Left, r.Top, wm::String{open, mark, close, u' '} + text);
            return;
        }
    }
}

}  // namespace

std::vector<wm::String> DrawDialog(const HostDialog& dialog, far::COORD console) {
    const far::SMALL_RECT rect = dialog.Rect();
    const int width = rect.Right - rect.Left + 1;
    Canvas canvas(console, rect);
    const auto& items = dialog.Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        const auto& item = items[i];
        const auto& record = item.record;
        if (record.Flags & far::DIF_HIDDEN) continue;
        switch (record.Type) {
            case far::DI_TEXT:
                DrawText(canvas, item, width);
                break;
            case far::DI_VTEXT: {
                const wm::String text = HostDialog::DisplayText(item);
                for (size_t k = 0; k < text.size(); ++k)
                    canvas.Put(record.X1, record.Y1 + static_cast<int>(k), text[k]);
                break;
            }
            case far::DI_SINGLEBOX:
            case far::DI_DOUBLEBOX:
            case far::DI_LISTBOX: {
                const far::SMALL_RECT box = dialog.ItemRect(i);
                canvas.Box(box, record.Type == far::DI_DOUBLEBOX ? kDouble : kSingle);
                const wm::String title = HostDialog::DisplayText(item);
                if (record.Type != far::DI_LISTBOX && !title.empty()) {
                    const wm::String shown = u" " + title + u" ";
                    const int inner = box.Right - box.Left - 1;
                    const int offset =
                        (record.Flags & far::DIF_LEFTTEXT)
                            ? 1
                            : std::max((inner - static_cast<int>(shown.size())) / 2, 0);
                    canvas.Write(box.Left + 1 + offset, box.Top, shown, inner);
                }
                break;
            }
            case far::DI_EDIT:
            case far::DI_PSWEDIT:
            case far::DI_FIXEDIT:
            case far::DI_COMBOBOX:
                DrawEdit(canvas, item);
                break;
            case far::DI_BUTTON:
            case far::DI_CHECKBOX:
            case far::DI_RADIOBUTTON:
                DrawButtonLike(canvas, item, dialog.ItemRect(i));
                break;
            default:
                break;
        }
    }
    return canvas.Rows();
}

}  // namespace farhost
