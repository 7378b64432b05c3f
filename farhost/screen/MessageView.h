// A plugin's message as a person sees and answers it: a box with a double frame, the title in
// its top line, the text lines centred, and the buttons centred on the row below them, the
// focused one highlighted. Warning messages use the warning colours. A line that is "\x01"
// draws a separator across the frame.
#pragma once

#include <cstdint>
#include <vector>

#include "farhost/engine/Host.h"
#include "farhost/engine/HotKeyText.h"
#include "farhost/engine/ScreenBuffer.h"

namespace farhost {

class MessageView {
public:
    explicit MessageView(const MessageCall& call);

    // Centred on the screen.
    void Draw(ScreenBuffer& screen) const;

    enum class State { Open, Chosen, Cancelled };
    // Left/Right/Tab/Shift+Tab/Up/Down move the focus between the buttons, Enter and Space
    // press the focused one, a button's hot key (plain or with Alt) presses it, Esc and F10
    // cancel. A message without buttons closes on any key.
    State Press(uint32_t key);
    State Current() const { return state_; }
    // As Host's Message answers: the index of the pressed button, or -1.
    int Answer() const { return state_ == State::Chosen ? focus_ : -1; }
    // The focused button, or -1 without buttons.
    int Focus() const { return focus_; }
    // A message without buttons does not wait: the host shows it and answers -1 at once.
    bool HasButtons() const { return !buttons_.empty(); }

private:
    CellRect Box(const ScreenBuffer& screen) const;
    int ButtonsWidth() const;

    bool warning_;
    wm::String title_;
    std::vector<wm::String> lines_;
    std::vector<HotKeyText> buttons_;
    int focus_ = -1;
    State state_ = State::Open;
};

}  // namespace farhost
