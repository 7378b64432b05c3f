#include "farhost/screen/MessageView.h"

#include <algorithm>

#include "farhost/engine/DialogAction.h"

namespace farhost {
namespace {

constexpr char16_t kSeparatorLine = u'\x01';
// Columns from the box's edge to its frame, and from the frame to the text.
constexpr int kFrameInset = 3;
constexpr int kTextInset = 5;

int ButtonWidth(const HotKeyText& button) {
    return static_cast<int>(button.shown.size()) + 4;  // "[ " text " ]"
}

}  // namespace

MessageView::MessageView(const MessageCall& call)
    : warning_((call.flags & far::FMSG_WARNING) != 0) {
    const int total = static_cast<int>(call.lines.size());
    const int buttons = std::clamp(call.buttons, 0, std::max(total - 1, 0));
    if (total > 0) title_ = call.lines[0];
    for (int i = 1; i < total - buttons; ++i) lines_.push_back(call.lines[i]);
    for (int i = total - buttons; i < total; ++i)
        buttons_.push_back(ParseHotKeyText(call.lines[i]));
    if (!buttons_.empty()) focus_ = 0;
}

MessageView::State MessageView::Press(uint32_t key) {
    if (state_ != State::Open) return state_;
    if (buttons_.empty()) {
        state_ = State::Cancelled;
        return state_;
    }
    const int count = static_cast<int>(buttons_.size());
    switch (key) {
        case keys::Right:
        case keys::Down:
        case keys::Tab:
            focus_ = (focus_ + 1) % count;
            break;
        case keys::Left:
        case keys::Up:
        case keys::Shift | keys::Tab:
            focus_ = (focus_ + count - 1) % count;
            break;
        case keys::Enter:
        case keys::Space:
            state_ = State::Chosen;
            break;
        case keys::Esc:
        case keys::F1 + 9:  // F10
            state_ = State::Cancelled;
            break;
        default:
            if (const char16_t hotKey = HotKeyOf(key)) {
                for (int i = 0; i < count; ++i) {
                    const auto& button = buttons_[i];
                    if (button.hotKey >= 0 && FoldCase(button.shown[button.hotKey]) == hotKey) {
                        focus_ = i;
                        state_ = State::Chosen;
                        break;
                    }
                }
            }
            break;
    }
    return state_;
}

int MessageView::ButtonsWidth() const {
    int width = -1;
    for (const auto& button : buttons_) width += ButtonWidth(button) + 1;
    return std::max(width, 0);
}

CellRect MessageView::Box(const ScreenBuffer& screen) const {
    int widest = std::max(static_cast<int>(title_.size()) + 2, ButtonsWidth());
    for (const auto& line : lines_) widest = std::max(widest, static_cast<int>(line.size()));
    const int width = std::min(widest + 2 * kTextInset, screen.Width());
    const int rows = static_cast<int>(lines_.size()) + (buttons_.empty() ? 0 : 1);
    const int height = std::min(rows + 4, screen.Height());
    const int left = std::max((screen.Width() - width) / 2, 0);
    const int top = std::max((screen.Height() - height) / 2, 0);
    return {left, top, left + width - 1, top + height - 1};
}

void MessageView::Draw(ScreenBuffer& screen) const {
    const CellStyle style = warning_ ? CellStyle::Warning : CellStyle::Dialog;
    const CellStyle focused = warning_ ? CellStyle::WarningFocus : CellStyle::DialogFocus;
    const CellRect box = Box(screen);
    const CellRect frame{box.left + kFrameInset, box.top + 1, box.right - kFrameInset,
                         box.bottom - 1};
    const int room = std::max(box.Width() - 2 * kTextInset, 0);

    screen.Unclip();
    screen.Fill(box, u' ', style);
    screen.Frame(frame, true, style, title_);
    screen.Clip(box);
    int y = frame.top + 1;
    for (const auto& line : lines_) {
        if (line == wm::StringView(&kSeparatorLine, 1)) {
            screen.Separator(frame, y++, true, style);
            continue;
        }
        const int shown = std::min(static_cast<int>(line.size()), room);
        screen.Write(box.left + kTextInset + (room - shown) / 2, y++, line, style, shown);
    }
    if (!buttons_.empty()) {
        int x = box.left + std::max((box.Width() - ButtonsWidth()) / 2, 0);
        for (int i = 0; i < static_cast<int>(buttons_.size()); ++i) {
            const auto& button = buttons_[i];
            const CellStyle buttonStyle = i == focus_ ? focused : style;
            screen.Write(x, y, u"[ " + button.shown + u" ]", buttonStyle);
            if (i != focus_ && button.hotKey >= 0)
                screen.Put(x + 2 + button.hotKey, y, button.shown[button.hotKey],
                           warning_ ? CellStyle::Warning : CellStyle::DialogHotKey);
            x += ButtonWidth(button) + 1;
        }
    }
    screen.Unclip();
    screen.SetCursor(-1, -1);
}

}  // namespace farhost
