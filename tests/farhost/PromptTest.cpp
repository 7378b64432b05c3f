#include <gtest/gtest.h>

#include <sstream>

#include "farhost/engine/PanelScreen.h"
#include "farhost/engine/Script.h"
#include "farhost/session/Answer.h"
#include "farhost/session/Completion.h"
#include "farhost/session/RegCommand.h"
#include "farhost/session/Session.h"
#include "tests/registry/Scratch.h"
#include "tests/support/Paths.h"

namespace farhost {
namespace {

using Words = std::vector<std::string>;

TEST(ShellWords, SingleQuotesBackslashesAndHome) {
    EXPECT_EQ(SplitWords(R"(cd 'a b' "c'd" it\'s a\ b)"),
              (Words{"cd", "a b", "c'd", "it's", "a b"}));
    EXPECT_EQ(SplitWords(R"('x\y' pre'mid'"end")"), (Words{"x\\y", "premidend"}));
    // Backslashes before other characters stay: registry keys and Windows paths.
    EXPECT_EQ(SplitWords(R"(HKCU\Software\x C:\a\\b)"), (Words{"HKCU\\Software\\x", "C:\\a\\b"}));
    EXPECT_THROW(SplitWords("'open"), std::runtime_error);
    EXPECT_EQ(ExpandHome("~", "/h"), "/h");
    EXPECT_EQ(ExpandHome("~/x/y", "/h"), "/h/x/y");
    EXPECT_EQ(ExpandHome("~user", "/h"), "~user");
    EXPECT_EQ(ExpandHome("/a/~", "/h"), "/a/~");
}

TEST(Answers, NumbersHotLettersAndCancels) {
    const Words buttons = {"&Yes", "&No", "Ca&ncel x", "Plain"};
    EXPECT_EQ(ParseAnswer("1", buttons), 1);
    EXPECT_EQ(ParseAnswer(" y ", buttons), 0);
    EXPECT_EQ(ParseAnswer("N", buttons), 1);  // the first caption with the letter wins
    EXPECT_EQ(ParseAnswer("", buttons), -1);
    EXPECT_EQ(ParseAnswer("\x1b", buttons), -1);
    EXPECT_EQ(ParseAnswer("-1", buttons), -1);
    EXPECT_EQ(ParseAnswer("4", buttons), std::nullopt);
    EXPECT_EQ(ParseAnswer("p", buttons), std::nullopt);
    EXPECT_EQ(ParseAnswer("yes", buttons), std::nullopt);
    EXPECT_EQ(HotLetter("a&&b&C"), 'c');
    EXPECT_EQ(HotLetter("R&&D"), 0);
    EXPECT_EQ(AnswerHint(buttons), "0-3 or y/n/n, Esc or an empty line to cancel");
}

TEST(Completion, CommandsThenWaymarksAfterAPrefix) {
    const Words commands = {"cd", "close", "configure", "echo"};
    const Words prefixes = {"cd", "go"};
    const Words waymarks = {"work/site", "Work/src", "home"};
    auto c = CompleteLine("  co", commands, prefixes, waymarks);
    EXPECT_EQ(c.wordStart, 2u);
    EXPECT_EQ(c.candidates, (Words{"configure"}));
    EXPECT_TRUE(c.endsWord);
    EXPECT_EQ(CompleteLine("c", commands, prefixes, waymarks).candidates,
              (Words{"cd", "close", "configure"}));
    c = CompleteLine("CD:wo", commands, prefixes, waymarks);
    EXPECT_EQ(c.wordStart, 3u);
    EXPECT_EQ(c.candidates, (Words{"Work/src", "work/site"}));
    EXPECT_FALSE(c.endsWord);
    EXPECT_EQ(CompleteLine("go::h", commands, prefixes, waymarks).wordStart, 4u);
    EXPECT_TRUE(CompleteLine("echo co", commands, prefixes, waymarks).candidates.empty());
    EXPECT_TRUE(CompleteLine("xx:wo", commands, prefixes, waymarks).candidates.empty());
    EXPECT_EQ(CommonStart({"work/site", "work/src"}), "work/s");
    EXPECT_EQ(CommonStart({}), "");
}

TEST(Completion, ReadsTheStoredNames) {
    const wm::test::ScratchKey scratch(u"completion");
    const std::string root = wm::ToUtf8(scratch.Below(u""));
    std::ostringstream quiet;
    for (const char* name : {"a/one", "b"}) {
        RunRegCommand({"add", "HKCU\\" + root + "\\Waymarksfolders\\" + name, "/v", "Directory",
                       "/t", "REG_SZ", "/d", "/x", "/f"},
                      quiet);
    }
    Words names = StoredWaymarkNames(root);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (Words{"a/one", "b"}));
    EXPECT_TRUE(StoredWaymarkNames(root + "\\missing").empty());
}

TEST(PanelScreen, ADescriptionFollowsTheNameWhereThePanelShowsOne) {
    PanelView left{"L", {{"a", false, false, 0, "/srv/a"}}, 0};
    const std::string without = DrawPanels(left, left, true, 80, 3);
    EXPECT_EQ(without.find("/srv/a"), std::string::npos) << without;
    left.descriptionTitle = "Directory";
    const std::string with = DrawPanels(left, left, true, 80, 3);
    EXPECT_NE(with.find(">a  /srv/a"), std::string::npos) << with;
}

TEST(PanelScreen, ALongListingSaysHowManyRowsAreLeft) {
    PanelView left{"L", {}, 0};
    for (int i = 0; i < 15; ++i) left.rows.push_back({"f" + std::to_string(i)});
    const PanelView right{"R", {{"x"}}, 0};
    std::string screen = DrawPanels(left, right, true, 40, 6);
    EXPECT_NE(screen.find(">f0 "), std::string::npos) << screen;
    EXPECT_NE(screen.find(" f3 "), std::string::npos) << screen;
    EXPECT_EQ(screen.find("f4"), std::string::npos) << screen;
    EXPECT_NE(screen.find(" ... 11 more"), std::string::npos) << screen;
    // The cursor below the rows shown scrolls them.
    left.current = 9;
    screen = DrawPanels(left, right, true, 40, 6);
    EXPECT_NE(screen.find(">f9 "), std::string::npos) << screen;
    EXPECT_EQ(screen.find("f5"), std::string::npos) << screen;
    // A listing that fits has no mark.
    EXPECT_EQ(DrawPanels(right, right, true, 40, 6).find("more"), std::string::npos);
}

TEST(InteractiveSession, QuestionsTakeHotLettersAndEsc) {
    Host host;
    host.LoadPlugin(wm::test::BuiltFile(PROBE_MODULE_PATH));
    host.StartPlugin();
    std::ostringstream out;
    std::istringstream in("x\no\n\x1b\n");
    Session session(host, out, in, Session::Mode::Interactive);
    EXPECT_TRUE(session.Execute("probe:raise:first"));
    EXPECT_TRUE(session.Execute("probe:raise:second"));
    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].answer, 0) << out.str();
    EXPECT_EQ(host.Messages()[1].answer, -1) << out.str();
    // The way to answer is said before the first try, and again after a wrong one.
    const std::string text = out.str();
    EXPECT_NE(text.find("[ &OK ]\n+-- button? (0 or o, Esc or an empty line to cancel)\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("  0 or o, Esc"), std::string::npos) << text;
    EXPECT_EQ(session.Complete("hel").candidates, (Words{"help"}));
    EXPECT_EQ(session.Complete("PROBE:").wordStart, 6u);
}

}  // namespace
}  // namespace farhost
