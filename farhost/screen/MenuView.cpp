#include "farhost/screen/MenuView.h"

#include <algorithm>
#include <cwctype>

#include "farhost/engine/DialogAction.h"

namespace farhost {
namespace {

constexpr char16_t kCheckMark = u'√';
// Frame, a blank and the check column on the left, a blank and the frame on the right.
constexpr int kRowDecoration = 5;

}  // namespace

MenuView::MenuView(const MenuCall& call)
    : x_(call.x),
      y_(call.y),
      maxHeight_(call.maxHeight),
      wrap_((call.flags & far::FMENU_WRAPMODE) != 0),
      title_(call.title),
      bottom_(call.bottom) {
    for (const auto& item : call.items) {
        Row row;
        row.text = ParseHotKeyText(item.text);
        row.separator = item.separator;
        row.checked = item.checked;
        if (!row.separator && row.text.hotKey >= 0)
            row.hotKey = FoldCase(row.text.shown[row.text.hotKey]);
        rows_.push_back(std::move(row));
    }
    if (call.flags & far::FMENU_AUTOHIGHLIGHT) AssignAutomaticHotKeys();
    for (int i = 0; i < static_cast<int>(call.items.size()) && selected_ < 0; ++i) {
        if (call.items[i].selected && Selectable(i)) selected_ = i;
    }
    if (selected_ < 0) selected_ = Nearest(0, 1);
}

void MenuView::AssignAutomaticHotKeys() {
    const auto taken = [&](char16_t key) {
        return std::any_of(rows_.begin(), rows_.end(),
                           [key](const Row& row) { return row.hotKey == key; });
    };
    for (auto& row : rows_) {
        if (row.separator || row.hotKey != 0) continue;
        for (size_t i = 0; i < row.text.shown.size(); ++i) {
            const char16_t c = row.text.shown[i];
            if (!std::iswalnum(static_cast<std::wint_t>(c)) || taken(FoldCase(c))) continue;
            row.hotKey = FoldCase(c);
            row.text.hotKey = static_cast<int>(i);
            break;
        }
    }
}

bool MenuView::Selectable(int index) const {
    return index >= 0 && index < static_cast<int>(rows_.size()) && !rows_[index].separator;
}

int MenuView::Nearest(int from, int step) const {
    for (int i = from; i >= 0 && i < static_cast<int>(rows_.size()); i += step) {
        if (Selectable(i)) return i;
    }
    return -1;
}

void MenuView::Move(int step) {
    if (selected_ < 0) return;
    int next = Nearest(selected_ + step, step);
    if (next < 0 && wrap_) next = Nearest(step > 0 ? 0 : static_cast<int>(rows_.size()) - 1, step);
    if (next >= 0) selected_ = next;
}

MenuView::State MenuView::Press(uint32_t key) {
    if (state_ != State::Open) return state_;
    const int last = static_cast<int>(rows_.size()) - 1;
    const int pageStep = std::max(page_ - 1, 1);
    const auto jump = [&](int target, int step) {
        target = std::clamp(target, 0, std::max(last, 0));
        const int found = Nearest(target, step);
        selected_ = found >= 0 ? found : Nearest(target, -step);
    };
    switch (key) {
        case keys::Up:
            Move(-1);
            break;
        case keys::Down:
            Move(1);
            break;
        case keys::Home:
            jump(0, 1);
            break;
        case keys::End:
            jump(last, -1);
            break;
        case keys::PgUp:
            if (selected_ >= 0) jump(selected_ - pageStep, -1);
            break;
        case keys::PgDn:
            if (selected_ >= 0) jump(selected_ + pageStep, 1);
            break;
        case keys::Enter:
            state_ = selected_ >= 0 ? State::Chosen : State::Cancelled;
            break;
        case keys::Esc:
        case keys::F1 + 9:
            state_ = State::Cancelled;
            break;
        default:
            if (const char16_t hotKey = HotKeyOf(key)) {
                for (int i = 0; i <= last; ++i) {
                    if (Selectable(i) && rows_[i].hotKey == hotKey) {
                        selected_ = i;
                        state_ = State::Chosen;
                        break;
                    }
                }
            }
            break;
    }
    return state_;
}

CellRect MenuView::Box(const ScreenBuffer& screen) const {
    int widest = 0;
    for (const auto& row : rows_)
        widest = std::max(widest, static_cast<int>(row.text.shown.size()));
    int width = widest + kRowDecoration;
    width = std::max(
        {width, static_cast<int>(title_.size()) + 6, static_cast<int>(bottom_.size()) + 6});
    width = std::min(width, screen.Width());
    int shown = static_cast<int>(rows_.size());
    if (maxHeight_ > 0) shown = std::min(shown, maxHeight_);
    const int height = std::min(std::max(shown, 1) + 2, screen.Height());
    const int left = x_ < 0 ? (screen.Width() - width) / 2 : std::min(x_, screen.Width() - width);
    const int top =
        y_ < 0 ? (screen.Height() - height) / 2 : std::min(y_, screen.Height() - height);
    return {std::max(left, 0), std::max(top, 0), std::max(left, 0) + width - 1,
            std::max(top, 0) + height - 1};
}

void MenuView::DrawRow(ScreenBuffer& screen, const CellRect& box, int y, int index) const {
    const Row& row = rows_[index];
    if (row.separator) {
        screen.Separator(box, y, true, CellStyle::Menu);
        screen.Caption(box, y, row.text.shown, CellStyle::Menu);
        return;
    }
    const bool selected = index == selected_;
    const CellStyle style = selected ? CellStyle::MenuSelected : CellStyle::Menu;
    screen.Fill({box.left + 1, y, box.right - 1, y}, u' ', style);
    if (row.checked) screen.Put(box.left + 2, y, kCheckMark, style);
    const int room = box.Width() - kRowDecoration;
    screen.Write(box.left + 3, y, row.text.shown, style, room);
    if (!selected && row.text.hotKey >= 0 && row.text.hotKey < room)
        screen.Put(box.left + 3 + row.text.hotKey, y, row.text.shown[row.text.hotKey],
                   CellStyle::MenuHotKey);
}

void MenuView::Draw(ScreenBuffer& screen) const {
    const CellRect box = Box(screen);
    const int count = static_cast<int>(rows_.size());
    page_ = std::max(box.Height() - 2, 1);
    if (selected_ >= 0 && selected_ < top_) top_ = selected_;
    if (selected_ >= top_ + page_) top_ = selected_ - page_ + 1;
    top_ = std::clamp(top_, 0, std::max(count - page_, 0));

    screen.Unclip();
    screen.Fill(box, u' ', CellStyle::Menu);
    screen.Frame(box, true, CellStyle::Menu, title_);
    screen.Caption(box, box.bottom, bottom_, CellStyle::Menu);
    screen.Clip(box);
    for (int i = 0; i < page_ && top_ + i < count; ++i)
        DrawRow(screen, box, box.top + 1 + i, top_ + i);
    screen.Unclip();
    screen.SetCursor(-1, -1);
}

}  // namespace farhost
