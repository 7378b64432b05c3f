// The host's command line under the panels: the text being typed, its cursor and the history
// of the lines run (Ctrl+E earlier, Ctrl+X later).
#pragma once

#include <cstdint>
#include <vector>

#include "core/String.h"

namespace farhost {

class CommandLineEditor {
public:
    const wm::String& Text() const { return text_; }
    int Cursor() const { return cursor_; }
    bool Empty() const { return text_.empty(); }

    // Edits the line: characters, BS, Del, Left, Right, Home, End, Ctrl+Y and Esc (clear),
    // Ctrl+E and Ctrl+X (history). False when the key is not one of the line's.
    bool Press(uint32_t key);
    void Insert(wm::StringView text);
    // The line as it stands, which goes into the history; the line is empty again.
    wm::String Take();
    const std::vector<wm::String>& History() const { return history_; }
    // The lines of earlier runs, the latest last; the line being typed is not touched.
    void SetHistory(std::vector<wm::String> lines);

private:
    void Recall(size_t index);

    wm::String text_;
    int cursor_ = 0;
    std::vector<wm::String> history_;
    // Where Ctrl+E and Ctrl+X stand in the history; history_.size() is the line being typed.
    size_t recalled_ = 0;
};

}  // namespace farhost
