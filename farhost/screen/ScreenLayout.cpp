#include "farhost/screen/ScreenLayout.h"

#include <algorithm>
#include <string>

namespace farhost {
namespace {

// Rows of a panel: frame, column header, items, separator, info line, frame.
constexpr int kPanelChromeRows = 5;
// Rows below the panels: the command line and the key bar.
constexpr int kBottomRows = 2;

wm::String SizeText(uint64_t size) {
    return wm::FromUtf8(std::to_string(size));
}

// The info line: the current item's name on the left, "Up", "Folder" or its size on the right.
void DrawInfo(const PanelView& view, ScreenBuffer& screen, int left, int right, int y) {
    if (view.rows.empty() || view.current < 0 || view.current >= static_cast<int>(view.rows.size()))
        return;
    const PanelRow& row = view.rows[static_cast<size_t>(view.current)];
    const wm::String what = row.name == ".." ? wm::String(u"Up")
                            : row.directory  ? wm::String(u"Folder")
                                             : SizeText(row.size);
    const int room = right - left + 1;
    const int whatWidth = std::min(static_cast<int>(what.size()), room);
    screen.Write(right - whatWidth + 1, y, what, CellStyle::PanelInfo, whatWidth);
    screen.Write(left, y, wm::FromUtf8(row.name), CellStyle::PanelInfo,
                 std::max(0, room - whatWidth - 1));
}

void DrawPanel(ScreenSide& side, bool active, ScreenBuffer& screen, const CellRect& frame) {
    screen.Fill(frame, u' ', CellStyle::Panel);
    screen.Frame(frame, true, CellStyle::PanelFrame);
    // The title, with the active side's drawn as the host marks it.
    const wm::String title =
        side.view.title.empty() ? wm::String() : u" " + wm::FromUtf8(side.view.title) + u" ";
    const int room = std::max(0, frame.Width() - 4);
    const int shown = std::min(room, static_cast<int>(title.size()));
    // A title too long for the frame keeps its end, where the folder's own name is.
    const wm::String visible = title.substr(title.size() - static_cast<size_t>(shown));
    screen.Write(frame.left + (frame.Width() - shown) / 2, frame.top, visible,
                 active ? CellStyle::PanelTitleActive : CellStyle::PanelTitle);
    // With a description column, the names take 30 % of the room, as the plugin's mode asks.
    const int inner = frame.Width() - 2;
    const bool described = !side.view.descriptionTitle.empty();
    const int width = described ? std::max(1, inner * 3 / 10) : inner;
    const int divider = frame.left + 1 + width;
    const auto centred = [&](const std::string& text, int left, int room) {
        const wm::String header = wm::FromUtf8(text);
        const int shown = std::min(room, static_cast<int>(header.size()));
        screen.Write(left + (room - shown) / 2, frame.top + 1, header, CellStyle::PanelTitle,
                     shown);
    };
    centred(side.view.nameTitle, frame.left + 1, width);
    if (described) centred(side.view.descriptionTitle, divider + 1, inner - width - 1);

    const int rows = frame.Height() - kPanelChromeRows;
    const int count = static_cast<int>(side.view.rows.size());
    side.top = ScrollTop(side.top, side.view.current, count, rows);
    for (int i = 0; i < rows && side.top + i < count; ++i) {
        const int index = side.top + i;
        const PanelRow& row = side.view.rows[static_cast<size_t>(index)];
        const bool cursor = active && index == side.view.current;
        const CellStyle style = cursor          ? CellStyle::PanelCursor
                                : row.marked    ? CellStyle::PanelMarked
                                : row.directory ? CellStyle::PanelDirectory
                                                : CellStyle::Panel;
        const int y = frame.top + 2 + i;
        if (cursor) screen.Fill({frame.left + 1, y, frame.right - 1, y}, u' ', style);
        const wm::String name = wm::FromUtf8(row.name);
        screen.Write(frame.left + 1, y, name, style, width);
        // A name cut by the column ends in the host's "}".
        if (static_cast<int>(name.size()) > width) screen.Put(frame.left + width, y, u'}', style);
        if (described)
            screen.Write(divider + 1, y, wm::FromUtf8(row.description), style, inner - width - 1);
    }
    if (described) {
        for (int y = frame.top + 1; y < frame.bottom - 2; ++y)
            screen.Put(divider, y, u'│', CellStyle::PanelFrame);
    }
    screen.Separator(frame, frame.bottom - 2, true, CellStyle::PanelFrame);
    // The column's edge joins the frame, as the host draws it (where the title leaves room).
    if (described) {
        if (screen.At(divider, frame.top).ch == u'═')
            screen.Put(divider, frame.top, u'╤', CellStyle::PanelFrame);
        screen.Put(divider, frame.bottom - 2, u'┴', CellStyle::PanelFrame);
    }
    DrawInfo(side.view, screen, frame.left + 1, frame.right - 1, frame.bottom - 1);
}

void DrawUserScreen(const std::vector<wm::String>& lines, ScreenBuffer& screen, int rows) {
    screen.Fill({0, 0, screen.Width() - 1, rows - 1}, u' ', CellStyle::CommandLine);
    const int shown = std::min(rows, static_cast<int>(lines.size()));
    const size_t first = lines.size() - static_cast<size_t>(shown);
    for (int i = 0; i < shown; ++i)
        screen.Write(0, rows - shown + i, lines[first + static_cast<size_t>(i)],
                     CellStyle::CommandLine, screen.Width());
}

// The prompt and the line; a line longer than the room scrolls so the cursor stays in sight.
void DrawCommandLine(const ScreenLayout& layout, ScreenBuffer& screen, int y) {
    const int width = screen.Width();
    screen.Fill({0, y, width - 1, y}, u' ', CellStyle::CommandLine);
    const wm::String prompt = layout.prompt.size() > static_cast<size_t>(width / 2)
                                  ? layout.prompt.substr(layout.prompt.size() - width / 2)
                                  : layout.prompt;
    const int start = screen.Write(0, y, prompt, CellStyle::CommandLine);
    const int room = std::max(1, width - start - 1);
    const int cursor =
        std::clamp(layout.commandCursor, 0, static_cast<int>(layout.commandLine.size()));
    const int first = std::max(0, cursor - room + 1);
    screen.Write(start, y, wm::StringView(layout.commandLine).substr(static_cast<size_t>(first)),
                 CellStyle::CommandLine, room);
    screen.SetCursor(start + cursor - first, y);
}

void DrawKeyBar(const ScreenLayout& layout, ScreenBuffer& screen, int y) {
    const int width = screen.Width();
    screen.Fill({0, y, width - 1, y}, u' ', CellStyle::KeyBarNumber);
    // Twelve keys where their labels fit, else the first ten.
    const int slots = width >= 12 * 8 ? 12 : 10;
    int x = 0;
    for (int i = 0; i < slots; ++i) {
        // The slots share the width, the rightmost ones taking what the division leaves.
        const int end = (i + 1) * width / slots;
        const wm::String number = wm::FromUtf8(std::to_string(i + 1));
        x += screen.Write(x, y, number, CellStyle::KeyBarNumber);
        const int room = std::max(0, end - x);
        screen.Fill({x, y, end - 1, y}, u' ', CellStyle::KeyBarLabel);
        screen.Write(x, y, layout.keyLabels[static_cast<size_t>(i)], CellStyle::KeyBarLabel, room);
        x = end;
    }
}

}  // namespace

std::array<wm::String, 12> DefaultKeyLabels() {
    return {u"Help",   u"",       u"",       u"Edit", u"Copy",   u"RenMov",
            u"MkFold", u"Delete", u"Config", u"Quit", u"Plugin", u""};
}

std::array<wm::String, 12> MergeKeyLabels(std::array<wm::String, 12> labels,
                                          const std::array<std::optional<wm::String>, 12>& own) {
    for (size_t i = 0; i < labels.size(); ++i) {
        if (own[i]) labels[i] = *own[i];
    }
    return labels;
}

int PanelItemRows(int height) {
    return std::max(0, height - kBottomRows - kPanelChromeRows);
}

int ScrollTop(int top, int current, int count, int rows) {
    if (rows <= 0 || count <= rows) return 0;
    top = std::clamp(top, 0, count - rows);
    if (current < top) return current;
    if (current >= top + rows) return current - rows + 1;
    return top;
}

void DrawScreen(ScreenLayout& layout, ScreenBuffer& screen) {
    const int width = screen.Width();
    const int height = screen.Height();
    screen.Unclip();
    const int panelRows = std::max(0, height - kBottomRows);
    if (layout.panelsHidden || panelRows < kPanelChromeRows + 1 || width < 20) {
        DrawUserScreen(layout.userScreen, screen, panelRows);
    } else {
        const int half = width / 2;
        DrawPanel(layout.sides[0], layout.activeSide == 0, screen, {0, 0, half - 1, panelRows - 1});
        DrawPanel(layout.sides[1], layout.activeSide == 1, screen,
                  {half, 0, width - 1, panelRows - 1});
    }
    if (height >= 2) DrawCommandLine(layout, screen, height - 2);
    if (height >= 1) DrawKeyBar(layout, screen, height - 1);
}

}  // namespace farhost
