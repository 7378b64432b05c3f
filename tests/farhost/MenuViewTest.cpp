// Menus drawn into a screen buffer and driven by key presses.
#include <gtest/gtest.h>

#include "farhost/engine/DialogAction.h"
#include "farhost/screen/MenuView.h"

namespace farhost {
namespace {

using wm::String;

MenuCall Call(std::vector<MenuItemCall> items, uint32_t flags = far::FMENU_WRAPMODE) {
    MenuCall call;
    call.x = call.y = -1;
    call.flags = flags;
    call.title = u"Jump";
    call.items = std::move(items);
    return call;
}

MenuItemCall Item(const char16_t* text, bool selected = false, bool checked = false) {
    return {text, false, selected, checked};
}

MenuItemCall Separator() {
    return {u"", true, false, false};
}

TEST(MenuView, DrawsAFramedBoxCentredWithTitleBottomAndCheckMarks) {
    MenuCall call = Call({Item(u"&Home"), Separator(), Item(u"Docs", true, true)});
    call.bottom = u"Ins";
    ScreenBuffer screen(30, 9);
    MenuView(call).Draw(screen);
    const std::vector<String> expected = {
        u"",
        u"",
        u"          ╔═ Jump ═╗",
        u"          ║  Home  ║",
        u"          ╟────────╢",
        u"          ║ √Docs  ║",
        u"          ╚═ Ins ══╝",
    };
    for (int y = 0; y < 7; ++y) EXPECT_EQ(screen.Row(y), expected[y]) << y;
    EXPECT_EQ(screen.At(10, 2).style, CellStyle::Menu);
    EXPECT_EQ(screen.At(13, 3).style, CellStyle::MenuHotKey);  // H of Home
    EXPECT_EQ(screen.At(14, 3).style, CellStyle::Menu);
    EXPECT_EQ(screen.At(11, 5).style, CellStyle::MenuSelected);  // the whole selected row
    EXPECT_EQ(screen.At(18, 5).style, CellStyle::MenuSelected);
    EXPECT_EQ(screen.At(19, 5).style, CellStyle::Menu);
    EXPECT_LT(screen.CursorX(), 0);
}

TEST(MenuView, StaysWithinTheScreenWhenPlacedOrTooWide) {
    MenuCall call = Call({Item(u"a rather long item text")});
    call.x = 70;
    call.y = 20;
    ScreenBuffer screen(20, 22);
    MenuView(call).Draw(screen);
    EXPECT_EQ(screen.Row(19), u"╔══════ Jump ══════╗");
    EXPECT_EQ(screen.Row(20), u"║  a rather long i ║");
    EXPECT_EQ(screen.Row(21), u"╚══════════════════╝");
}

TEST(MenuView, MovesOverSeparatorsAndWrapsOnlyInWrapMode) {
    const std::vector<MenuItemCall> items = {Separator(), Item(u"a"), Separator(),
                                             Item(u"b"),  Item(u"c"), Separator()};
    MenuView wrapping(Call(items));
    EXPECT_EQ(wrapping.Selected(), 1);
    wrapping.Press(keys::Down);
    EXPECT_EQ(wrapping.Selected(), 3);
    wrapping.Press(keys::Down);
    wrapping.Press(keys::Down);
    EXPECT_EQ(wrapping.Selected(), 1);
    wrapping.Press(keys::Up);
    EXPECT_EQ(wrapping.Selected(), 4);
    wrapping.Press(keys::Home);
    EXPECT_EQ(wrapping.Selected(), 1);
    wrapping.Press(keys::End);
    EXPECT_EQ(wrapping.Selected(), 4);

    MenuView stopping(Call(items, 0));
    stopping.Press(keys::Up);
    EXPECT_EQ(stopping.Selected(), 1);
    stopping.Press(keys::End);
    stopping.Press(keys::Down);
    EXPECT_EQ(stopping.Selected(), 4);
}

TEST(MenuView, AnswersTheChosenIndexWithSeparatorsCountedOrMinusOne) {
    const std::vector<MenuItemCall> items = {Item(u"a"), Separator(), Item(u"b", true)};
    MenuView chosen(Call(items));
    EXPECT_EQ(chosen.Press(keys::Enter), MenuView::State::Chosen);
    EXPECT_EQ(chosen.Answer(), 2);
    EXPECT_EQ(chosen.Press(keys::Up), MenuView::State::Chosen);  // closed menus ignore keys
    EXPECT_EQ(chosen.Answer(), 2);

    MenuView cancelled(Call(items));
    EXPECT_EQ(cancelled.Press(keys::Esc), MenuView::State::Cancelled);
    EXPECT_EQ(cancelled.Answer(), -1);

    MenuView empty(Call({Separator()}));
    EXPECT_EQ(empty.Selected(), -1);
    EXPECT_EQ(empty.Press(keys::Enter), MenuView::State::Cancelled);
    EXPECT_EQ(empty.Answer(), -1);
}

TEST(MenuView, HotKeysChooseTheirItemExplicitOnesFirstThenAutomatic) {
    const std::vector<MenuItemCall> items = {Item(u"Alpha"), Item(u"&Apple"), Item(u"Also"),
                                             Item(u"--")};
    MenuView plain(Call(items, 0));
    EXPECT_EQ(plain.Press(u'l'), MenuView::State::Open);  // no automatic keys without the flag
    EXPECT_EQ(plain.Press(keys::Alt | u'A'), MenuView::State::Chosen);
    EXPECT_EQ(plain.Answer(), 1);

    const uint32_t automatic = far::FMENU_AUTOHIGHLIGHT;
    MenuView alpha(Call(items, automatic));  // "Alpha" takes 'l', "Also" then 's'
    EXPECT_EQ(alpha.Press(u'L'), MenuView::State::Chosen);
    EXPECT_EQ(alpha.Answer(), 0);
    MenuView also(Call(items, automatic));
    also.Press(u's');
    EXPECT_EQ(also.Answer(), 2);
    MenuView none(Call(items, automatic));
    EXPECT_EQ(none.Press(u'-'), MenuView::State::Open);

    ScreenBuffer screen(30, 8);
    MenuView(Call(items, automatic)).Draw(screen);
    ASSERT_EQ(screen.Row(4), u"          ║  Also  ║");
    EXPECT_EQ(screen.At(15, 4).style, CellStyle::MenuHotKey);  // its 's'
    EXPECT_EQ(screen.At(13, 3).style, CellStyle::MenuHotKey);  // Apple's own 'A'
    EXPECT_EQ(screen.At(15, 5).style, CellStyle::Menu);        // "--" has none
}

TEST(MenuView, ScrollsToTheSelectionAndPagesByTheRowsShown) {
    std::vector<MenuItemCall> items;
    static const char16_t* names[] = {u"0", u"1", u"2", u"3", u"4", u"5", u"6", u"7"};
    for (const auto* name : names) items.push_back(Item(name));
    MenuCall call = Call(items);
    call.maxHeight = 3;
    MenuView view(call);
    ScreenBuffer screen(20, 10);
    view.Draw(screen);
    view.Press(keys::PgDn);
    EXPECT_EQ(view.Selected(), 2);
    view.Press(keys::End);
    view.Draw(screen);
    EXPECT_EQ(screen.Row(3), u"     ║  5     ║");
    EXPECT_EQ(screen.Row(5), u"     ║  7     ║");
    view.Press(keys::PgUp);
    view.Press(keys::PgUp);
    view.Press(keys::PgUp);
    view.Press(keys::PgUp);
    EXPECT_EQ(view.Selected(), 0);
    view.Draw(screen);
    EXPECT_EQ(screen.Row(3), u"     ║  0     ║");
}

}  // namespace
}  // namespace farhost
