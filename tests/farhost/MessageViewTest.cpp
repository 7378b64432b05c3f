// Message boxes drawn into a screen buffer and answered by key presses.
#include <gtest/gtest.h>

#include "farhost/engine/DialogAction.h"
#include "farhost/screen/MessageView.h"

namespace farhost {
namespace {

using wm::String;

MessageCall Call(std::vector<String> lines, int buttons, uint32_t flags = 0) {
    MessageCall call;
    call.flags = flags;
    call.lines = std::move(lines);
    call.buttons = buttons;
    return call;
}

TEST(MessageView, DrawsTitleCentredLinesAndButtonsWithTheFocusedOneHighlighted) {
    MessageView view(Call({u"Delete", u"Delete the group", u"docs?", u"&Delete", u"Cancel"}, 2));
    ScreenBuffer screen(40, 10);
    view.Draw(screen);
    const std::vector<String> expected = {
        u"",
        u"",
        u"       ╔═══════ Delete ════════╗",
        u"       ║   Delete the group    ║",
        u"       ║         docs?         ║",
        u"       ║ [ Delete ] [ Cancel ] ║",
        u"       ╚═══════════════════════╝",
    };
    for (int y = 0; y < 7; ++y) EXPECT_EQ(screen.Row(y), expected[y]) << y;
    EXPECT_EQ(screen.At(4, 1).style, CellStyle::Dialog);  // the margin around the frame
    EXPECT_EQ(screen.At(3, 1).style, CellStyle::Panel);
    EXPECT_EQ(screen.At(9, 5).style, CellStyle::DialogFocus);
    EXPECT_EQ(screen.At(22, 5).style, CellStyle::Dialog);

    view.Press(keys::Tab);
    view.Draw(screen);
    EXPECT_EQ(screen.At(9, 5).style, CellStyle::Dialog);
    EXPECT_EQ(screen.At(11, 5).style, CellStyle::DialogHotKey);  // D of Delete
    EXPECT_EQ(screen.At(22, 5).style, CellStyle::DialogFocus);
}

TEST(MessageView, WarningsUseTheWarningColours) {
    MessageView view(Call({u"Error", u"Path not found", u"OK"}, 1, far::FMSG_WARNING));
    ScreenBuffer screen(40, 10);
    view.Draw(screen);
    EXPECT_EQ(screen.Row(3), u"           ╔════ Error ═════╗");
    EXPECT_EQ(screen.Row(5), u"           ║     [ OK ]     ║");
    EXPECT_EQ(screen.At(11, 3).style, CellStyle::Warning);
    EXPECT_EQ(screen.At(8, 2).style, CellStyle::Warning);
    EXPECT_EQ(screen.At(17, 5).style, CellStyle::WarningFocus);
    EXPECT_EQ(screen.At(16, 5).style, CellStyle::Warning);
}

TEST(MessageView, ButtonsAnswerByFocusOrHotKeyAndEscAnswersMinusOne) {
    const MessageCall call = Call({u"Copy", u"Overwrite?", u"&Yes", u"&No", u"&Cancel"}, 3);
    MessageView arrows(call);
    arrows.Press(keys::Left);  // wraps to the last button
    EXPECT_EQ(arrows.Focus(), 2);
    arrows.Press(keys::Right);
    arrows.Press(keys::Right);
    EXPECT_EQ(arrows.Press(keys::Enter), MessageView::State::Chosen);
    EXPECT_EQ(arrows.Answer(), 1);

    MessageView hotKey(call);
    EXPECT_EQ(hotKey.Press(u'x'), MessageView::State::Open);
    EXPECT_EQ(hotKey.Press(keys::Alt | u'C'), MessageView::State::Chosen);
    EXPECT_EQ(hotKey.Answer(), 2);

    MessageView escaped(call);
    escaped.Press(keys::Right);
    EXPECT_EQ(escaped.Press(keys::Esc), MessageView::State::Cancelled);
    EXPECT_EQ(escaped.Answer(), -1);
}

TEST(MessageView, WithoutButtonsItDoesNotWait) {
    MessageView view(Call({u"Export", u"Writing docs.xml"}, 0));
    EXPECT_FALSE(view.HasButtons());
    EXPECT_EQ(view.Focus(), -1);
    ScreenBuffer screen(40, 8);
    view.Draw(screen);
    EXPECT_EQ(screen.Row(3), u"          ║ Writing docs.xml ║");
    EXPECT_EQ(view.Press(u' '), MessageView::State::Cancelled);
}

}  // namespace
}  // namespace farhost
