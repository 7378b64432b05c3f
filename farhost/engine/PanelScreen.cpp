#include "farhost/engine/PanelScreen.h"

#include <algorithm>

namespace farhost {

std::string DrawPanels(const PanelView& left, const PanelView& right, bool leftActive, int width,
                       int height) {
    const int half = std::max(10, width / 2);
    // A listing longer than the rows below the title keeps its last row for "... N more" and
    // scrolls so that the cursor stays in sight.
    const auto cut = [&](const PanelView& panel) {
        return static_cast<int>(panel.rows.size()) > height - 1;
    };
    const auto first = [&](const PanelView& panel) {
        return cut(panel) ? std::max(0, panel.current - (height - 3)) : 0;
    };
    const auto column = [&](const PanelView& panel, bool active, int row) -> std::string {
        std::string text;
        if (row == 0) {
            text = (active ? "[" : " ") + panel.title + (active ? "]" : " ");
        } else if (cut(panel) && row == height - 1) {
            text = " ... " + std::to_string(static_cast<int>(panel.rows.size()) - (height - 2)) +
                   " more";
        } else if (row - 1 + first(panel) < static_cast<int>(panel.rows.size())) {
            const int index = row - 1 + first(panel);
            const PanelRow& entry = panel.rows[static_cast<size_t>(index)];
            const bool current = active && index == panel.current;
            text = std::string(current ? ">" : " ") + (entry.marked ? "*" : "") + entry.name +
                   (entry.directory ? "/" : "");
            if (!panel.descriptionTitle.empty() && !entry.description.empty())
                text += "  " + entry.description;
        }
        // Cut or pad by code points so UTF-8 texts keep whole characters.
        std::string out;
        int cells = 0;
        for (size_t i = 0; i < text.size() && cells < half - 1; ++cells) {
            size_t length = 1;
            while (i + length < text.size() &&
                   (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
                ++length;
            out += text.substr(i, length);
            i += length;
        }
        return out + std::string(static_cast<size_t>(half - 1 - cells), ' ');
    };
    std::string screen;
    for (int row = 0; row < height; ++row) {
        screen += column(left, leftActive, row) + "|" + column(right, !leftActive, row);
        while (!screen.empty() && screen.back() == ' ') screen.pop_back();
        screen += "\n";
    }
    return screen;
}

}  // namespace farhost
