// A plugin's menu as a person sees and drives it: a double frame with the title on top and the
// bottom text below, one row per item (separators as lines across the frame, "√" before checked
// items, hot keys highlighted), the selected item in the selection colour, scrolled when the
// items do not fit.
#pragma once

#include <cstdint>
#include <vector>

#include "farhost/engine/Host.h"
#include "farhost/engine/HotKeyText.h"
#include "farhost/engine/ScreenBuffer.h"

namespace farhost {

class MenuView {
public:
    explicit MenuView(const MenuCall& call);

    // Centred unless the call gives a place, kept within the screen.
    void Draw(ScreenBuffer& screen) const;

    enum class State { Open, Chosen, Cancelled };
    // Up/Down/Home/End/PgUp/PgDn move the selection over separators (Up and Down wrap with
    // FMENU_WRAPMODE), Enter chooses, Esc and F10 cancel, a hot key (plain or with Alt)
    // chooses its item.
    State Press(uint32_t key);
    State Current() const { return state_; }
    // As Host's Menu answers: the chosen item's index (separators counted), or -1.
    int Answer() const { return state_ == State::Chosen ? selected_ : -1; }
    // The selected item, or -1 when every item is a separator.
    int Selected() const { return selected_; }

private:
    struct Row {
        HotKeyText text;
        bool separator = false;
        bool checked = false;
        char16_t hotKey = 0;  // folded; 0: none
    };

    bool Selectable(int index) const;
    // The nearest selectable item from `from` in direction `step`, `from` included; -1 if none.
    int Nearest(int from, int step) const;
    void Move(int step);
    void AssignAutomaticHotKeys();
    CellRect Box(const ScreenBuffer& screen) const;
    void DrawRow(ScreenBuffer& screen, const CellRect& box, int y, int index) const;

    int x_, y_, maxHeight_;
    bool wrap_;
    wm::String title_, bottom_;
    std::vector<Row> rows_;
    int selected_ = -1;
    State state_ = State::Open;
    // The first item shown and the item rows the last drawing had room for; PgUp/PgDn move by
    // that page and the window follows the selection.
    mutable int top_ = 0;
    mutable int page_ = 1;
};

}  // namespace farhost
