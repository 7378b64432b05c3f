#include <gtest/gtest.h>

#include <filesystem>

#include "platform/Environment.h"
#include "platform/Paths.h"
#ifndef _WIN32
#include "platform/posix/Registry.h"
#endif
#include "plugin/uFunctions.h"
#include "plugin/uOptions.h"
#include "plugin/uTasks.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

namespace fs = std::filesystem;

String Msg(int n) {
    return u"Message " + FromUtf8(std::to_string(n));
}
// Errors are shown with the framework's standard title and OK caption.
std::vector<String> Error(std::vector<String> lines) {
    lines.insert(lines.begin(), u"Test title");
    lines.push_back(u"&OK");
    return lines;
}

class Tasks : public SettingsTest {
protected:
    Tasks() {
        TWaymarks::ForgetPreviousLocation();
        root = fs::temp_directory_path() /
               fs::path(u"wm-tasks-" + scratch.substr(scratch.rfind(u'\\') + 1));
        fs::remove_all(root);
        for (const char* dir : {"docs/2024", "work/src", "home/src", "start", "a"}) {
            fs::create_directories(root / dir);
        }
        host.Panels().Active().SetDirectory(Dir("start"));
        host.Panels().Active().Redraw();
    }
    ~Tasks() override {
        TWaymarks::ForgetPreviousLocation();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    String Dir(const char* relative) const {
        return (root / fs::path(relative).make_preferred()).lexically_normal().u16string();
    }
    void Add(StringView name, const String& directory, bool group = false,
             StringView description = u"") {
        TWaymarkInfo info;
        info.SetName(name);
        info.Directory = directory;
        info.Description = String(description);
        info.SetIsGroup(group);
        ASSERT_TRUE(TWaymarks::Store(info));
    }
    void SetSearch(bool fuzzy, bool overDir, bool suffix = false) {
        TOptions options;
        options.AllowFuzzySearch = fuzzy;
        options.AllowSearchOverDir = overDir;
        options.AllowPathSuffix = suffix;
        ASSERT_TRUE(options.Save());
    }
    bool Run(StringView command) { return TWaymarks::ExecuteCommandLine(command); }
    String Active() { return host.Panels().Active().ShownDirectory(); }
    std::vector<String> LastMessage() {
        return host.Messages().empty() ? std::vector<String>{} : host.Messages().back().lines;
    }

    fs::path root;
};

TEST_F(Tasks, StoreCreatesTheGroupsOnItsPathWithoutAsking) {
    EXPECT_TRUE(Run(u":tools/build"));
    EXPECT_TRUE(host.Messages().empty());
    const auto group = TOptions().ReadEntry(u"tools");
    ASSERT_NE(group, nullptr);
    EXPECT_TRUE(group->IsGroup());
    const auto stored = TOptions().ReadEntry(u"tools/build");
    ASSERT_NE(stored, nullptr);
    EXPECT_EQ(stored->Directory, Dir("start"));
    EXPECT_FALSE(stored->IsGroup());
}

TEST_F(Tasks, OverwriteAsksWithTheOldDirectoryAndKeepsTheDescription) {
    Add(u"w", Dir("a"), false, u"old words");
    host.QueueMessageAnswer(1);  // No
    EXPECT_FALSE(Run(u": w "));
    EXPECT_EQ(LastMessage(),
              (std::vector<String>{Msg(0), Msg(8), Dir("a"), Msg(9), Msg(3), Msg(4), Msg(2)}));
    EXPECT_EQ(TOptions().ReadEntry(u"w")->Directory, Dir("a"));

    host.QueueMessageAnswer(0);  // Yes
    EXPECT_TRUE(Run(u":w"));
    const auto stored = TOptions().ReadEntry(u"w");
    EXPECT_EQ(stored->Directory, Dir("start"));
    EXPECT_EQ(stored->Description, u"old words");
}

TEST_F(Tasks, StoringRefusesGroupsAndNonGroupsOnThePath) {
    Add(u"g", u"", true);
    Add(u"leaf", Dir("a"));
    EXPECT_FALSE(Run(u":g"));
    EXPECT_EQ(LastMessage(), Error({Msg(39)}));
    EXPECT_FALSE(Run(u":leaf/x"));
    EXPECT_EQ(LastMessage(), Error({Msg(38), u"leaf"}));
    EXPECT_EQ(TOptions().ReadEntry(u"leaf/x"), nullptr);
}

TEST_F(Tasks, AStoreTheRegistryRefusesIsReportedNotClaimed) {
    const String longName(300, u'n');  // longer than a key name may be
    EXPECT_FALSE(Run(u":" + longName));
    EXPECT_EQ(LastMessage(), Error({Msg(25), longName}));
}

TEST_F(Tasks, AnInvalidNameRaises) {
    EXPECT_THROW(Run(u":a:b"), EWaymarkError);
    EXPECT_THROW(Run(u":"), EWaymarkError);
}

TEST_F(Tasks, ExactLastComponentAndPrefixResolution) {
    Add(u"work", u"", true);
    Add(u"work/src", Dir("work/src"));
    Add(u"docs", Dir("docs"));
    SetSearch(true, true);
    EXPECT_TRUE(Run(u"src"));  // the only last component "src"
    EXPECT_EQ(Active(), Dir("work/src"));
    EXPECT_TRUE(Run(u"doc"));  // prefix of a last component
    EXPECT_EQ(Active(), Dir("docs"));

    Add(u"home", u"", true);
    Add(u"home/src", Dir("home/src"));
    host.QueueMenuAnswer(1);
    EXPECT_TRUE(Run(u"src"));  // two equal last components: the menu decides
    ASSERT_EQ(host.Menus().size(), 1u);
    EXPECT_EQ(host.Menus()[0].title, Msg(20));
    EXPECT_EQ(host.Menus()[0].helpTopic, u"ChooseNameMenu");
    ASSERT_EQ(host.Menus()[0].items.size(), 2u);
    EXPECT_EQ(host.Menus()[0].items[0].text, u"home/src   " + Dir("home/src"));
    EXPECT_EQ(Active(), Dir("work/src"));
}

#ifndef _WIN32
// The names are kept from one search to the next: one stored since, here or by another process
// on the same store file, is found by the next search.
TEST_F(Tasks, ASearchSeesNamesStoredSinceTheLastOne) {
    const String file = (root / "store.sqlite3").u16string();
    platform::SqliteRegistry here(ToUtf8(file)), another(ToUtf8(file));
    const platform::ScopedRegistry store(here);
    Add(u"work/alpha", Dir("work/src"));
    SetSearch(true, true);
    EXPECT_TRUE(Run(u"alp"));
    EXPECT_EQ(Active(), Dir("work/src"));
    {
        const platform::ScopedRegistry elsewhere(another);
        Add(u"home/alp", Dir("home/src"));  // the one last component "alp" wins
    }
    EXPECT_TRUE(Run(u"alp"));
    EXPECT_EQ(Active(), Dir("home/src"));
    Add(u"docs/alp", Dir("docs"));  // two last components "alp" and a prefix: the menu
    host.QueueMenuAnswer(0);
    EXPECT_TRUE(Run(u"alp"));
    ASSERT_EQ(host.Menus().size(), 1u);
    EXPECT_EQ(host.Menus()[0].items.size(), 3u);
}
#endif

TEST_F(Tasks, ANameStoredAsTypedNeedsNoListingWhileCaseStillDecidesTheWalk) {
    Add(u"docs", Dir("docs"));
    Add(u"docs2", Dir("a"));
    Add(u"Proj", Dir("work/src"));
    Add(u"proj2", Dir("home/src"));
    SetSearch(true, true);
    RefusingRegistry refusing;
    EXPECT_TRUE(Run(u"docs"));
    EXPECT_EQ(Active(), Dir("docs"));
    EXPECT_EQ(refusing.faults.CallCount(platform::RegistryCall::EnumSubKey), 0u);
    // Stored only as "Proj": the walk runs, and "proj2" is the one name it starts.
    EXPECT_TRUE(Run(u"proj"));
    EXPECT_EQ(Active(), Dir("home/src"));
    EXPECT_GT(refusing.faults.CallCount(platform::RegistryCall::EnumSubKey), 0u);
}

TEST_F(Tasks, KeysThatAreNoEntryNamesAreNeitherFoundNorMistakenForOthers) {
    Add(u"y", Dir("docs"));
    // Written by another tool, under names this plugin never makes.
    for (const char16_t* raw : {u"x/../y", u"st*r", u"z//w", u"./q"}) {
        WriteRaw(EntriesPath() + u"\\" + raw, u"Directory", platform::RegistryType::String,
                 Bytes(Dir("a")));
    }
    SetSearch(true, false);
    for (const char16_t* typed : {u"x", u"st", u"z"}) {
        EXPECT_FALSE(Run(typed)) << ToUtf8(typed);
        EXPECT_EQ(LastMessage(), Error({Msg(6)})) << ToUtf8(typed);
    }
    EXPECT_EQ(Active(), Dir("start"));
    // They stay stored: nothing of another tool's is lost.
    EXPECT_TRUE(KeyExists(EntriesPath() + u"\\x/../y"));
}

TEST_F(Tasks, ABrokenStoreIsSaidToBeBrokenNotTakenForAMissingEntry) {
    Add(u"w", Dir("docs"));
    const auto raised = [&](StringView command) {
        try {
            Run(command);
        } catch (const EWaymarkError& error) {
            return error.Message();
        }
        return String(u"nothing raised");
    };
    RefusingRegistry refusing;
    refusing.faults.FailWhen(
        [](const platform::RegistryCallInfo& call) {
            return call.call == platform::RegistryCall::ReadValue;
        },
        platform::RegistryStatus::RegistryCorrupt);
    EXPECT_EQ(raised(u"w"), Msg(54));
    refusing.faults.ClearFaults();
    refusing.faults.FailWhen(
        [](const platform::RegistryCallInfo& call) {
            return call.call == platform::RegistryCall::WriteValue && call.name == u"Description";
        },
        platform::RegistryStatus::NotEnoughMemory);
    host.QueueMessageAnswer(0);  // overwrite it
    EXPECT_EQ(raised(u":w"), Msg(55));
    refusing.faults.ClearFaults();
    // What was stored stays, and a store that is well again works.
    EXPECT_TRUE(Run(u"w"));
    EXPECT_EQ(Active(), Dir("docs"));
    EXPECT_EQ(TOptions().ReadEntry(u"w")->Directory, Dir("docs"));
}

TEST_F(Tasks, FuzzyMenuLeavesGroupsOutAndCancelMeansNotFound) {
    Add(u"Proj", u"", true);
    Add(u"Proj/alpha", Dir("a"), false, u"Alpha");
    Add(u"Proj/beta", Dir("docs"));
    SetSearch(true, false);
    host.QueueMenuAnswer(-1);
    EXPECT_FALSE(Run(u"Pro"));
    ASSERT_EQ(host.Menus().size(), 1u);
    // The lines come in the store's order.
    EXPECT_EQ(host.Menus()[0].items[0].text, u"Proj/alpha   Alpha");
    EXPECT_EQ(host.Menus()[0].items[1].text, u" Proj/beta   " + Dir("docs"));
    EXPECT_EQ(LastMessage()[1], Msg(6));

    host.QueueMenuAnswer(0);
    EXPECT_TRUE(Run(u"Pro"));
    EXPECT_EQ(Active(), Dir("a"));
    EXPECT_FALSE(Run(u"proj/alpha"));  // ordinal comparison while searching
    SetSearch(false, false);
    EXPECT_TRUE(Run(u"proj/beta"));  // the store's lookup ignores case
    EXPECT_EQ(Active(), Dir("docs"));
}

TEST_F(Tasks, PathSuffixAndTheJumpBack) {
    Add(u"docs", Dir("docs"));
    SetSearch(true, false, true);
    EXPECT_FALSE(Run(u"-"));
    EXPECT_EQ(LastMessage()[1], Msg(58));

    EXPECT_TRUE(Run(u"docs\\2024"));
    EXPECT_EQ(Active(), Dir("docs/2024"));
    EXPECT_TRUE(Run(u"-"));
    EXPECT_EQ(Active(), Dir("start"));
    EXPECT_TRUE(Run(u"-"));
    EXPECT_EQ(Active(), Dir("docs/2024"));
}

TEST_F(Tasks, TheJumpBackGoesToTheFolderAsItWasNamed) {
    // A folder whose name looks like a substitution form: the way back takes it literally.
    ASSERT_TRUE(platform::SetEnvironmentValue(u"WmJumpBackVariable", u"elsewhere"));
    fs::create_directories(root / "x%WmJumpBackVariable%y");
    fs::create_directories(root / "xelsewherey");
    {
        TOptions options;
        options.UseSubstEngines = true;
        options.UseSubstEngines_BatchEnv = true;
        ASSERT_TRUE(options.Save());
    }
    Add(u"docs", Dir("docs"));
    host.Panels().Active().SetDirectory(Dir("x%WmJumpBackVariable%y"));
    EXPECT_TRUE(Run(u"docs"));
    EXPECT_EQ(Active(), Dir("docs"));
    EXPECT_TRUE(Run(u"-"));
    EXPECT_EQ(Active(), Dir("x%WmJumpBackVariable%y"));
}

TEST_F(Tasks, WalksUpToAnExistingParentWhenAsked) {
    // Three missing levels: one question, and the host is asked only for the folder that exists
    // (a missing one would get the host's own box before the question and at every level).
    Add(u"deep", Dir("docs/2024/missing/more/most"));
    host.QueueMessageAnswer(0);
    EXPECT_TRUE(Run(u"deep"));
    EXPECT_EQ(Active(), Dir("docs/2024"));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{Msg(0), Msg(7), Dir("docs/2024/missing/more/most"), Msg(36),
                                   Msg(3), Msg(4), Msg(2)}));
    std::vector<String> asked;
    for (const auto& call : host.Calls()) {
        if (call.function == "Control" && call.arguments.at(1) == "10") {
            asked.push_back(FromUtf8(call.arguments.at(3)));
        }
    }
    EXPECT_EQ(asked, std::vector<String>{Dir("docs/2024")});

    host.QueueMessageAnswer(1);
    EXPECT_FALSE(Run(u"deep"));
    EXPECT_EQ(host.Messages().size(), 2u);  // refused: no further message
}

TEST_F(Tasks, AWaymarkWithAParameterCannotBeEntered) {
    TWaymarkInfo info;
    info.SetName(u"p");
    info.Directory = Dir("a");
    info.Param = u"x";
    ASSERT_TRUE(TWaymarks::Store(info));
    // Said at once: no question about a folder that could not be entered.
    EXPECT_FALSE(Run(u"p"));
    EXPECT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(LastMessage(), Error({Msg(68), u"p"}));
    EXPECT_EQ(Active(), Dir("start"));
}

TEST_F(Tasks, AUncTargetGoesToThePanelAndTheWalkStopsAtItsShare) {
    Add(u"net", u"\\\\server\\share\\dir");
    host.QueueMessageAnswer(0);
    EXPECT_FALSE(Run(u"net"));
    std::vector<std::string> targets;
    for (const auto& call : host.Calls()) {
        if (call.function == "Control" && call.arguments.at(1) == "10") {
            targets.push_back(call.arguments.at(3));
        }
    }
    ASSERT_FALSE(targets.empty());
    EXPECT_EQ(targets.front(), "\\\\server\\share\\dir");
    for (const auto& target : targets) EXPECT_NE(target, "\\\\server");
    EXPECT_EQ(LastMessage(), Error({Msg(7)}));
}

TEST_F(Tasks, AWaymarkThroughAnotherPluginSaysWhyItCannotGo) {
    TWaymarkInfo info;
    info.SetName(u"other");
    info.Directory = Dir("a");
    info.PluginID = Guid{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    ASSERT_TRUE(TWaymarks::Store(info));
    EXPECT_FALSE(Run(u"other"));
    EXPECT_EQ(LastMessage(), Error({Msg(68), u"other"}));
    EXPECT_EQ(Active(), Dir("start"));
}

TEST_F(Tasks, DeleteRemovesAGroupWithEverythingBelowIt) {
    Add(u"tools", u"", true);
    Add(u"tools/a", u"", true);
    Add(u"tools/a/b", Dir("a"));
    Add(u"toolsx", Dir("a"));
    size_t start = 0;
    EXPECT_EQ(TWaymarks::ListChildren(u"tools", false, start), (std::vector<String>{u"tools/a"}));
    EXPECT_EQ(start, 7u);
    EXPECT_EQ(TWaymarks::ListChildren(u"tools", true, start),
              (std::vector<String>{u"tools/a", u"tools/a/b"}));

    EXPECT_TRUE(TWaymarks::Delete(u"tools"));
    EXPECT_EQ(TOptions().EnumEntryNames(), (std::vector<String>{u"toolsx"}));
    EXPECT_FALSE(TWaymarks::Delete(u"tools"));
    EXPECT_EQ(LastMessage()[1], Msg(6));
}

TEST_F(Tasks, MembersGoUnderTheirGroupAsItIsSpeltAndGoWithIt) {
    Add(u"tools/old", Dir("a"));  // stored before its group, as earlier versions did
    EXPECT_TRUE(Run(u":Tools/a"));
    EXPECT_TRUE(Run(u":tools/b"));
    EXPECT_TRUE(Run(u":TOOLS/c/d"));
    EXPECT_EQ(TOptions().EnumEntryNames(),
              (std::vector<String>{u"Tools", u"Tools/a", u"Tools/b", u"Tools/c", u"Tools/c/d",
                                   u"tools/old"}));
    EXPECT_EQ(TOptions().ReadEntry(u"TOOLS/C")->Name, u"Tools/c");

    EXPECT_TRUE(TWaymarks::Delete(u"tools"));
    EXPECT_EQ(TOptions().EnumEntryNames(), std::vector<String>{});
}

TEST_F(Tasks, AMemberThatCannotBeDeletedIsNamedAndTheRestGo) {
    Add(u"g", u"", true);
    Add(u"g/a", u"", true);
    Add(u"g/a/b", Dir("a"));
    Add(u"g/c", Dir("a"));
    Add(u"g/d", Dir("a"));
    {
        RefusingRegistry refusing;
        refusing.faults.FailWhen([](const platform::RegistryCallInfo& call) {
            return call.call == platform::RegistryCall::DeleteSubKey && call.name == u"g/c";
        });
        EXPECT_FALSE(TWaymarks::Delete(u"g"));
    }
    // The member that stayed keeps the groups it is in, so that the panel still shows it.
    EXPECT_EQ(TOptions().EnumEntryNames(), (std::vector<String>{u"g", u"g/c"}));
    EXPECT_EQ(LastMessage(), Error({Msg(13), u"g/c"}));
}

TEST_F(Tasks, AListingCutShortIsReportedAndNotActedOn) {
    Add(u"Proj", u"", true);
    for (const char16_t* name : {u"Proj/alpha", u"Proj/beta", u"Proj/gamma"}) Add(name, Dir("a"));
    SetSearch(true, false);
    RefusingRegistry refusing;
    refusing.faults.FailWhen([](const auto& call) {
        return call.call == platform::RegistryCall::EnumSubKey && call.index == 2;
    });
    // With only "Proj" and "Proj/alpha" listed, the menu's other lines would be lost.
    EXPECT_THROW(Run(u"Pro"), EWaymarkError);
    EXPECT_TRUE(host.Menus().empty());
    EXPECT_EQ(Active(), Dir("start"));

    EXPECT_FALSE(TWaymarks::Delete(u"Proj"));
    EXPECT_EQ(LastMessage(), Error({Msg(13)}));
    refusing.faults.ClearFaults();
    EXPECT_EQ(TOptions().EnumEntryNames(),
              (std::vector<String>{u"Proj", u"Proj/alpha", u"Proj/beta", u"Proj/gamma"}));
}

TEST_F(Tasks, ABlankBeforeTheColonMakesAName) {
    Add(u"docs", Dir("docs"));
    SetSearch(false, false);
    EXPECT_THROW(Run(u" :docs"), EWaymarkError);  // the name ":docs" holds a colon
    EXPECT_FALSE(Run(u""));
}

}  // namespace
}  // namespace wm::test
