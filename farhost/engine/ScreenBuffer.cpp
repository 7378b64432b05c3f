#include "farhost/engine/ScreenBuffer.h"

#include <algorithm>

namespace farhost {

ScreenBuffer::ScreenBuffer(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      cells_(static_cast<size_t>(width_) * height_),
      clip_(Whole()) {}

void ScreenBuffer::Put(int x, int y, char16_t ch, CellStyle style) {
    if (!clip_.Contains(x, y) || x < 0 || y < 0 || x >= width_ || y >= height_) return;
    cells_[static_cast<size_t>(y) * width_ + x] = Cell{ch, style};
}

int ScreenBuffer::Write(int x, int y, wm::StringView text, CellStyle style, int limit) {
    const int count =
        limit < 0 ? static_cast<int>(text.size()) : std::min(limit, static_cast<int>(text.size()));
    for (int i = 0; i < count; ++i) Put(x + i, y, text[i], style);
    return std::max(count, 0);
}

void ScreenBuffer::Fill(const CellRect& rect, char16_t ch, CellStyle style) {
    for (int y = rect.top; y <= rect.bottom; ++y)
        for (int x = rect.left; x <= rect.right; ++x) Put(x, y, ch, style);
}

void ScreenBuffer::Frame(const CellRect& r, bool doubleLines, CellStyle style,
                         wm::StringView title) {
    const char16_t horizontal = doubleLines ? u'═' : u'─';
    const char16_t vertical = doubleLines ? u'║' : u'│';
    for (int x = r.left + 1; x < r.right; ++x) {
        Put(x, r.top, horizontal, style);
        Put(x, r.bottom, horizontal, style);
    }
    for (int y = r.top + 1; y < r.bottom; ++y) {
        Put(r.left, y, vertical, style);
        Put(r.right, y, vertical, style);
    }
    Put(r.left, r.top, doubleLines ? u'╔' : u'┌', style);
    Put(r.right, r.top, doubleLines ? u'╗' : u'┐', style);
    Put(r.left, r.bottom, doubleLines ? u'╚' : u'└', style);
    Put(r.right, r.bottom, doubleLines ? u'╝' : u'┘', style);
    Caption(r, r.top, title, style);
}

void ScreenBuffer::Caption(const CellRect& r, int y, wm::StringView text, CellStyle style) {
    if (text.empty() || r.Width() < 5) return;
    const int room = r.Width() - 4;
    const int shown = std::min(room, static_cast<int>(text.size()));
    const int start = r.left + (r.Width() - shown - 2) / 2;
    Put(start, y, u' ', style);
    Write(start + 1, y, text, style, shown);
    Put(start + 1 + shown, y, u' ', style);
}

void ScreenBuffer::Separator(const CellRect& frame, int y, bool doubleFrame, CellStyle style) {
    for (int x = frame.left + 1; x < frame.right; ++x) Put(x, y, u'─', style);
    Put(frame.left, y, doubleFrame ? u'╟' : u'├', style);
    Put(frame.right, y, doubleFrame ? u'╢' : u'┤', style);
}

wm::String ScreenBuffer::Row(int y) const {
    wm::String row;
    row.reserve(width_);
    for (int x = 0; x < width_; ++x) row += At(x, y).ch;
    row.erase(row.find_last_not_of(u' ') + 1);
    return row;
}

std::vector<wm::String> ScreenBuffer::Rows() const {
    std::vector<wm::String> rows;
    rows.reserve(height_);
    for (int y = 0; y < height_; ++y) rows.push_back(Row(y));
    return rows;
}

}  // namespace farhost
