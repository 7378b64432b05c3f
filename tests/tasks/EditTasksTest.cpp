#include <gtest/gtest.h>

#include <filesystem>

#include "plugin/uEditUI.h"
#include "plugin/uOptions.h"
#include "plugin/uTasks.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

// The edit dialog's items: the name edit, the directory edit and OK.
constexpr const char* kSetName = "set 2 ";
constexpr const char* kOk = "click 14";

class EditTasks : public SettingsTest {
protected:
    void Put(StringView name, StringView directory, bool group = false) {
        TWaymarkInfo info;
        info.SetName(name);
        info.Directory = String(directory);
        info.Description = u"about " + String(name);
        info.SetIsGroup(group);
        ASSERT_TRUE(TWaymarks::Store(info));
    }
    std::unique_ptr<TWaymarkInfo> Read(StringView name) { return TOptions().ReadEntry(name); }
    std::vector<String> Names() { return TOptions().EnumEntryNames().value(); }
    void Answer(const std::string& name) {
        host.QueueDialogActions(kSetName + ("\"" + name + "\"\n") + kOk);
    }
    std::vector<String> LastMessage() {
        return host.Messages().empty() ? std::vector<String>{} : host.Messages().back().lines;
    }
    static String Msg(int n) { return u"Message " + FromUtf8(std::to_string(n)); }
};

TEST_F(EditTasks, ARenameStaysInTheGroupAndAnEmptyNameAsksAgainWithTheTypedValues) {
    Put(u"a", u"", true);
    Put(u"a/x", u"/srv/x");
    host.QueueDialogActions("set 2 \"\"\nset 6 \"/srv/typed\"\nclick 14\nset 2 \"y\"\nclick 14");
    ASSERT_TRUE(TWaymarks::EditByName(u"a/x"));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines[1], Msg(10));
    // The second run showed what was typed in the first.
    ASSERT_EQ(host.DialogScreens().size(), 2u);
    bool shown = false;
    for (const auto& row : host.DialogScreens()[1])
        shown |= row.find(u"/srv/typed") != String::npos;
    EXPECT_TRUE(shown);

    EXPECT_EQ(Read(u"a/x"), nullptr);
    const auto renamed = Read(u"a/y");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(renamed->Directory, u"/srv/typed");
    EXPECT_EQ(renamed->Description, u"about a/x");
    EXPECT_FALSE(TWaymarks::EditByName(u"missing"));
}

TEST_F(EditTasks, AnIdentifierThatIsNoGuidIsSaidAndTheDialogComesBackAsTyped) {
    Put(u"w", u"/srv/w");
    host.QueueDialogActions(
        "set 2 \"v\"\nset 8 \"{0123\"\nclick 14\n"
        "set 8 \"{01234567-89ab-cdef-0123-456789abcdef}\"\nclick 14");
    ASSERT_TRUE(TWaymarks::EditByName(u"w"));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines[1], Msg(69));
    EXPECT_EQ(host.Messages()[0].lines[2], u"{0123");
    ASSERT_EQ(host.DialogScreens().size(), 2u);
    bool shown = false;
    for (const auto& row : host.DialogScreens()[1]) shown |= row.find(u"{0123") != String::npos;
    EXPECT_TRUE(shown);

    EXPECT_EQ(Read(u"w"), nullptr);
    const auto renamed = Read(u"v");
    ASSERT_NE(renamed, nullptr);
    EXPECT_EQ(GuidToString(renamed->PluginID), u"{01234567-89AB-CDEF-0123-456789ABCDEF}");
}

TEST_F(EditTasks, ARenamedGroupTakesEverythingBelowItAlong) {
    Put(u"g", u"", true);
    Put(u"g/a", u"", true);
    Put(u"g/a/b", u"/srv/b");
    Put(u"g/c", u"/srv/c");
    Put(u"gx", u"/srv/gx");
    Answer("h");
    ASSERT_TRUE(TWaymarks::EditByName(u"g"));
    EXPECT_EQ(Names(), (std::vector<String>{u"gx", u"h", u"h/a", u"h/a/b", u"h/c"}));
    const auto moved = Read(u"h/a/b");
    ASSERT_NE(moved, nullptr);
    EXPECT_EQ(moved->Directory, u"/srv/b");
    EXPECT_EQ(moved->Description, u"about g/a/b");
    EXPECT_TRUE(Read(u"h/a")->IsGroup());
}

TEST_F(EditTasks, ARenameThatChangesOnlyTheLetterCaseKeepsTheEntryUnderTheNewSpelling) {
    Put(u"g", u"", true);
    Put(u"g/x", u"/srv/x");
    Answer("X");
    ASSERT_TRUE(TWaymarks::EditByName(u"g/x"));
    EXPECT_EQ(Names(), (std::vector<String>{u"g", u"g/X"}));
    ASSERT_NE(Read(u"g/X"), nullptr);
    EXPECT_EQ(Read(u"g/X")->Directory, u"/srv/x");

    // A group too, with everything below it.
    Put(u"g/sub", u"", true);
    Put(u"g/sub/y", u"/srv/y");
    Answer("G");
    ASSERT_TRUE(TWaymarks::EditByName(u"g"));
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(Names(), (std::vector<String>{u"G", u"G/sub", u"G/sub/y", u"G/X"}));
    EXPECT_EQ(Read(u"G/sub/y")->Directory, u"/srv/y");
    EXPECT_TRUE(Read(u"G")->IsGroup());

    // A write that fails part way loses nothing: undone as one change, or, where the store
    // cannot group writes (as the Windows registry), written back.
    for (const bool grouped : {true, false}) {
        const auto before = Names();
        RefusingRegistry refusing;
        refusing.faults.RefuseWriteGroups(!grouped);
        refusing.faults.FailWhen([](const platform::RegistryCallInfo& call) {
            return call.call == platform::RegistryCall::CreateKey &&
                   call.name.find(u"g/sub/y") != String::npos;
        });
        Answer("g");
        EXPECT_FALSE(TWaymarks::EditByName(u"G")) << grouped;
        refusing.faults.ClearFaults();
        EXPECT_EQ(Names(), before) << grouped;
        EXPECT_EQ(Read(u"G/sub/y")->Directory, u"/srv/y") << grouped;
        EXPECT_EQ(LastMessage()[1], Msg(25));
    }
}

TEST_F(EditTasks, AGroupRenameThatFailsHalfwayLosesNothing) {
    Put(u"g", u"", true);
    Put(u"g/a", u"", true);
    Put(u"g/a/b", u"/srv/b");
    Put(u"g/c", u"/srv/c");
    const auto before = Names();
    RefusingRegistry refusing;
    refusing.faults.FailWhen([](const platform::RegistryCallInfo& call) {
        return call.call == platform::RegistryCall::CreateKey &&
               call.name.find(u"h/a/b") != String::npos;
    });
    Answer("h");
    EXPECT_FALSE(TWaymarks::EditByName(u"g"));
    refusing.faults.ClearFaults();
    EXPECT_EQ(Names(), before);
    EXPECT_EQ(Read(u"g/a/b")->Directory, u"/srv/b");
    EXPECT_EQ(LastMessage()[1], Msg(25));
}

TEST_F(EditTasks, ARenameOntoAGroupOrAGroupOntoAWaymarkIsRefused) {
    Put(u"g", u"", true);
    Put(u"g/a", u"/srv/a");
    Put(u"other", u"", true);
    Put(u"w", u"/srv/w");
    Answer("other");
    EXPECT_FALSE(TWaymarks::EditByName(u"w"));
    EXPECT_EQ(LastMessage()[1], Msg(39));
    Answer("w");
    EXPECT_FALSE(TWaymarks::EditByName(u"g"));
    EXPECT_EQ(LastMessage()[1], Msg(38));
    EXPECT_EQ(Names(), (std::vector<String>{u"g", u"g/a", u"other", u"w"}));

    // A waymark renamed onto another waymark replaces it, as before.
    Put(u"v", u"/srv/v");
    Answer("w");
    EXPECT_TRUE(TWaymarks::EditByName(u"v"));
    EXPECT_EQ(Read(u"w")->Directory, u"/srv/v");
    EXPECT_EQ(Read(u"v"), nullptr);
}

TEST_F(EditTasks, AFailedStoreKeepsTheOldEntryAndSaysSo) {
    Put(u"w", u"/srv/w");
    RefusingRegistry refusing;
    refusing.faults.Fail(platform::RegistryCall::CreateKey);
    Answer("v");
    EXPECT_FALSE(TWaymarks::EditByName(u"w"));
    refusing.faults.ClearFaults();
    EXPECT_EQ(LastMessage()[1], Msg(25));
    EXPECT_EQ(Read(u"w")->Directory, u"/srv/w");
}

TEST_F(EditTasks, AddFromPanelAsksBeforeAnOverwriteAndCanGoBackToTheDialog) {
    const auto folder = std::filesystem::temp_directory_path() / "wm-add-from-panel";
    std::filesystem::create_directories(folder);
    host.Panels().Passive().SetDirectory(folder.u16string());
    Put(u"g", u"", true);
    Put(u"g/taken", u"/srv/taken");

    // The second button of the overwrite question shows the dialog again with what was typed.
    host.QueueMessageAnswer(1);
    host.QueueDialogActions("set 2 \"taken\"\nset 4 \"mine\"\nclick 14\nset 2 \"free\"\nclick 14");
    ASSERT_TRUE(TWaymarks::AddFromPanel(u"g", far::PANEL_PASSIVE));
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{Msg(0), Msg(8), u"/srv/taken", Msg(9), Msg(3), Msg(4), Msg(2)}));
    const auto added = Read(u"g/free");
    ASSERT_NE(added, nullptr);
    EXPECT_EQ(added->Directory, folder.u16string());
    EXPECT_EQ(added->Description, u"mine");
    EXPECT_EQ(Read(u"g/taken")->Directory, u"/srv/taken");

    // Cancel after the question leaves everything; the first button overwrites.
    host.QueueMessageAnswer(2);
    Answer("taken");
    EXPECT_FALSE(TWaymarks::AddFromPanel(u"g", far::PANEL_PASSIVE));
    host.QueueMessageAnswer(0);
    Answer("taken");
    EXPECT_TRUE(TWaymarks::AddFromPanel(u"g", far::PANEL_PASSIVE));
    EXPECT_EQ(Read(u"g/taken")->Directory, folder.u16string());
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace wm::test
