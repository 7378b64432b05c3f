// The full screen of the host drawn into a ScreenBuffer: two framed panels with their titles,
// the column header, the items with the cursor and the marks, the info line of the current
// item, then the command line with its prompt and the key bar. With the panels hidden, the
// text output stands in their place (the user screen).
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "core/String.h"
#include "farhost/engine/PanelScreen.h"
#include "farhost/engine/ScreenBuffer.h"

namespace farhost {

struct ScreenSide {
    PanelView view;
    // The first item shown; kept across draws so the list scrolls as little as it can.
    int top = 0;
};

struct ScreenLayout {
    std::array<ScreenSide, 2> sides;
    size_t activeSide = 0;
    bool panelsHidden = false;
    // The text output, oldest line first; its last lines are shown while the panels are hidden.
    std::vector<wm::String> userScreen;
    wm::String prompt;
    wm::String commandLine;
    int commandCursor = 0;
    // F1 to F12; an empty label leaves the key's place blank.
    std::array<wm::String, 12> keyLabels;
};

// The host's own key bar labels.
std::array<wm::String, 12> DefaultKeyLabels();
// `labels` with the ones a plugin panel sets in their place (a null title keeps the host's).
std::array<wm::String, 12> MergeKeyLabels(std::array<wm::String, 12> labels,
                                          const std::array<std::optional<wm::String>, 12>& own);

// The number of item rows a panel shows on a screen `height` rows high.
int PanelItemRows(int height);
// The first item to show so that `current` is in sight, moving `top` as little as possible.
int ScrollTop(int top, int current, int count, int rows);

// Draws the whole screen; the sides' `top` are updated to what was drawn.
void DrawScreen(ScreenLayout& layout, ScreenBuffer& screen);

}  // namespace farhost
