#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "farhost/engine/Script.h"
#include "farhost/session/CommandLine.h"
#include "farhost/session/Session.h"
#include "tests/registry/Scratch.h"
#include "tests/support/Paths.h"

namespace farhost {
namespace {

TEST(CommandLine, SplitsThePrefixAsTheHostDoes) {
    const struct {
        const char16_t* line;
        std::optional<PrefixCommand> expected;
    } cases[] = {
        {u"cd:  docs  ", PrefixCommand{u"cd", u"  docs"}},
        {u"   CD:Abc", PrefixCommand{u"CD", u"Abc"}},
        {u"cd:", PrefixCommand{u"cd", u""}},
        {u"cd::tools/build\t\r\n", PrefixCommand{u"cd", u":tools/build"}},
        {u"cd C:\\x", std::nullopt},  // a blank before the colon
        {u"a/b:c", std::nullopt},     // a slash in the prefix
        {u":text", std::nullopt},     // no prefix
        {u"no colon", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto got = SplitPrefixCommand(c.line);
        ASSERT_EQ(got.has_value(), c.expected.has_value()) << wm::ToUtf8(c.line);
        if (got) {
            EXPECT_EQ(got->prefix, c.expected->prefix);
            EXPECT_EQ(got->text, c.expected->text);
        }
    }
    EXPECT_FALSE(SplitPrefixCommand(std::u16string(65, u'p') + u":x").has_value());
    EXPECT_TRUE(MatchesPrefix(u"CD", u"cd"));
    EXPECT_TRUE(MatchesPrefix(u"go", u"cd:go"));
    EXPECT_FALSE(MatchesPrefix(u"c", u"cd"));
    EXPECT_FALSE(MatchesPrefix(u"cd", u""));
}

TEST(ScriptWords, QuotesEscapesAndVariables) {
    EXPECT_EQ(
        SplitWords(R"(expect message "a b" c "say \"hi\"" "back\\slash")"),
        (std::vector<std::string>{"expect", "message", "a b", "c", "say \"hi\"", "back\\slash"}));
    EXPECT_EQ(SplitWords(R"(x "")"), (std::vector<std::string>{"x", ""}));
    EXPECT_THROW(SplitWords(R"(x "open)"), std::runtime_error);
    const auto lookup = [](const std::string& name) -> std::optional<std::string> {
        if (name == "ROOT") return "/tmp/r";
        return std::nullopt;
    };
    EXPECT_EQ(ExpandVariables("cd ${ROOT}/a", lookup), "cd /tmp/r/a");
    EXPECT_THROW(ExpandVariables("${NOPE}", lookup), std::runtime_error);
    EXPECT_TRUE(SameText("C:\\a/b", "C:/a\\b"));
    EXPECT_FALSE(SameText("C:\\a", "c:\\a"));
}

class SessionTest : public ::testing::Test {
protected:
    SessionTest() {
        host.LoadPlugin(wm::test::BuiltFile(PROBE_MODULE_PATH));
        host.StartPlugin();
    }
    int Run(const std::string& script) {
        std::istringstream lines(script);
        return session.Run(lines, false);
    }
    Host host;
    std::ostringstream out;
    std::istringstream in;
    Session session{host, out, in, Session::Mode::Script};
};

TEST_F(SessionTest, PrefixedLinesGoToThePluginAndExpectationsCheckWhatItShowed) {
    EXPECT_EQ(Run("probe:raise:first|second\n"
                  "expect message Probe \"Exception occurred in function OpenW\" EFarError "
                  "first second &OK\n"
                  "PROBE:fit:6:abc\n"
                  "expect message Probe abc... &OK\n"
                  "probe:abort\n"
                  "expect no message\n"),
              0)
        << out.str();
    EXPECT_EQ(Run("probe:raise:x\nexpect message Probe x &OK\nexpect no menu\n"), 1);
    EXPECT_NE(out.str().find("the message shows"), std::string::npos);
}

TEST_F(SessionTest, OnlyAnInvalidHandleMeansNoPanel) {
    // The probe answers INVALID_HANDLE_VALUE to "fit" and the null handle to "null": the host
    // takes the null handle as a panel, cannot list it and closes it again.
    EXPECT_EQ(Run("probe:fit:3:abc\nprobe:null\n"), 0) << out.str();
    const std::string text = out.str();
    const auto closed = text.find("cannot list: closed again");
    ASSERT_NE(closed, std::string::npos) << text;
    EXPECT_EQ(text.find("cannot list", closed + 1), std::string::npos) << text;
    EXPECT_EQ(text.find("opened its panel"), std::string::npos) << text;
}

TEST_F(SessionTest, PanelsAndMistakes) {
    const auto root = std::filesystem::temp_directory_path() / "wm-session";
    std::filesystem::remove_all(root);
    session.SetVariable("ROOT", root.string());
    EXPECT_EQ(Run("mkdir ${ROOT}/a/b\n"
                  "cd ${ROOT}/a\n"
                  "expect panel active ${ROOT}/a\n"
                  "tab\n"
                  "expect panel passive ${ROOT}/a\n"
                  "# a comment, then a blank line\n\n"),
              0)
        << out.str();
    EXPECT_EQ(Run("cd ${ROOT}/missing\nnonsense\nexpect panel left ${ROOT}\nanswer message x\n"),
              4);
    std::filesystem::remove_all(root);
}

TEST_F(SessionTest, ScriptedAnswersReachThePlugin) {
    // The probe shows its error with one button: the queued answer is what the host returns.
    EXPECT_EQ(Run("answer message 0\nprobe:raise:x\n"), 0);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].answer, 0);
    EXPECT_NE(out.str().find("+-- answer 0"), std::string::npos);
}

TEST_F(SessionTest, RegistryCommandsAndExpectations) {
    const wm::test::ScratchKey scratch(u"session");
    // The scratch key's path holds a blank: scripts quote it.
    session.SetVariable("T", wm::ToUtf8(u"HKCU\\" + scratch.Below(u"")));
    EXPECT_EQ(Run("reg add \"${T}\\k\" /v Name /t REG_SZ /d \"two words\" /f\n"
                  "reg add \"${T}\\k\" /v Count /t REG_DWORD /d 16 /f\n"
                  "reg add \"${T}\\k\" /v List /t REG_MULTI_SZ /d a\\0b /f\n"
                  "reg add \"${T}\\k\\sub\" /ve /t REG_QWORD /d 0x1ffffffff /f\n"
                  "expect registry \"${T}\\k\" Name REG_SZ \"two words\"\n"
                  "expect registry \"${T}\\k\" Count REG_DWORD 0x10\n"
                  "expect registry \"${T}\\k\" List REG_MULTI_SZ a\\0b\n"
                  "expect registry \"${T}\\k\\sub\" \"\" REG_QWORD 0x1ffffffff\n"
                  "reg query \"${T}\" /s\n"
                  "reg delete \"${T}\\k\" /v Name /f\n"
                  "expect no registry \"${T}\\k\" Name\n"
                  "reg delete \"${T}\" /f\n"
                  "expect no registry \"${T}\\k\" Count\n"),
              0)
        << out.str();
    // Values come in the order they were made, as Windows lists them; wine lists them by name.
#ifdef _WIN32
    EXPECT_NE(out.str().find("\\k\n    Count    REG_DWORD    0x10\n"), std::string::npos)
        << out.str();
#else
    EXPECT_NE(
        out.str().find("\\k\n    Name    REG_SZ    two words\n    Count    REG_DWORD    0x10\n"
                       "    List    REG_MULTI_SZ    "),
        std::string::npos)
        << out.str();
#endif
    EXPECT_EQ(Run("reg add \"${T}\" /v D /t REG_DWORD /d 0x100000000 /f\n"
                  "reg delete HKCU\\Missing /f\n"
                  "reg query HKXX\\T\n"
                  "expect registry \"${T}\" D REG_DWORD 0x1\n"),
              4);
}

TEST_F(SessionTest, RegistryWalksGoInOrderAndToAnyDepth) {
    const wm::test::ScratchKey scratch(u"walk");
    session.SetVariable("T", wm::ToUtf8(u"HKCU\\" + scratch.Below(u"")));
    ASSERT_EQ(Run("reg add \"${T}\\b\\y\" /v v /d 1 /f\n"
                  "reg add \"${T}\\a\\x\\deep\" /v v /d 2 /f\n"
                  "reg add \"${T}\\a\\w\" /v v /d 3 /f\n"
                  "reg query \"${T}\" /s\n"),
              0)
        << out.str();
    std::string order;
    for (size_t at = 0;
         (at = out.str().find(wm::ToUtf8(scratch.Below(u"")), at)) != std::string::npos; ++at) {
        const size_t end = out.str().find('\n', at);
        order +=
            out.str().substr(at + scratch.Below(u"").size(), end - at - scratch.Below(u"").size()) +
            " ";
    }
    EXPECT_NE(order.find("\\a \\a\\w \\a\\x \\a\\x\\deep \\b \\b\\y "), std::string::npos) << order;
#ifndef _WIN32
    // Far deeper than the Windows registry allows (512 levels): the walks keep no call per level.
    std::string deep;
    for (int level = 0; level < 20000; ++level) deep += "\\k";
    ASSERT_EQ(Run("reg add \"${T}\\d" + deep +
                  "\" /v v /d 1 /f\n"
                  "reg delete \"${T}\\d\" /f\n"
                  "expect no registry \"${T}\\d\\k\" v\n"),
              0);
#endif
}

TEST_F(SessionTest, DialogActionsComeFromTheScript) {
    // The probe's dialog: frame 0, separator 1, OK 2, Cancel 3, and its edit 4.
    EXPECT_EQ(Run("dialog type 4 \"abc\"\n"
                  "dialog click 2\n"
                  "probe:ask\n"
                  "expect message Probe abc &OK\n"
                  "dialog esc\n"
                  "probe:ask\n"
                  "expect message Probe cancelled &OK\n"
                  "dialog wave 2\n"),
              1)
        << out.str();
    EXPECT_NE(out.str().find("{ OK } [ Cancel ]"), std::string::npos);
    EXPECT_EQ(host.LiveDialogCount(), 0);
}

}  // namespace
}  // namespace farhost
