// F3 on a file panel: the file's text, a screen at a time. The top row names the file and
// where the view stands; the arrows, PgUp/PgDn and Home/End scroll; Esc, F3 and F10 close.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <vector>

#include "core/String.h"
#include "farhost/engine/ScreenBuffer.h"

namespace farhost {

// The file's lines as the viewer shows them: tabs expanded to every eighth column, control
// characters as '.', bytes that are not UTF-8 as U+FFFD. At most `maxLines` of them, and of a
// large file its first megabytes only. Throws std::runtime_error when it cannot be read.
std::vector<wm::String> ReadViewLines(const std::filesystem::path& file,
                                      size_t maxLines = std::numeric_limits<size_t>::max());

class FileViewer {
public:
    explicit FileViewer(const std::filesystem::path& file);

    void Draw(ScreenBuffer& screen);
    enum class State { Open, Closed };
    State Press(uint32_t key);
    int Top() const { return top_; }

private:
    std::filesystem::path file_;
    std::vector<wm::String> lines_;
    int top_ = 0;
    // Text rows of the last screen drawn.
    int rows_ = 23;
};

}  // namespace farhost
