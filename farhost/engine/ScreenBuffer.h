// The full screen as cells: a character and the role it plays, which the terminal maps to
// colours (or to bold and reverse without colours). Everything farhost draws in full-screen
// mode goes here first; writes outside the buffer or the clip rectangle are dropped.
#pragma once

#include <cstdint>
#include <vector>

#include "core/String.h"

namespace farhost {

enum class CellStyle : uint8_t {
    Panel,             // panel text
    PanelDirectory,    // a folder's name
    PanelMarked,       // a marked item
    PanelCursor,       // the current item on the active side
    PanelFrame,        // frame and column lines
    PanelTitle,        // the title in the top frame
    PanelTitleActive,  // the active side's title
    PanelInfo,         // the info line at the bottom of a panel
    CommandLine,       // the command line and its prompt
    KeyBarNumber,      // "1" … "10" in the key bar
    KeyBarLabel,       // "Help" … "Quit"
    Dialog,            // dialog and message box text and frame
    DialogFocus,       // the focused item of a dialog
    DialogEdit,        // an edit line's field
    DialogEditFocus,   // the focused edit line
    DialogDisabled,    // a disabled item
    DialogHotKey,      // the hot key letter of an item
    Warning,           // a warning box's text and frame
    WarningFocus,      // a warning box's focused button
    Menu,              // menu text and frame
    MenuSelected,      // the selected menu item
    MenuHotKey,        // the hot key letter of a menu item
};

struct Cell {
    char16_t ch = u' ';
    CellStyle style = CellStyle::Panel;

    bool operator==(const Cell&) const = default;
};

struct CellRect {
    int left = 0, top = 0, right = -1, bottom = -1;  // inclusive, like SMALL_RECT

    bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};

class ScreenBuffer {
public:
    ScreenBuffer(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    CellRect Whole() const { return {0, 0, width_ - 1, height_ - 1}; }

    // Writes are clipped to this rectangle (and to the buffer) until it is reset.
    void Clip(const CellRect& rect) { clip_ = rect; }
    void Unclip() { clip_ = Whole(); }

    void Put(int x, int y, char16_t ch, CellStyle style);
    // At most `limit` characters of `text` from (x, y); no limit when negative. Returns the
    // number of cells written past x.
    int Write(int x, int y, wm::StringView text, CellStyle style, int limit = -1);
    void Fill(const CellRect& rect, char16_t ch, CellStyle style);
    // A frame on the rectangle's edge, single or double lines, with `title` centred in its top
    // line between blanks when it is not empty.
    void Frame(const CellRect& rect, bool doubleLines, CellStyle style, wm::StringView title = {});
    // `text` centred between blanks on row y of a frame (its title or bottom line).
    void Caption(const CellRect& frame, int y, wm::StringView text, CellStyle style);
    // A horizontal line across a frame, joined to its sides.
    void Separator(const CellRect& frame, int y, bool doubleFrame, CellStyle style);

    const Cell& At(int x, int y) const { return cells_[static_cast<size_t>(y) * width_ + x]; }
    // The characters of row y, trailing blanks removed.
    wm::String Row(int y) const;
    std::vector<wm::String> Rows() const;

    // Where the terminal's cursor stands, or x < 0 to hide it.
    void SetCursor(int x, int y) { cursorX_ = x, cursorY_ = y; }
    int CursorX() const { return cursorX_; }
    int CursorY() const { return cursorY_; }

private:
    int width_, height_;
    std::vector<Cell> cells_;
    CellRect clip_;
    int cursorX_ = -1, cursorY_ = -1;
};

}  // namespace farhost
