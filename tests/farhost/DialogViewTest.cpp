// Dialogs drawn into a screen buffer with their styles, and driven by key presses the way a
// person at the terminal drives them.
#include <gtest/gtest.h>

#include <deque>

#include "farhost/engine/DialogScreen.h"
#include "farhost/engine/DialogView.h"
#include "tests/support/DialogItem.h"

namespace farhost {
namespace {

using wm::String;

// A one-row item.
far::FarDialogItem Item(int type, int x1, int y1, int x2, const char16_t* text,
                        far::DWORD flags = 0) {
    return wm::test::DialogItem(type, x1, y1, x2, y1, text, flags);
}

// A terminal of 30 x 8 cells: the dialog is drawn before every key is read.
class Terminal final : public DialogEnvironment {
public:
    far::COORD ConsoleSize() const override { return {30, 8}; }
    void ResizeConsole(far::COORD) override {}
    std::optional<DialogAction> NextAction(const HostDialog& dialog) override {
        DrawDialog(dialog, screen);
        while (!keys.empty()) {
            const uint32_t key = keys.front();
            keys.pop_front();
            if (auto action = DialogKeyAction(dialog, key)) return action;
        }
        return std::nullopt;
    }
    void ShowScreen(const HostDialog& dialog) override { DrawDialog(dialog, screen); }
    void ReportError(const std::string& error) override { ADD_FAILURE() << error; }

    std::deque<uint32_t> keys;
    ScreenBuffer screen{30, 8};
};

class DialogViewTest : public ::testing::Test {
protected:
    HostDialog& Open(std::vector<far::FarDialogItem> items, far::DWORD flags = 0) {
        dialog.emplace(terminal, -1, -1, 20, 6, nullptr, items.data(),
                       static_cast<unsigned>(items.size()), flags, nullptr, 0);
        return *dialog;
    }
    const Cell& At(int x, int y) const { return terminal.screen.At(x, y); }

    Terminal terminal;
    std::optional<HostDialog> dialog;
};

TEST_F(DialogViewTest, StylesMarkFocusEditsDisabledItemsAndHotKeys) {
    std::vector<far::FarDialogItem> items{
        Item(far::DI_DOUBLEBOX, 1, 0, 18, u"Edit"),
        Item(far::DI_TEXT, 2, 1, 0, u"&Name"),
        Item(far::DI_EDIT, 8, 1, 16, u"docs"),
        Item(far::DI_CHECKBOX, 2, 2, 0, u"&Sort"),
        Item(far::DI_CHECKBOX, 10, 2, 0, u"&Off", far::DIF_DISABLE),
        Item(far::DI_BUTTON, 0, 4, 0, u"&OK", far::DIF_CENTERGROUP),
        Item(far::DI_BUTTON, 0, 4, 0, u"&No", far::DIF_CENTERGROUP),
    };
    items[0].Y2 = 5;
    items[5].DefaultButton = 1;
    HostDialog& view = Open(items);
    ScreenBuffer& screen = terminal.screen;
    DrawDialog(view, screen);
    // The dialog covers 5..24 x 1..6; the text drawing is the same picture.
    EXPECT_EQ(screen.Rows(), DrawDialog(view, far::COORD{30, 8}));
    EXPECT_EQ(screen.Row(2), u"      ║Name  docs····· ║");
    EXPECT_EQ(screen.Row(5), u"      ║ { OK } [ No ]  ║");
    EXPECT_EQ(At(5, 1).style, CellStyle::Dialog);
    EXPECT_EQ(At(4, 1).style, CellStyle::Panel);
    EXPECT_EQ(At(7, 2).style, CellStyle::DialogHotKey);  // N
    EXPECT_EQ(At(8, 2).style, CellStyle::Dialog);
    EXPECT_EQ(At(13, 2).style, CellStyle::DialogEditFocus);
    EXPECT_EQ(At(21, 2).style, CellStyle::DialogEditFocus);
    EXPECT_EQ((std::pair{screen.CursorX(), screen.CursorY()}), (std::pair{17, 2}));
    EXPECT_EQ(At(11, 3).style, CellStyle::DialogHotKey);  // S of "[ ] Sort"
    EXPECT_EQ(At(15, 3).style, CellStyle::DialogDisabled);
    EXPECT_EQ(At(19, 3).style, CellStyle::DialogDisabled);  // no hot key on a disabled item

    terminal.keys = {keys::Tab};
    view.Run();
    EXPECT_EQ(At(13, 2).style, CellStyle::DialogEdit);
    EXPECT_EQ(At(7, 3).style, CellStyle::DialogFocus);
    EXPECT_EQ(At(11, 3).style, CellStyle::DialogFocus);  // the focus hides the hot key
    EXPECT_LT(screen.CursorX(), 0);
}

TEST_F(DialogViewTest, AWarningDialogUsesTheWarningColours) {
    HostDialog& view =
        Open({Item(far::DI_TEXT, 2, 1, 0, u"Gone"), Item(far::DI_BUTTON, 2, 3, 0, u"OK")},
             far::FDLG_WARNING);
    DrawDialog(view, terminal.screen);
    EXPECT_EQ(At(5, 1).style, CellStyle::Warning);
    EXPECT_EQ(At(7, 2).style, CellStyle::Warning);
    EXPECT_EQ(At(7, 4).style, CellStyle::WarningFocus);
}

TEST_F(DialogViewTest, TheFocusedEditScrollsToItsCursor) {
    HostDialog& view = Open({Item(far::DI_EDIT, 2, 1, 7, u"abcdefghij")});
    DrawDialog(view, terminal.screen);
    EXPECT_EQ(terminal.screen.Row(2), u"       fghij·");
    EXPECT_EQ(terminal.screen.CursorX(), 12);
    terminal.keys = {keys::Home, keys::Right};
    view.Run();
    EXPECT_EQ(terminal.screen.Row(2), u"       abcdef");
    EXPECT_EQ(terminal.screen.CursorX(), 8);
}

TEST_F(DialogViewTest, APersonFillsInADialogWithKeysAlone) {
    std::vector<far::FarDialogItem> items{
        Item(far::DI_EDIT, 2, 1, 12, u"old"),       Item(far::DI_CHECKBOX, 2, 2, 0, u"&Sort"),
        Item(far::DI_RADIOBUTTON, 2, 3, 0, u"&Up"), Item(far::DI_RADIOBUTTON, 9, 3, 0, u"&Down"),
        Item(far::DI_BUTTON, 2, 4, 0, u"&OK"),      Item(far::DI_BUTTON, 9, 4, 0, u"&Cancel"),
    };
    items[2].Param.Selected = 1;
    items[4].DefaultButton = 1;
    HostDialog& view = Open(items);
    EXPECT_EQ(DialogKeyAction(view, keys::Ctrl), std::nullopt);  // not running
    terminal.keys = {u'n',       u'e',        keys::Left,  keys::BS,   u'w',
                     keys::End,  u'!',        keys::Ctrl,  keys::Down, keys::Space,
                     keys::Down, keys::Right, keys::Space, keys::Enter};
    EXPECT_EQ(view.Run(), 4);  // Enter on a radio button: the default button
    EXPECT_EQ(view.Items()[0].text, u"we!");
    EXPECT_EQ(view.Items()[1].record.Param.Selected, 1);
    EXPECT_EQ(view.Items()[3].record.Param.Selected, 1);
    EXPECT_EQ(view.Items()[2].record.Param.Selected, 0);

    terminal.keys = {keys::Alt | u'c'};
    EXPECT_EQ(view.Run(), 5);
    terminal.keys = {keys::Esc};
    EXPECT_EQ(view.Run(), -1);
}

}  // namespace
}  // namespace farhost
