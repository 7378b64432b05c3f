// farhost's side of dialogs: the action scripts, the DM_ messages and the text drawing, with
// dialogs made straight from item records (no dialog procedure: the host's defaults answer).
#include <gtest/gtest.h>

#include <array>
#include <cstring>

#include "core/Exceptions.h"
#include "farhost/engine/DialogAction.h"
#include "farhost/engine/Host.h"
#include "farhost/engine/HostDialog.h"
#include "tests/support/DialogItem.h"
#include "tests/support/HostText.h"

namespace farhost {
namespace {

using wm::String;

using wm::test::H;
using wm::test::S;

using wm::test::DialogItem;

TEST(DialogActions, ScriptLinesBecomeActionsAndBack) {
    const std::pair<const char*, DialogAction> cases[] = {
        {"type 3 \"a \\\"b\\\" \\\\ ü\"", DialogAction::Type(3, u"a \"b\" \\ ü")},
        {"set 0 \"\"", DialogAction::Set(0, u"")},
        {"click 5", DialogAction::Click(5)},
        {"focus 2", DialogAction::Focus(2)},
        {"key Enter", DialogAction::Key(keys::Enter)},
        {"key Ctrl+Shift+F4", DialogAction::Key(keys::Ctrl | keys::Shift | (keys::F1 + 3))},
        {"key Alt++", DialogAction::Key(keys::Alt | '+')},
        {"key a", DialogAction::Key('a')},
        {"key 0x1F", DialogAction::Key(0x1F)},
        {"esc", DialogAction::Escape()},
        {"resize 100 30", DialogAction::Resize(100, 30)},
        {"show", DialogAction::Show()},
    };
    for (const auto& [line, action] : cases) {
        SCOPED_TRACE(line);
        EXPECT_EQ(ParseDialogAction(line), action);
        EXPECT_EQ(ParseDialogAction(DialogActionText(action)), action);
    }
    EXPECT_EQ(ParseDialogAction("  CLICK   7  "), DialogAction::Click(7));
    EXPECT_EQ(ParseDialogActions("# comment\n\nclick 1\r\n  esc\n").size(), 2u);
}

TEST(DialogActions, MalformedLinesAreRefused) {
    for (const char* line :
         {"", "jump 1", "click", "click x", "type 1 abc", "type 1 \"open", "type 1 \"\\q\"",
          "click 1 2", "key", "key Hyper+X", "key ab", "resize 0 10", "resize 10"}) {
        SCOPED_TRACE(line);
        EXPECT_THROW(ParseDialogAction(line), wm::Exception);
    }
}

class HostDialogTest : public ::testing::Test {
protected:
    HostDialogTest() { host.SetConsoleRect(far::SMALL_RECT{0, 0, 29, 7}); }

    HostDialog& Open(std::vector<far::FarDialogItem> items, int x1 = 0, int y1 = 0, int x2 = 29,
                     int y2 = 7) {
        const auto& info = host.StartupInfo();
        const far::HANDLE handle =
            info.DialogInit(1, x1, y1, x2, y2, H(u"Help"), items.data(),
                            static_cast<uint32_t>(items.size()), 0, 0, nullptr, 0);
        HostDialog* dialog = host.FindDialog(handle);
        if (!dialog) throw wm::Exception(u"DialogInit failed");
        return *dialog;
    }

    far::LONG_PTR Send(HostDialog& dialog, int msg, int param1, const void* param2) {
        return host.StartupInfo().SendDlgMessage(dialog.Handle(), msg, param1,
                                                 reinterpret_cast<far::LONG_PTR>(param2));
    }

    int Run(HostDialog& dialog, const char* script) {
        host.QueueDialogActions(script);
        return host.StartupInfo().DialogRun(dialog.Handle());
    }

    Host host;
};

TEST_F(HostDialogTest, ItemsAreDrawnAtTheirPlaces) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_SINGLEBOX, 1, 0, 28, 7, u"&Box", far::DIF_LEFTTEXT),
        DialogItem(far::DI_TEXT, -1, 1, 0, 1, u"Centred"),
        DialogItem(far::DI_TEXT, 2, 2, 13, 2, u"Mid", far::DIF_CENTERTEXT),
        DialogItem(far::DI_TEXT, 15, 2, 18, 2, u"Clipped"),
        DialogItem(far::DI_TEXT, 2, 3, 27, 3, u"S", far::DIF_SEPARATOR),
        DialogItem(far::DI_CHECKBOX, 2, 4, 0, 4, u"A"),
        DialogItem(far::DI_RADIOBUTTON, 9, 4, 0, 4, u"B"),
        DialogItem(far::DI_RADIOBUTTON, 16, 4, 0, 4, u"C", far::DIF_DISABLE),
        DialogItem(far::DI_PSWEDIT, 2, 5, 7, 5, u"abc"),
        DialogItem(far::DI_EDIT, 9, 5, 13, 5, u"toolongtext"),
        DialogItem(far::DI_EDIT, 15, 5, 19, 5, u"", far::DIF_DISABLE),
        DialogItem(far::DI_BUTTON, 0, 6, 0, 6, u"&Go", far::DIF_CENTERGROUP),
        DialogItem(far::DI_BUTTON, 0, 6, 0, 6, u"Hidden", far::DIF_CENTERGROUP | far::DIF_HIDDEN),
        DialogItem(far::DI_BUTTON, 0, 6, 0, 6, u"&&No", far::DIF_CENTERGROUP | far::DIF_DISABLE),
    };
    items[5].Param.Selected = far::BSTATE_3STATE;
    items[6].Param.Selected = 1;
    items[11].DefaultButton = 1;
    HostDialog& dialog = Open(items);
    // clang-format off
    const std::vector<String> expected{
        u" ┌─ Box ────────────────────┐",
        u" │         Centred          │",
        u" │    Mid      Clip         │",
        u" │╟────────── S ───────────╢│",
        u" │[?] A  (•) B  < > C       │",
        u" │***··· toolo ░░░░░        │",
        u" │      { Go } < &No >      │",
        u" └──────────────────────────┘",
    };
    // clang-format on
    EXPECT_EQ(host.DrawDialogScreen(dialog), expected);
    // What the host reports matches the drawing.
    far::SMALL_RECT rect{};
    ASSERT_EQ(Send(dialog, far::DM_GETITEMPOSITION, 13, &rect), 1);
    EXPECT_EQ((std::array{rect.Left, rect.Top, rect.Right, rect.Bottom}),
              (std::array<int16_t, 4>{15, 6, 21, 6}));
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(HostDialogTest, ADialogWithoutItemsIsRefused) {
    EXPECT_THROW(Open({}), wm::Exception);
    far::FarDialogItem item = DialogItem(far::DI_TEXT, 1, 1, 5, 1, u"x");
    EXPECT_EQ(host.StartupInfo().DialogInit(1, 0, 0, 29, 7, nullptr, &item, 0, 0, 0, nullptr, 0),
              far::INVALID_HANDLE_VALUE);
}

TEST_F(HostDialogTest, ACentredDialogSitsInTheMiddleOfTheConsole) {
    HostDialog& dialog = Open({DialogItem(far::DI_DOUBLEBOX, 0, 0, 9, 3, u"T")}, -1, -1, 10, 4);
    far::SMALL_RECT rect{};
    Send(dialog, far::DM_GETDLGRECT, 0, &rect);
    EXPECT_EQ((std::array{rect.Left, rect.Top, rect.Right, rect.Bottom}),
              (std::array<int16_t, 4>{10, 2, 19, 5}));
    EXPECT_EQ(host.DrawDialogScreen(dialog),
              (std::vector<String>{u"", u"", u"          ╔══ T ═══╗", u"          ║        ║",
                                   u"          ║        ║", u"          ╚════════╝", u"", u""}));
    const far::COORD size{20, 6};
    Send(dialog, far::DM_RESIZEDIALOG, 0, &size);
    Send(dialog, far::DM_GETDLGRECT, 0, &rect);
    EXPECT_EQ(rect.Left, 5);
    EXPECT_EQ(rect.Bottom, 6);
    const far::COORD corner{1, -1};  // absolute column, centred row
    Send(dialog, far::DM_MOVEDIALOG, 1, &corner);
    Send(dialog, far::DM_GETDLGRECT, 0, &rect);
    EXPECT_EQ((std::array{rect.Left, rect.Top}), (std::array<int16_t, 2>{1, 1}));
}

TEST_F(HostDialogTest, ItemsTravelWithTheirTexts) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_EDIT, 1, 1, 10, 1, u"text", far::DIF_HISTORY),
        DialogItem(far::DI_CHECKBOX, 1, 2, 0, 2, u"check")};
    items[0].Param.History = H(u"Hist");
    HostDialog& dialog = Open(items);

    const far::LONG_PTR size = Send(dialog, far::DM_GETDLGITEM, 0, nullptr);
    EXPECT_EQ(size, static_cast<far::LONG_PTR>(sizeof(far::FarDialogItem) + 5 * 2 + 5 * 2));
    std::vector<far::FarDialogItem> buffer(4);
    ASSERT_EQ(Send(dialog, far::DM_GETDLGITEM, 0, buffer.data()), size);
    const auto* bytes = reinterpret_cast<const char*>(buffer.data());
    EXPECT_EQ(reinterpret_cast<const char*>(buffer[0].PtrData), bytes + sizeof(far::FarDialogItem));
    EXPECT_EQ(S(buffer[0].PtrData), u"text");
    EXPECT_EQ(S(buffer[0].Param.History), u"Hist");
    EXPECT_EQ(buffer[0].X2, 10);

    buffer[0].Type = far::DI_BUTTON;
    EXPECT_EQ(Send(dialog, far::DM_SETDLGITEM, 0, buffer.data()), 0);  // an item keeps its type
    buffer[0].Type = far::DI_EDIT;
    buffer[0].PtrData = H(u"replaced");
    buffer[0].Param.History = H(u"Other");
    EXPECT_EQ(Send(dialog, far::DM_SETDLGITEM, 0, buffer.data()), 1);
    EXPECT_EQ(dialog.Items()[0].text, u"replaced");
    EXPECT_EQ(dialog.Items()[0].parameter, u"Other");

    EXPECT_EQ(Send(dialog, far::DM_GETTEXTLENGTH, 0, nullptr), 8);
    far::HostChar text[6] = {1, 1, 1, 1, 1, 1};
    far::FarDialogItemData data{4, text};
    EXPECT_EQ(Send(dialog, far::DM_GETTEXT, 0, &data), 4);
    EXPECT_EQ(S(text), u"repl");  // cut to PtrLength, then terminated
    const far::FarDialogItemData set{3, const_cast<far::HostChar*>(H(u"abcdef"))};
    EXPECT_EQ(Send(dialog, far::DM_SETTEXT, 1, &set), 3);
    EXPECT_EQ(dialog.Items()[1].text, u"abc");
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(HostDialogTest, StateMessagesAnswerThePreviousState) {
    HostDialog& dialog = Open({DialogItem(far::DI_CHECKBOX, 1, 1, 0, 1, u"a"),
                               DialogItem(far::DI_RADIOBUTTON, 1, 2, 0, 2, u"b"),
                               DialogItem(far::DI_RADIOBUTTON, 1, 3, 0, 3, u"c"),
                               DialogItem(far::DI_EDIT, 1, 4, 5, 4, u"")});
    const auto send = [&](int msg, int item, far::LONG_PTR value) {
        return host.StartupInfo().SendDlgMessage(dialog.Handle(), msg, item, value);
    };
    EXPECT_EQ(send(far::DM_SHOWITEM, 0, -1), 1);
    EXPECT_EQ(send(far::DM_SHOWITEM, 0, 0), 1);
    EXPECT_EQ(send(far::DM_SHOWITEM, 0, -1), 0);
    EXPECT_EQ(send(far::DM_ENABLE, 3, 0), 1);
    EXPECT_EQ(send(far::DM_ENABLE, 3, -1), 0);
    EXPECT_EQ(send(far::DM_SETCHECK, 0, far::BSTATE_3STATE), 0);
    EXPECT_EQ(send(far::DM_GETCHECK, 0, 0), far::BSTATE_3STATE);
    send(far::DM_SETCHECK, 2, 1);
    send(far::DM_SETCHECK, 1, 1);
    EXPECT_EQ(send(far::DM_GETCHECK, 2, 0), 0);  // one radio button of a group is set
    EXPECT_EQ(send(far::DM_EDITUNCHANGEDFLAG, 3, 0), 1);
    EXPECT_EQ(send(far::DM_EDITUNCHANGEDFLAG, 3, -1), 0);
    EXPECT_EQ(send(far::DM_ENABLEREDRAW, 0, 0), 0);
    EXPECT_EQ(send(far::DM_REDRAW, 0, 0), 1);
    EXPECT_EQ(dialog.RedrawCount(), 0);  // suspended
    EXPECT_EQ(send(far::DM_ENABLEREDRAW, 1, 0), 1);
    EXPECT_EQ(dialog.RedrawCount(), 1);
    EXPECT_TRUE(host.Errors().empty());

    EXPECT_EQ(send(far::DM_GETTEXTLENGTH, 4, 0), 0);
    EXPECT_EQ(send(999, 0, 0), 0);
    EXPECT_EQ(host.StartupInfo().SendDlgMessage(nullptr, far::DM_REDRAW, 0, 0), 0);
    EXPECT_EQ(host.Errors().size(), 3u);
}

TEST_F(HostDialogTest, UserActionsAreRunWithTheHostsDefaults) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_EDIT, 1, 1, 10, 1, u"old"),
        DialogItem(far::DI_CHECKBOX, 1, 2, 0, 2, u"check"),
        DialogItem(far::DI_BUTTON, 1, 3, 0, 3, u"Stay", far::DIF_BTNNOCLOSE),
        DialogItem(far::DI_BUTTON, 10, 3, 0, 3, u"OK"),
        DialogItem(far::DI_BUTTON, 20, 3, 0, 3, u"Off", far::DIF_DISABLE),
    };
    items[3].DefaultButton = 1;
    items[1].Focus = 1;
    HostDialog& dialog = Open(items);
    EXPECT_EQ(dialog.Focus(), 1);
    EXPECT_EQ(Run(dialog, "type 0 \"ab\"\nkey BS\nkey c\nclick 1\nclick 2\nfocus 0\nkey Enter"),
              3);  // Enter in an edit: the default button
    EXPECT_EQ(dialog.Items()[0].text, u"ac");
    EXPECT_EQ(dialog.Items()[1].record.Param.Selected, 1);
    // Tab skips the disabled button and wraps; with no action left the dialog closes.
    EXPECT_EQ(Run(dialog, "focus 3\nkey Tab\nkey Tab\nkey Space"), -1);
    EXPECT_EQ(dialog.Focus(), 1);
    EXPECT_EQ(dialog.Items()[1].record.Param.Selected, 0);
    EXPECT_TRUE(host.Errors().empty());

    EXPECT_EQ(Run(dialog, "click 4\nfocus 9\ntype 1 \"x\"\nclick 3"), 3);
    EXPECT_EQ(host.Errors().size(), 3u);
    EXPECT_EQ(host.DialogScreens().size(), 3u);  // one at the start of every run
}

TEST_F(HostDialogTest, EditLinesTakeCursorKeysDeleteAndTheirLengthLimit) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_EDIT, 1, 1, 10, 1, u"hello"),
        DialogItem(far::DI_EDIT, 1, 2, 10, 2, u""),
        DialogItem(far::DI_EDIT, 1, 3, 10, 3, u"fixed", far::DIF_READONLY),
        DialogItem(far::DI_EDIT, 1, 4, 10, 4, u"old"),
    };
    items[1].MaxLen = 3;
    HostDialog& dialog = Open(items);
    // Moving the cursor keeps an unchanged text; typing inserts at the cursor.
    Run(dialog,
        "key Home\nkey Del\nkey H\nkey End\nkey BS\nkey Left\nkey Left\nkey X\nkey Right\n"
        "key Del\nkey Right\nkey Right\nkey !\n"
        "focus 1\nkey a\nkey b\nkey c\nkey d\nkey Left\nkey BS\n"
        "focus 2\nkey Home\nkey Del\nkey z\n"
        "focus 3\nkey Del\nkey n\nesc");
    EXPECT_EQ(dialog.Items()[0].text, u"HeXl!");
    EXPECT_EQ(dialog.Items()[1].text, u"ac");
    EXPECT_EQ(dialog.Items()[1].cursor, 1u);
    EXPECT_EQ(dialog.Items()[2].text, u"fixed");
    EXPECT_EQ(dialog.Items()[3].text, u"n");  // Del empties an unchanged text
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(HostDialogTest, HotKeysAndArrowsReachEveryItemFromTheKeyboard) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_TEXT, 1, 1, 0, 1, u"&Name:"),
        DialogItem(far::DI_EDIT, 8, 1, 20, 1, u"old"),
        DialogItem(far::DI_CHECKBOX, 1, 2, 0, 2, u"&Sort"),
        DialogItem(far::DI_RADIOBUTTON, 1, 3, 0, 3, u"&Up"),
        DialogItem(far::DI_RADIOBUTTON, 8, 3, 0, 3, u"&Down"),
        DialogItem(far::DI_BUTTON, 1, 5, 0, 5, u"&OK"),
        DialogItem(far::DI_BUTTON, 8, 5, 0, 5, u"&Cancel"),
        DialogItem(far::DI_BUTTON, 18, 5, 0, 5, u"&Xoff", far::DIF_DISABLE),
    };
    items[3].Param.Selected = 1;
    HostDialog& dialog = Open(items);
    // Alt+letter anywhere; a plain letter outside an edit; a label's key focuses its edit,
    // where letters are typed.
    EXPECT_EQ(Run(dialog, "key Alt+S\nkey d\nkey Alt+n\nkey s\nkey Alt+x\nkey Alt+O"), 5);
    EXPECT_EQ(dialog.Items()[2].record.Param.Selected, 1);
    EXPECT_EQ(dialog.Items()[3].record.Param.Selected, 0);
    EXPECT_EQ(dialog.Items()[4].record.Param.Selected, 1);
    EXPECT_EQ(dialog.Items()[1].text, u"s");
    // Left and Right move the focus outside edit lines.
    EXPECT_EQ(Run(dialog, "focus 5\nkey Right\nkey Enter"), 6);
    EXPECT_EQ(Run(dialog, "focus 5\nkey Left\nkey Left\nkey Space\nesc"), -1);
    EXPECT_EQ(dialog.Items()[3].record.Param.Selected, 1);
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(HostDialogTest, EditsKeepAHistoryThatCtrlDownOpensAsTheHostsMenu) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_EDIT, 2, 1, 12, 1, u"", far::DIF_HISTORY),
        DialogItem(far::DI_EDIT, 2, 2, 12, 2, u"plain"),
        DialogItem(far::DI_BUTTON, 2, 3, 0, 3, u"OK"),
    };
    items[0].Param.History = H(u"Names");
    HostDialog& dialog = Open(items, 3, 2, 20, 6);
    EXPECT_EQ(Run(dialog, "key Ctrl+Down\nset 0 \"first\"\nclick 2"), 2);  // empty: no list
    EXPECT_TRUE(host.Menus().empty());
    Run(dialog, "set 0 \"second\"\nesc");  // a cancelled dialog keeps nothing
    Run(dialog, "set 0 \"third\"\nclick 2");
    Run(dialog, "set 0 \"first\"\nclick 2");  // again: moves to the end

    host.QueueMenuAnswer(0);
    host.QueueMenuAnswer(-1);
    EXPECT_EQ(Run(dialog, "set 0 \"x\"\nkey Ctrl+Down\nkey Ctrl+Down\nfocus 1\nkey Ctrl+Down\nesc"),
              -1);
    EXPECT_EQ(dialog.Items()[0].text, u"third");
    ASSERT_EQ(host.Menus().size(), 2u);  // the plain edit opens none
    const MenuCall& menu = host.Menus()[0];
    EXPECT_TRUE(menu.fromHost);
    EXPECT_EQ((std::pair{menu.x, menu.y}), (std::pair{5, 4}));  // below the edit
    EXPECT_EQ(menu.items, (std::vector<MenuItemCall>{{u"third", false, false, false},
                                                     {u"first", false, true, false}}));
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(HostDialogTest, AMaskedFixedEditTakesOnlyWhatItsMaskAllows) {
    std::vector<far::FarDialogItem> items{
        DialogItem(far::DI_FIXEDIT, 1, 1, 12, 1, u"{12-ab}c9", far::DIF_MASKEDIT),
        DialogItem(far::DI_EDIT, 1, 2, 12, 2, u"", far::DIF_MASKEDIT),
    };
    items[0].Param.Mask = H(u"{99-HH}A");
    items[1].Param.Mask = H(u"99");  // an ordinary edit ignores its mask
    HostDialog& dialog = Open(items);
    EXPECT_EQ(dialog.Items()[0].text, u"{12-ab}c");  // fitted to the mask at once
    Run(dialog,
        "key 4\nkey x\nkey 2\nkey f\nkey BS\nkey E\nkey 0\nkey q\nkey 9\n"
        "type 1 \"abc\"\nesc");
    EXPECT_EQ(dialog.Items()[0].text, u"{42-E0}q");  // 'x' and '9' refused, '-' skipped
    EXPECT_EQ(dialog.Items()[1].text, u"abc");
    Run(dialog, "focus 0\nkey Home\nkey Del\nkey End\nkey BS\nkey BS\nesc");
    EXPECT_EQ(dialog.Items()[0].text, u"{ 2-E } ");
    Run(dialog, "set 0 \"{12-3g}zz\"\nesc");
    EXPECT_EQ(dialog.Items()[0].text, u"{12-3 }z");
    EXPECT_TRUE(host.Errors().empty());
}

}  // namespace
}  // namespace farhost
