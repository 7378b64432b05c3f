#include "farhost/files/FileViewer.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

#include "farhost/engine/DialogAction.h"

namespace farhost {
namespace {

constexpr size_t kMaxBytes = 8 << 20;
constexpr size_t kTabWidth = 8;

wm::String Shown(const std::string& bytes) {
    wm::String line;
    for (const char16_t c : wm::FromUtf8(bytes)) {
        if (c == u'\t') {
            line.append(kTabWidth - line.size() % kTabWidth, u' ');
        } else {
            line.push_back(c < 0x20 || c == 0x7F ? u'.' : c);
        }
    }
    return line;
}

}  // namespace

std::vector<wm::String> ReadViewLines(const std::filesystem::path& file, size_t maxLines) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw std::runtime_error("cannot open " + wm::ToUtf8(file.u16string()));
    std::vector<wm::String> lines;
    std::string line;
    size_t bytes = 0;
    while (lines.size() < maxLines && bytes < kMaxBytes && std::getline(in, line)) {
        bytes += line.size() + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(Shown(line));
    }
    if (in.bad()) throw std::runtime_error("cannot read " + wm::ToUtf8(file.u16string()));
    return lines;
}

FileViewer::FileViewer(const std::filesystem::path& file)
    : file_(file), lines_(ReadViewLines(file)) {}

void FileViewer::Draw(ScreenBuffer& screen) {
    rows_ = std::max(1, screen.Height() - 1);
    const int count = static_cast<int>(lines_.size());
    top_ = std::clamp(top_, 0, std::max(0, count - rows_));
    screen.Fill(screen.Whole(), u' ', CellStyle::Panel);
    screen.Fill({0, 0, screen.Width() - 1, 0}, u' ', CellStyle::KeyBarLabel);
    const int shownLast = std::min(count, top_ + rows_);
    const std::string where = count == 0
                                  ? "empty"
                                  : "lines " + std::to_string(top_ + 1) + "-" +
                                        std::to_string(shownLast) + " of " + std::to_string(count);
    const wm::String position = wm::FromUtf8(where);
    const int right = screen.Width() - static_cast<int>(position.size()) - 1;
    screen.Write(0, 0, file_.u16string(), CellStyle::KeyBarLabel, std::max(0, right - 1));
    screen.Write(std::max(0, right), 0, position, CellStyle::KeyBarLabel);
    for (int row = 0; row < rows_ && top_ + row < count; ++row)
        screen.Write(0, row + 1, lines_[static_cast<size_t>(top_ + row)], CellStyle::Panel);
    screen.SetCursor(-1, -1);
}

FileViewer::State FileViewer::Press(uint32_t key) {
    switch (key) {
        case keys::Esc:
        case keys::F1 + 2:
        case keys::F1 + 9:
            return State::Closed;
        case keys::Up:
            --top_;
            break;
        case keys::Down:
            ++top_;
            break;
        case keys::PgUp:
            top_ -= rows_;
            break;
        case keys::PgDn:
            top_ += rows_;
            break;
        case keys::Home:
            top_ = 0;
            break;
        case keys::End:
            top_ = std::max(0, static_cast<int>(lines_.size()) - rows_);
            break;
        default:
            break;
    }
    top_ = std::clamp(top_, 0, std::max(0, static_cast<int>(lines_.size()) - rows_));
    return State::Open;
}

}  // namespace farhost
