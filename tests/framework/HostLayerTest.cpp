#include <gtest/gtest.h>

#include "framework/FarProgress.h"
#include "framework/FarScreen.h"
#include "tests/framework/TestPlugin.h"

namespace wm::test {
namespace {

using HostLayer = FrameworkTest;

TEST_F(HostLayer, MenuTurnsDashesIntoSeparatorsAndReportsTheChosenIndex) {
    host.QueueMenuAnswer(2);
    int selected = -1;
    ASSERT_TRUE(TFarModule::ShowMenu(0, u"Choose", u"Topic", {u"a", u"-", u"b"}, selected));
    EXPECT_EQ(selected, 2);

    ASSERT_EQ(host.Menus().size(), 1u);
    const auto& menu = host.Menus()[0];
    EXPECT_EQ(menu.x, -1);
    EXPECT_EQ(menu.y, -1);
    EXPECT_EQ(menu.maxHeight, 0);
    EXPECT_EQ(menu.flags, far::FMENU_WRAPMODE | far::FMENU_AUTOHIGHLIGHT);
    EXPECT_EQ(menu.title, u"Choose");
    EXPECT_EQ(menu.helpTopic, u"Topic");
    ASSERT_EQ(menu.items.size(), 3u);
    EXPECT_EQ(menu.items[0].text, u"a");
    EXPECT_TRUE(menu.items[1].separator);
    EXPECT_EQ(menu.items[1].text, u"");
    EXPECT_FALSE(menu.items[2].separator);
    EXPECT_FALSE(menu.items[2].selected || menu.items[2].checked);
}

TEST_F(HostLayer, CancelledOrEmptyMenuChoosesNothing) {
    int selected = 7;
    EXPECT_FALSE(TFarModule::ShowMenu(0, u"t", u"", {u"a"}, selected));
    EXPECT_FALSE(TFarModule::ShowMenu(0, u"t", u"", {}, selected));
    EXPECT_EQ(selected, 7);
    EXPECT_EQ(host.CallCount("Menu"), 1);
}

TEST_F(HostLayer, ErrorsAreWarningsWithTitleAndOneOkButton) {
    host.QueueMessageAnswer(0);
    EXPECT_EQ(TFarModule::ShowError(u"Something failed"), 0);
    TFarModule::ShowErrorLines({u"one", u"two"});

    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{u"Test title", u"Something failed", u"&OK"}));
    EXPECT_EQ(host.Messages()[0].flags, far::FMSG_WARNING);
    EXPECT_EQ(host.Messages()[0].buttons, 1);
    EXPECT_EQ(host.Messages()[1].lines.size(), 4u);
    EXPECT_EQ(host.Messages()[1].answer, -1);
}

TEST_F(HostLayer, FitTextPadsShortensOrKeeps) {
    EXPECT_EQ(TFarModule::FitText(u"abc", 5, u' '), u"abc  ");
    EXPECT_EQ(TFarModule::FitText(u"abcde", 5, u' '), u"abcde");
    EXPECT_EQ(host.CallCount("TruncPathStr"), 0);
    EXPECT_EQ(TFarModule::FitText(u"C:\\Program Files\\Far\\Plugins\\x", 20, u' '),
              u"C:\\...\\Far\\Plugins\\x");
    EXPECT_EQ(TFarModule::FitText(u"abcdef", 2, u' ').size(), 2u);
    EXPECT_EQ(TFarModule::FitText(u"abc", 0, u' '), u"");
}

TEST_F(HostLayer, LogFmtNeverRaises) {
    TFarModule::LogFmt(u"%s and %d", {u"text", 5});
    TFarModule::LogFmt(u"%d broken", {u"not a number"});
    TFarModule::LogFmt(u"%s missing", {});
    EXPECT_EQ(plugin->logLines,
              (std::vector<String>{u"text and 5", u"Invalid log message: %d broken",
                                   u"Invalid log message: %s missing"}));
}

TEST_F(HostLayer, MessageTextsComeFromTheLanguageFile) {
    host.SetLanguageFile(
        farhost::LanguageFile::Parse(".Language=English,English\n\"Zero\"\n\"One\"\n"));
    EXPECT_EQ(TFarModule::GetMessageText(1), u"One");
    EXPECT_EQ(TFarModule::GetMessageText(2), u"");  // the host answers null
    EXPECT_EQ(host.CallCount("GetMsg"), 2);
    EXPECT_EQ(TFarModule::GetMessageText(-1), u"");
    EXPECT_EQ(TFarModule::GetMessageText(255), u"");  // the same signed byte
    EXPECT_EQ(host.CallCount("GetMsg"), 2);
}

TEST_F(HostLayer, HostStringsConvertNullAndCopies) {
    EXPECT_EQ(TFarModule::FromHostString(nullptr), u"");
    EXPECT_NE(TFarModule::ToHostString(String()), nullptr);
    far::HostChar* copy = TFarModule::NewHostString(u"copy");
    EXPECT_EQ(TFarModule::FromHostString(copy), u"copy");
    TFarModule::FreeHostString(copy);
    EXPECT_EQ(copy, nullptr);
    TFarModule::FreeHostString(copy);
    EXPECT_FALSE(TFarModule::IsPluginCommand(u"anything"));
    EXPECT_FALSE(TFarMacro::ExecuteCommand(u"CD \"C:\\\""));
}

TEST_F(HostLayer, ScreenSizeRedrawAndRestore) {
    host.SetConsoleRect(far::SMALL_RECT{0, 0, 119, 39});
    EXPECT_EQ(TFarScreen::GetWidth(), 120);
    EXPECT_EQ(TFarScreen::GetHeight(), 40);
    host.SetConsoleRect(std::nullopt);
    EXPECT_EQ(TFarScreen::GetWidth(), 80);
    EXPECT_EQ(TFarScreen::GetHeight(), 25);

    TFarScreen::RedrawAll();
    EXPECT_EQ(host.Calls().back().function, "AdvControl");
    EXPECT_EQ(host.Calls().back().arguments.at(1), "27");

    far::HANDLE saved = reinterpret_cast<far::HANDLE>(intptr_t{5});
    TFarScreen::RestoreScreen(saved);
    TFarScreen::RestoreScreen(saved);
    EXPECT_EQ(saved, far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(host.CallCount("RestoreScreen"), 1);
}

class ShownProgress : public TFarProgress {
public:
    ShownProgress(far::HANDLE screen, String title) {
        SavedScreen = screen;
        SavedTitle = std::move(title);
        Shown = true;
    }
};

TEST_F(HostLayer, MessagesWithButtonsMarkLiveIndicatorsAndIndicatorsRestoreOnce) {
    {
        ShownProgress progress(reinterpret_cast<far::HANDLE>(intptr_t{9}), u"Saved title");
        TFarModule::ShowMessage({u"t", u"no buttons"}, 0, 0);
        EXPECT_FALSE(progress.IsOverwritten());
        TFarModule::ShowError(u"with a button");
        EXPECT_TRUE(progress.IsOverwritten());
        progress.Restore();
    }
    EXPECT_EQ(host.CallCount("RestoreScreen"), 1);
    // Only live indicators are visited: the destroyed one is gone from the list (the sanitizer
    // build sees a visit of it), the new one is marked.
    ShownProgress later(reinterpret_cast<far::HANDLE>(intptr_t{10}), u"Later title");
    TFarProgress::MarkAllOverwritten();
    EXPECT_TRUE(later.IsOverwritten());
    EXPECT_EQ(host.CallCount("RestoreScreen"), 1);
}

}  // namespace
}  // namespace wm::test
