// Two panels side by side as text: a title row, then one row per item with the cursor (">")
// on the active side and "*" before a marked item, and its description where the panel shows
// one. A listing cut at `height` rows ends with
// "... N more", N the rows not shown.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace farhost {

struct PanelRow {
    std::string name;
    bool directory = false;
    bool marked = false;
    uint64_t size = 0;
    std::string description = {};
};

struct PanelView {
    std::string title;
    std::vector<PanelRow> rows;
    int current = 0;
    // The column titles; without a description title the panel shows names only.
    std::string nameTitle = "Name";
    std::string descriptionTitle = {};
};

std::string DrawPanels(const PanelView& left, const PanelView& right, bool leftActive,
                       int width = 80, int height = 12);

}  // namespace farhost
