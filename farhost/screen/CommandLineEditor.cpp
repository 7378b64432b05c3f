#include "farhost/screen/CommandLineEditor.h"

#include <algorithm>
#include <utility>

#include "farhost/engine/DialogAction.h"

namespace farhost {

bool CommandLineEditor::Press(uint32_t key) {
    const int length = static_cast<int>(text_.size());
    switch (key) {
        case keys::BS:
            if (cursor_ == 0) return true;
            text_.erase(static_cast<size_t>(--cursor_), 1);
            return true;
        case keys::Del:
            if (cursor_ < length) text_.erase(static_cast<size_t>(cursor_), 1);
            return true;
        case keys::Left:
            cursor_ = std::max(0, cursor_ - 1);
            return true;
        case keys::Right:
            cursor_ = std::min(length, cursor_ + 1);
            return true;
        case keys::Home:
            cursor_ = 0;
            return true;
        case keys::End:
            cursor_ = length;
            return true;
        case keys::Esc:
        case keys::Ctrl | 'Y':
            text_.clear();
            cursor_ = 0;
            recalled_ = history_.size();
            return true;
        case keys::Ctrl | 'E':
            if (recalled_ > 0) Recall(recalled_ - 1);
            return true;
        case keys::Ctrl | 'X':
            if (recalled_ < history_.size()) Recall(recalled_ + 1);
            return true;
        default:
            break;
    }
    if (key >= keys::Space && key < keys::Extended && key != 0x7F) {
        Insert(wm::String(1, static_cast<char16_t>(key)));
        return true;
    }
    return false;
}

void CommandLineEditor::Insert(wm::StringView text) {
    text_.insert(static_cast<size_t>(cursor_), text);
    cursor_ += static_cast<int>(text.size());
}

void CommandLineEditor::Recall(size_t index) {
    recalled_ = index;
    text_ = index < history_.size() ? history_[index] : wm::String();
    cursor_ = static_cast<int>(text_.size());
}

void CommandLineEditor::SetHistory(std::vector<wm::String> lines) {
    history_ = std::move(lines);
    recalled_ = history_.size();
}

wm::String CommandLineEditor::Take() {
    wm::String line = std::move(text_);
    text_.clear();
    cursor_ = 0;
    // The same line twice in a row is kept once, as the host's history does.
    if (!line.empty() && (history_.empty() || history_.back() != line)) history_.push_back(line);
    recalled_ = history_.size();
    return line;
}

}  // namespace farhost
