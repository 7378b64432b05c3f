#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "core/Exceptions.h"
#include "plugin/uMessages.h"
#include "plugin/uOptions.h"
#include "plugin/uPanel.h"
#include "plugin/uTasks.h"
#include "plugin/uXml.h"
#include "tests/settings/SettingsFixture.h"
#include "tests/support/Links.h"

namespace wm::test {
namespace {

namespace fs = std::filesystem;

String Msg(int n) {
    return u"Message " + FromUtf8(std::to_string(n));
}

// The overwrite dialog's items: the apply-to-all box and the three buttons.
constexpr const char* kApplyToAll = "click 5\n";
constexpr const char* kOverwrite = "click 7\n";
constexpr const char* kSkip = "click 8\n";
constexpr const char* kCancel = "click 9\n";

struct Listed {
    String name;
    uint32_t attributes;
    String description;
    bool operator==(const Listed&) const = default;
};
void PrintTo(const Listed& item, std::ostream* out) {
    *out << ToUtf8(item.name) << "|" << item.attributes << "|" << ToUtf8(item.description);
}

constexpr uint32_t kGroup = far::FILE_ATTRIBUTE_DIRECTORY;
constexpr uint32_t kWaymark = far::FILE_ATTRIBUTE_NORMAL;

class PanelTasks : public SettingsTest {
protected:
    PanelTasks() {
        root = fs::temp_directory_path() /
               fs::path(u"wm-panel-" + scratch.substr(scratch.rfind(u'\\') + 1));
        fs::remove_all(root);
        fs::create_directories(root);
    }
    ~PanelTasks() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    void Put(StringView name, StringView directory, bool group = false,
             StringView description = u"") {
        TWaymarkInfo info;
        info.SetName(name);
        info.Directory = String(directory);
        info.Description = String(description);
        info.SetIsGroup(group);
        ASSERT_TRUE(TWaymarks::Store(info));
    }
    void Group(StringView name) { Put(name, u"", true); }
    std::unique_ptr<TWaymarkInfo> Read(StringView name) { return TOptions().ReadEntry(name); }
    std::vector<String> Names() { return TOptions().EnumEntryNames().value(); }

    static std::vector<Listed> Listing(TWaymarksPanel& panel) {
        far::PluginPanelItem* items = nullptr;
        int count = -1;
        EXPECT_TRUE(panel.GetFindData(0, items, count));
        std::vector<Listed> listed;
        for (int i = 0; i < count; ++i) {
            listed.push_back({TFarModule::FromHostString(items[i].FindData.lpwszFileName),
                              items[i].FindData.dwFileAttributes,
                              TFarModule::FromHostString(items[i].Description)});
        }
        panel.FreeFindData(items, count);
        return listed;
    }
    static std::vector<String> Names(TWaymarksPanel& panel) {
        std::vector<String> names;
        for (const auto& item : Listing(panel)) names.push_back(item.name);
        return names;
    }

    // A host item whose file name lives as long as the fixture.
    far::PluginPanelItem& Item(StringView name, uint32_t flags = far::PPIF_SELECTED) {
        names_.emplace_back(name);
        items_.push_back({});
        items_.back().FindData.lpwszFileName = TFarModule::ToHostString(names_.back());
        items_.back().Flags = flags;
        return items_.back();
    }
    bool Export(TWaymarksPanel& panel, StringView name, const fs::path& to, bool move = false,
                int opMode = 0) {
        EXPECT_TRUE(panel.BeginGetFiles(1, opMode));
        return panel.GetFile(Item(name), opMode, to.u16string(), move);
    }
    int Import(TWaymarksPanel& panel, StringView name, const fs::path& from, int opMode = 0) {
        EXPECT_TRUE(panel.BeginPutFiles(1, opMode));
        return panel.PutFile(Item(name), opMode, from.u16string(), false);
    }
    void WriteFile(const fs::path& file, const std::string& text) {
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
    }
    static std::string FileText(const fs::path& file) {
        std::ifstream in(file, std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }
    static std::string Exchange(const std::string& items) {
        return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<waymarks>\r\n" + items +
               "</waymarks>\r\n";
    }
    static std::string ItemXml(const std::string& name, const std::string& directory) {
        return "<item><name>" + name + "</name><directory>" + directory + "</directory></item>\r\n";
    }
    std::vector<String> MessageTexts() {
        std::vector<String> texts;
        for (const auto& message : host.Messages()) texts.push_back(message.lines.at(1));
        return texts;
    }
    int Refreshes() {
        int count = 0;
        for (const auto& call : host.Calls()) {
            count += call.function == "Control" && call.arguments.size() > 1 &&
                     call.arguments[1] == std::to_string(far::FCTL_UPDATEPANEL);
        }
        return count;
    }
    void SetRemember(bool remember) {
        TOptions options;
        options.SaveLastPanelDir = remember;
        ASSERT_TRUE(options.Save());
    }

    fs::path root;

private:
    std::deque<String> names_;
    std::deque<far::PluginPanelItem> items_;
};

TEST_F(PanelTasks, TheListingShowsOneGroupWithFullPathsAndGoesUpWithDotDot) {
    Group(u"tools");
    Put(u"tools/build", u"/srv/build", false, u"Build it");
    Put(u"tools/run", u"/srv/run");
    Group(u"tools/deep");
    Put(u"tools/deep/x", u"/srv/x");
    Put(u"top", u"/srv/top");
    // A stored plugin id that is no GUID: the entry cannot be read and is left out.
    Put(u"tools/broken", u"/srv/broken");
    WriteRaw(EntriesPath() + u"\\tools/broken", u"PluginID", platform::RegistryType::String,
             Bytes(u"no guid"));

    auto panel = TWaymarks::CreatePanel({});
    EXPECT_EQ(panel->GetCurrentDir(), u"");
    EXPECT_EQ(Listing(*panel),
              (std::vector<Listed>{{u"tools", kGroup, u""}, {u"top", kWaymark, u"/srv/top"}}));
    ASSERT_TRUE(panel->SetDirectory(u"tools", 0));
    EXPECT_EQ(panel->GetPanelTitle(), Msg(0) + u": /tools");
    EXPECT_EQ(Listing(*panel), (std::vector<Listed>{{u"..", kGroup, u""},
                                                    {u"tools/build", kWaymark, u"Build it"},
                                                    {u"tools/deep", kGroup, u""},
                                                    {u"tools/run", kWaymark, u"/srv/run"}}));
    ASSERT_TRUE(panel->SetDirectory(u"tools/deep", 0));
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"..", u"tools/deep/x"}));
    ASSERT_TRUE(panel->SetDirectory(u"..", 0));
    EXPECT_EQ(panel->GetCurrentDir(), u"tools");
    // Any other name is a full path: a waymark or a missing group changes nothing.
    EXPECT_FALSE(panel->SetDirectory(u"tools/build", 0));
    EXPECT_FALSE(panel->SetDirectory(u"missing", 0));
    EXPECT_EQ(panel->GetCurrentDir(), u"tools");
    ASSERT_TRUE(panel->SetDirectory(u"..", 0));
    EXPECT_EQ(panel->GetCurrentDir(), u"");
    EXPECT_EQ(panel->GetPanelTitle(), Msg(0) + u": /");
}

TEST_F(PanelTasks, TheHostLearnsTitleGroupNamesOnlyAndAViewWithTheDirectories) {
    Group(u"proj");
    Group(u"proj/deep");
    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->SetDirectory(u"proj/deep", 0));
    far::OpenPluginInfo info{};
    info.Flags = 1;
    panel->AnswerOpenPluginInfo(info);
    EXPECT_EQ(TFarModule::FromHostString(info.PanelTitle), Msg(0) + u": /proj/deep");
    EXPECT_EQ(TFarModule::FromHostString(info.CurDir), u"proj/deep");
    EXPECT_EQ(info.Flags, 1u | far::OPIF_RAWSELECTION | far::OPIF_SHOWNAMESONLY |
                              far::OPIF_SHOWRIGHTALIGNNAMES | far::OPIF_SHOWPRESERVECASE);

    // The start mode is the panel's own: the name and the item's text under their titles.
    ASSERT_EQ(info.StartPanelMode, u'6');
    ASSERT_GT(info.PanelModesNumber, 6);
    const far::PanelMode& mode = info.PanelModesArray[6];
    EXPECT_EQ(TFarModule::FromHostString(mode.ColumnTypes), u"NO,Z");
    ASSERT_NE(mode.ColumnWidths, nullptr);
    EXPECT_EQ(TFarModule::FromHostString(mode.ColumnTitles[0]), Msg(59));
    EXPECT_EQ(TFarModule::FromHostString(mode.ColumnTitles[1]), Msg(60));
    // The other view keys keep the host's own modes.
    for (int i = 0; i < 6; ++i) EXPECT_EQ(info.PanelModesArray[i].ColumnTypes, nullptr) << i;

    ASSERT_NE(info.KeyBar, nullptr);
    const auto label = [](far::HostText text) {
        return text ? TFarModule::FromHostString(text) : String(u"(host)");
    };
    std::vector<String> plain;
    for (const far::HostText text : info.KeyBar->Titles) plain.push_back(label(text));
    EXPECT_EQ(plain,
              (std::vector<String>{u"(host)", u"(host)", u"(host)", Msg(61), Msg(62), Msg(63),
                                   Msg(64), Msg(65), u"(host)", u"(host)", u"(host)", u"(host)"}));
    EXPECT_EQ(label(info.KeyBar->ShiftTitles[3]), Msg(66));
    EXPECT_EQ(label(info.KeyBar->ShiftTitles[4]), u"(host)");

    ASSERT_TRUE(panel->SetDirectory(u"..", 0));
    panel->AnswerOpenPluginInfo(info);
    EXPECT_EQ(TFarModule::FromHostString(info.PanelTitle), Msg(0) + u": /proj");
    ASSERT_TRUE(panel->SetDirectory(u"..", 0));
    panel->AnswerOpenPluginInfo(info);
    EXPECT_EQ(TFarModule::FromHostString(info.CurDir), u"");
}

TEST_F(PanelTasks, EveryReadSeesTheStoreAsItIsAndEachListingLivesUntilGivenBack) {
    Group(u"g");
    Put(u"g/a", u"/srv/a");
    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->SetDirectory(u"g", 0));
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"..", u"g/a"}));
    // Stored elsewhere (another panel, another process): the next read shows it.
    Put(u"g/b", u"/srv/b");
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"..", u"g/a", u"g/b"}));

    // The host's search reads the groups below before it gives the outer listing back.
    Group(u"g/inner");
    Put(u"g/inner/x", u"/srv/x");
    far::PluginPanelItem* outer = nullptr;
    int outerCount = 0;
    ASSERT_TRUE(panel->GetFindData(far::OPM_FIND, outer, outerCount));
    ASSERT_TRUE(panel->SetDirectory(u"g/inner", far::OPM_FIND));
    far::PluginPanelItem* inner = nullptr;
    int innerCount = 0;
    ASSERT_TRUE(panel->GetFindData(far::OPM_FIND, inner, innerCount));
    ASSERT_EQ(innerCount, 2);
    EXPECT_EQ(TFarModule::FromHostString(inner[1].FindData.lpwszFileName), u"g/inner/x");
    panel->FreeFindData(inner, innerCount);
    ASSERT_TRUE(panel->SetDirectory(u"..", far::OPM_FIND));
    std::vector<String> outerNames;
    for (int i = 0; i < outerCount; ++i)
        outerNames.push_back(TFarModule::FromHostString(outer[i].FindData.lpwszFileName));
    EXPECT_EQ(outerNames, (std::vector<String>{u"..", u"g/a", u"g/b", u"g/inner"}));
    panel->FreeFindData(outer, outerCount);
}

TEST_F(PanelTasks, OnlyTheRememberedGroupIsWrittenAndOnlyWhenTheUserMovedTheDifference) {
    Group(u"a");
    Group(u"a/b");
    SetRemember(true);
    // A value of another type than the options dialog writes: a whole save would rewrite it.
    WriteRaw(OptionsPath(), u"AllowPathSuffix", platform::RegistryType::String, Bytes(u"1"));
    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->SetDirectory(u"a", 0));
    EXPECT_EQ(TOptions().LastPanelDir, u"a");
    EXPECT_EQ(ReadRaw(OptionsPath(), u"AllowPathSuffix").first, platform::RegistryType::String);

    // The host's search walks the groups without moving the user's place.
    ASSERT_TRUE(panel->SetDirectory(u"a/b", far::OPM_FIND));
    ASSERT_TRUE(panel->SetDirectory(u"..", far::OPM_FIND));
    EXPECT_EQ(TOptions().LastPanelDir, u"a");

    // The same group again writes nothing: a value kept in another type stays as it is.
    WriteRaw(OptionsPath(), u"LastPanelDir", platform::RegistryType::ExpandString, Bytes(u"a\0"));
    ASSERT_TRUE(panel->SetDirectory(u"a", 0));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"LastPanelDir").first, platform::RegistryType::ExpandString);
    ASSERT_TRUE(panel->SetDirectory(u"a/b", 0));
    EXPECT_EQ(ReadRaw(OptionsPath(), u"LastPanelDir").first, platform::RegistryType::String);
    EXPECT_EQ(TOptions().LastPanelDir, u"a/b");
}

TEST_F(PanelTasks, TheGroupShownIsRememberedOnlyWhenAskedAndOnlyWhileItIsAGroup) {
    Group(u"a");
    Group(u"a/b");
    {
        auto panel = TWaymarks::CreatePanel({});
        ASSERT_TRUE(panel->SetDirectory(u"a/b", 0));
    }
    // Untouched: still the stored default.
    EXPECT_EQ(TOptions().LastPanelDir, u"LastPanelDir");
    EXPECT_EQ(TWaymarks::CreatePanel({})->GetCurrentDir(), u"");

    SetRemember(true);
    {
        auto panel = TWaymarks::CreatePanel({});
        ASSERT_TRUE(panel->SetDirectory(u"a/b", 0));
        EXPECT_EQ(TOptions().LastPanelDir, u"a/b");
    }
    EXPECT_EQ(TWaymarks::CreatePanel({})->GetCurrentDir(), u"a/b");
    // The group went away, or became a waymark: the panel opens at the root.
    ASSERT_TRUE(TWaymarks::Delete(u"a/b"));
    Put(u"a/b", u"/srv/b");
    EXPECT_EQ(TWaymarks::CreatePanel({})->GetCurrentDir(), u"");
}

TEST_F(PanelTasks, DeleteAsksFirstAndTakesAGroupWithEverythingBelowIt) {
    Group(u"g");
    Group(u"g/h");
    Put(u"g/h/x", u"/srv/x");
    Put(u"keep", u"/srv/keep");
    auto panel = TWaymarks::CreatePanel({});

    host.QueueMessageAnswer(1);  // No
    EXPECT_FALSE(panel->BeginDeleteFiles(1, 0));
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{Msg(0), Msg(12), Msg(3), Msg(4), Msg(2)}));
    EXPECT_EQ(host.Messages()[0].flags, far::FMSG_WARNING);
    EXPECT_FALSE(panel->BeginDeleteFiles(1, 0));  // closed with Esc
    host.QueueMessageAnswer(0);
    EXPECT_TRUE(panel->BeginDeleteFiles(1, 0));
    EXPECT_TRUE(panel->BeginDeleteFiles(1, far::OPM_SILENT));
    EXPECT_EQ(host.Messages().size(), 3u);

    Put(u"other", u"/srv/other");
    EXPECT_TRUE(panel->DeleteFile(Item(u"g"), 0));
    EXPECT_TRUE(panel->DeleteFile(Item(u"other"), 0));
    EXPECT_EQ(Names(), (std::vector<String>{u"keep"}));
    // The host reads the panel once after the batch; the panel asks for nothing per item.
    EXPECT_EQ(Refreshes(), 0);
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"keep"}));
}

TEST_F(PanelTasks, NewGroupsAreNamedInTheDialogInsideTheGroupShown) {
    Group(u"a");
    Put(u"a/w", u"/srv/w");
    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->SetDirectory(u"a", 0));
    String proposed = u"proposed";
    host.QueueDialogActions("set 1 \"new/deeper\"\nclick 3");
    EXPECT_TRUE(panel->MakeDirectory(proposed));
    EXPECT_TRUE(Read(u"a/new")->IsGroup());
    EXPECT_TRUE(Read(u"a/new/deeper")->IsGroup());
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"..", u"a/new", u"a/w"}));

    // Cancelled: the host learns of it through EAbort.
    EXPECT_THROW(panel->MakeDirectory(proposed), EAbort);
    // A bad name is said, and nothing is made; so is a group that would sit below a waymark.
    host.QueueDialogActions("set 1 \"a|b\"\nclick 3\nset 1 \"w/x\"\nclick 3");
    EXPECT_FALSE(panel->MakeDirectory(proposed));
    EXPECT_FALSE(panel->MakeDirectory(proposed));
    EXPECT_EQ(MessageTexts(), (std::vector<String>{Msg(11), Msg(38)}));
    EXPECT_EQ(Names(), (std::vector<String>{u"a", u"a/new", u"a/new/deeper", u"a/w"}));
}

TEST_F(PanelTasks, ExportWritesOneFilePerWaymarkInATreeOfTheGroups) {
    Group(u"tools");
    Put(u"tools/build", u"D:\\src", false, u"Build & test");
    Group(u"tools/empty");
    Group(u"tools/sub");
    Put(u"tools/sub/x", u"/srv/x");
    auto panel = TWaymarks::CreatePanel({});
    const fs::path out = root / "out" / "new";

    auto& item = Item(u"tools/build");
    ASSERT_TRUE(panel->BeginGetFiles(1, 0));
    ASSERT_TRUE(panel->GetFile(item, 0, out.u16string(), false));
    EXPECT_EQ(item.Flags & far::PPIF_SELECTED, 0u);
    // The exchange document of the stored entry, byte for byte (its bytes are pinned where the
    // exchange file is tested).
    EXPECT_EQ(FileText(out / "build.wmk"),
              NewExchangeDocument(*Read(u"tools/build"))->SaveToString());

    ASSERT_TRUE(Export(*panel, u"tools", root / "out"));
    EXPECT_TRUE(fs::exists(root / "out" / "tools" / "build.wmk"));
    EXPECT_TRUE(fs::exists(root / "out" / "tools" / "sub" / "x.wmk"));
    EXPECT_FALSE(fs::exists(root / "out" / "tools" / "empty"));
    EXPECT_FALSE(Export(*panel, u"missing", root / "out"));

    // A move takes the group away once every member is out.
    ASSERT_TRUE(Export(*panel, u"tools/sub", root / "moved", true));
    EXPECT_TRUE(fs::exists(root / "moved" / "sub" / "x.wmk"));
    EXPECT_EQ(Names(), (std::vector<String>{u"tools", u"tools/build", u"tools/empty"}));
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(PanelTasks, MembersSpeltInAnotherCaseThanTheirGroupAreShownExportedAndMovedWithIt) {
    // Stored before their groups were, as earlier versions stored them.
    Put(u"tools/b", u"/srv/b");
    Put(u"TOOLS/c/d", u"/srv/d");
    Group(u"Tools");
    Group(u"TOOLS/c");
    Put(u"Tools/a", u"/srv/a");
    EXPECT_EQ(Names(),
              (std::vector<String>{u"Tools", u"Tools/a", u"tools/b", u"Tools/c", u"TOOLS/c/d"}));

    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->SetDirectory(u"TOOLS", 0));
    EXPECT_EQ(panel->GetPanelTitle(), Msg(0) + u": /Tools");
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"..", u"Tools/a", u"tools/b", u"Tools/c"}));
    ASSERT_TRUE(panel->SetDirectory(u"Tools/c", 0));
    EXPECT_EQ(Names(*panel), (std::vector<String>{u"..", u"TOOLS/c/d"}));

    ASSERT_TRUE(Export(*panel, u"Tools", root / "out", true));
    for (const char* file : {"a.wmk", "b.wmk", "c/d.wmk"}) {
        EXPECT_TRUE(fs::exists(root / "out" / "Tools" / file)) << file;
    }
    EXPECT_EQ(Names(), std::vector<String>{});
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(PanelTasks, AGroupsDescriptionGoesOutBesideItsFolderAndComesBack) {
    Put(u"tools", u"", true, u"Build things");
    Put(u"tools/build", u"/srv/build");
    Group(u"bare");  // nothing of its own to carry, and no members: nothing is written
    auto panel = TWaymarks::CreatePanel({});
    const fs::path out = root / "out";
    ASSERT_TRUE(Export(*panel, u"tools", out, true));
    EXPECT_FALSE(fs::exists(out / "bare.wmk"));
    ASSERT_TRUE(Export(*panel, u"bare", out, true));
    EXPECT_FALSE(fs::exists(out / "bare.wmk"));
    EXPECT_EQ(Names(), std::vector<String>{});
    EXPECT_TRUE(fs::exists(out / "tools" / "build.wmk"));

    // Back in, folder and record in either order.
    EXPECT_EQ(Import(*panel, u"tools", out), 2);
    EXPECT_EQ(Read(u"tools")->Description, u"");
    EXPECT_EQ(Import(*panel, u"tools.wmk", out), 2);
    EXPECT_EQ(Read(u"tools")->Description, u"Build things");
    EXPECT_EQ(Names(), (std::vector<String>{u"tools", u"tools/build"}));
    // A description the group has is kept.
    WriteFile(out / "tools.wmk",
              Exchange("<group><name>tools</name><description>Other</description></group>"));
    Import(*panel, u"tools.wmk", out);
    EXPECT_EQ(Read(u"tools")->Description, u"Build things");
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(PanelTasks, AnExistingFileIsAskedForAndTheAnswerCanHoldForTheBatch) {
    for (const char* name : {"a", "b", "c"}) Put(u"w/" + FromUtf8(name), u"/srv/new");
    Group(u"w");
    const fs::path out = root / "out";
    for (const char* name : {"a", "b", "c"})
        WriteFile(out / "w" / (std::string(name) + ".wmk"), "old");
    auto panel = TWaymarks::CreatePanel({});

    // Silent: nothing is asked and nothing is replaced.
    EXPECT_FALSE(Export(*panel, u"w", out, false, far::OPM_SILENT));
    EXPECT_EQ(host.DialogScreens().size(), 0u);
    // Skip one, then overwrite the rest without asking again.
    host.QueueDialogActions(std::string(kSkip) + kApplyToAll + kOverwrite);
    EXPECT_FALSE(Export(*panel, u"w", out));
    EXPECT_EQ(host.DialogScreens().size(), 2u);
    EXPECT_EQ(FileText(out / "w" / "a.wmk"), "old");
    EXPECT_NE(FileText(out / "w" / "b.wmk"), "old");
    EXPECT_NE(FileText(out / "w" / "c.wmk"), "old");
    // A new batch asks again; cancel ends it.
    host.QueueDialogActions(kCancel);
    EXPECT_THROW(Export(*panel, u"w", out), EAbort);
    EXPECT_EQ(FileText(out / "w" / "a.wmk"), "old");
    EXPECT_EQ(Names().size(), 4u);
}

#ifdef _WIN32
TEST_F(PanelTasks, ANameThatCannotBeAFileIsSaidAndTheOthersGoOn) {
    Group(u"g");
    Put(u"g/a<b", u"/srv/1");
    Put(u"g/nul", u"/srv/2");
    Put(u"g/ok", u"/srv/3");
    auto panel = TWaymarks::CreatePanel({});
    EXPECT_FALSE(Export(*panel, u"g", root));
    EXPECT_TRUE(fs::exists(root / "g" / "ok.wmk"));
    EXPECT_EQ(MessageTexts(), (std::vector<String>{Msg(50), Msg(50)}));
    EXPECT_EQ(host.Messages()[0].lines.at(2), u"g/a<b");
}
#endif

#ifndef _WIN32
// Names here are UTF-8, which has no spelling for a surrogate without its pair (Windows names
// are UTF-16 and can hold one).
TEST_F(PanelTasks, ANameNoFileSystemCanSpellIsSaidAndTheOthersAreWritten) {
    Group(u"g");
    Put(u"g/a", u"/srv/a");
    Put(String(u"g/bad") + char16_t(0xD800), u"/srv/bad");
    Put(u"g/z", u"/srv/z");
    auto panel = TWaymarks::CreatePanel({});
    EXPECT_FALSE(Export(*panel, u"g", root));
    EXPECT_TRUE(fs::exists(root / "g" / "a.wmk"));
    EXPECT_TRUE(fs::exists(root / "g" / "z.wmk"));
    ASSERT_EQ(MessageTexts(), (std::vector<String>{Msg(50)}));
    EXPECT_EQ(host.Messages()[0].lines.at(2), String(u"g/bad") + char16_t(0xD800));
}
#endif

TEST_F(PanelTasks, ImportStoresIntoTheGroupShownAndAsksPerExistingItem) {
    Group(u"in");
    Put(u"in/one", u"/srv/old");
    Put(u"in/two", u"/srv/old");
    Put(u"outside", u"/srv/outside");
    const fs::path source = root / "src";
    WriteFile(source / "batch.wmk", Exchange(ItemXml("one", "/srv/1") + ItemXml("two", "/srv/2") +
                                             ItemXml("../../outside", "/srv/climbed") +
                                             ItemXml("sub/deep", "/srv/deep")));
    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->SetDirectory(u"in", 0));

    host.QueueDialogActions(std::string(kOverwrite) + kSkip);
    auto& item = Item(u"batch.wmk");
    ASSERT_TRUE(panel->BeginPutFiles(1, 0));
    EXPECT_EQ(panel->PutFile(item, 0, source.u16string(), true), 2);
    EXPECT_EQ(item.Flags & far::PPIF_SELECTED, 0u);
    EXPECT_EQ(host.DialogScreens().size(), 2u);
    EXPECT_EQ(Read(u"in/one")->Directory, u"/srv/1");
    EXPECT_EQ(Read(u"in/two")->Directory, u"/srv/old");
    // ".." stays inside the group; missing groups on the way are made.
    EXPECT_EQ(Read(u"outside")->Directory, u"/srv/outside");
    EXPECT_EQ(Read(u"in/outside")->Directory, u"/srv/climbed");
    EXPECT_TRUE(Read(u"in/sub")->IsGroup());
    EXPECT_EQ(Read(u"in/sub/deep")->Directory, u"/srv/deep");
    // A move into the panel leaves the source alone.
    EXPECT_TRUE(fs::exists(source / "batch.wmk"));
    EXPECT_EQ(Refreshes(), 1);

    // Silent: existing ones are kept without asking; with nothing stored the file failed.
    EXPECT_EQ(Import(*panel, u"batch.wmk", source, far::OPM_SILENT), 0);
    EXPECT_EQ(Read(u"in/two")->Directory, u"/srv/old");
    EXPECT_EQ(host.DialogScreens().size(), 2u);
}

TEST_F(PanelTasks, BadFilesAreSaidAndTheBatchGoesOn) {
    const fs::path source = root / "src";
    WriteFile(source / "wrong.wmk", "<?xml version=\"1.0\"?><other/>");
    WriteFile(source / "broken.wmk", "<waymarks><item>");
    WriteFile(source / "good.wmk", Exchange(ItemXml("g", "/srv/g")));
    auto panel = TWaymarks::CreatePanel({});
    ASSERT_TRUE(panel->BeginPutFiles(3, 0));
    EXPECT_EQ(panel->PutFile(Item(u"wrong.wmk"), 0, source.u16string(), false), 0);
    EXPECT_EQ(panel->PutFile(Item(u"broken.wmk"), 0, source.u16string(), false), 0);
    EXPECT_EQ(panel->PutFile(Item(u"missing.wmk"), 0, source.u16string(), false), 0);
    EXPECT_EQ(panel->PutFile(Item(u"good.wmk"), 0, source.u16string(), false), 2);
    EXPECT_EQ(MessageTexts(), (std::vector<String>{Msg(52), Msg(52), Msg(52)}));
    EXPECT_EQ(host.Messages()[0].lines.at(3), Msg(21));
    EXPECT_EQ(host.Messages()[1].lines.at(2), (source / "broken.wmk").u16string());
    EXPECT_EQ(Names(), (std::vector<String>{u"g"}));
    EXPECT_EQ(Refreshes(), 1);
}

TEST_F(PanelTasks, AnItemNamedLikeTheJumpBackIsSaidAndTheOthersAreImported) {
    const fs::path source = root / "src";
    WriteFile(source / "two.wmk", Exchange(ItemXml("-", "/srv/dash") + ItemXml("ok", "/srv/ok")));
    auto panel = TWaymarks::CreatePanel({});
    EXPECT_EQ(Import(*panel, u"two.wmk", source), 2);
    EXPECT_EQ(MessageTexts(), (std::vector<String>{Msg(71)}));
    EXPECT_EQ(Names(), (std::vector<String>{u"ok"}));
    // Inside a group the same name is no jump back: g/- is reached as cd:g/-.
    Group(u"g");
    ASSERT_TRUE(panel->SetDirectory(u"g", 0));
    EXPECT_EQ(Import(*panel, u"two.wmk", source), 2);
    EXPECT_EQ(Names(), (std::vector<String>{u"g", u"g/-", u"g/ok", u"ok"}));
}

// The report's count and reasons, with the language's own placeholders.
void UseFormattedReports(farhost::Host& host) {
    std::string file = ".Language=English,English\n";
    for (int i = 0; i <= MessageCount; ++i) {
        file += i == MItemsSkippedCount ? "\"%s of %s\"\n"
                : i == MItemReason      ? "\"%s: %s\"\n"
                                        : "\"Message " + std::to_string(i) + "\"\n";
    }
    host.SetLanguageFile(farhost::LanguageFile::Parse(file));
}

TEST_F(PanelTasks, AFolderIsReadForItsExchangeFilesAndEachFileSaysItsProblemsInOneBox) {
    UseFormattedReports(host);
    const fs::path source = root / "src";
    std::string items = ItemXml("kept", "/srv/kept");
    for (int i = 0; i < 200; ++i) items += "<item><directory>/srv/none</directory></item>";
    items += "<item><name>id</name><directory/><plugin>{0123</plugin></item>";
    WriteFile(source / "in" / "many.WMK", Exchange(items));
    for (const char* other : {"README.txt", "logo.png", "desktop.ini"}) {
        WriteFile(source / "in" / other, "not a waymark");
    }
    WriteFile(source / "in" / "empty.wmk", Exchange(""));
    // Nothing to import below: no group is made for it.
    WriteFile(source / "in" / "sub" / "bad.wmk", "<waymarks><item>");
    auto panel = TWaymarks::CreatePanel({});

    EXPECT_EQ(Import(*panel, u"in", source), 0);  // two of its files failed
    EXPECT_EQ(Names(), (std::vector<String>{u"in", u"in/kept"}));
    std::map<String, std::vector<String>> reports;
    for (const auto& message : host.Messages()) {
        const auto& lines = message.lines;
        reports[lines.at(2)] = std::vector<String>(lines.begin() + 1, lines.end() - 3);
        // More files may follow: go on, go on quietly, stop.
        EXPECT_EQ(std::vector<String>(lines.end() - 3, lines.end()),
                  (std::vector<String>{Msg(75), Msg(76), Msg(77)}));
    }
    const String many = (source / "in" / "many.WMK").u16string();
    const String empty = (source / "in" / "empty.wmk").u16string();
    const String bad = (source / "in" / "sub" / "bad.wmk").u16string();
    ASSERT_EQ(reports.size(), 3u);
    EXPECT_EQ(reports[many], (std::vector<String>{Msg(71), many, u"201 of 202", u"2: " + Msg(22),
                                                  u"3: " + Msg(22), u"4: " + Msg(22)}));
    EXPECT_EQ(reports[empty], (std::vector<String>{Msg(73), empty}));
    EXPECT_EQ(reports[bad].at(0), Msg(52));

    // A file the user marked is read whatever its name.
    WriteFile(source / "list.xml", Exchange(ItemXml("chosen", "/srv/chosen")));
    EXPECT_EQ(Import(*panel, u"list.xml", source), 2);
    EXPECT_TRUE(Read(u"chosen"));
}

TEST_F(PanelTasks, TheUserCanGoOnWithoutReportsOrStopTheImport) {
    const fs::path source = root / "src";
    for (const char* name : {"a", "b", "c"}) {
        WriteFile(source / "bad" / (std::string(name) + ".wmk"), "<waymarks><item>");
    }
    WriteFile(source / "bad" / "z.wmk", Exchange(ItemXml("z", "/srv/z")));
    auto panel = TWaymarks::CreatePanel({});
    host.QueueMessageAnswer(1);  // no more reports
    EXPECT_EQ(Import(*panel, u"bad", source), 0);
    EXPECT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(Read(u"bad/z"));

    host.ClearRecords();
    host.QueueMessageAnswer(2);  // stop
    EXPECT_THROW(Import(*panel, u"bad", source), EAbort);
    EXPECT_EQ(host.Messages().size(), 1u);
}

TEST_F(PanelTasks, LinksToFoldersAreNotFollowedInsideAnImportedFolder) {
    const fs::path source = root / "src";
    WriteFile(source / "L" / "a.wmk", Exchange(ItemXml("a", "/srv/a")));
    std::error_code error = MakeFolderLink("..", source / "L" / "up");
    if (!error) error = MakeFolderLink(".", source / "L" / "self");
    if (error) GTEST_SKIP() << "no links to folders here: " << error.message();
    auto panel = TWaymarks::CreatePanel({});
    EXPECT_EQ(Import(*panel, u"L", source), 2);
    EXPECT_EQ(Names(), (std::vector<String>{u"L", u"L/a"}));
    EXPECT_TRUE(host.Messages().empty());
}

TEST_F(PanelTasks, ADirectoryTreeBecomesGroupsWithOneRefreshAndOneChoiceForTheBatch) {
    Group(u"tree");
    Put(u"tree/a", u"/srv/old");
    Put(u"tree/sub/b", u"/srv/old");
    Group(u"tree/sub");
    Put(u"blocked", u"/srv/blocked");
    const fs::path source = root / "src";
    WriteFile(source / "tree" / "a.wmk", Exchange(ItemXml("a", "/srv/a")));
    WriteFile(source / "tree" / "sub" / "b.wmk", Exchange(ItemXml("b", "/srv/b")));
    WriteFile(source / "tree" / "new" / "c.wmk", Exchange(ItemXml("c", "/srv/c")));
    WriteFile(source / "blocked" / "d.wmk", Exchange(ItemXml("d", "/srv/d")));
    auto panel = TWaymarks::CreatePanel({});

    host.QueueDialogActions(std::string(kApplyToAll) + kOverwrite);
    EXPECT_EQ(Import(*panel, u"tree", source), 2);
    EXPECT_EQ(host.DialogScreens().size(), 1u);
    EXPECT_EQ(Read(u"tree/a")->Directory, u"/srv/a");
    EXPECT_EQ(Read(u"tree/sub/b")->Directory, u"/srv/b");
    EXPECT_TRUE(Read(u"tree/new")->IsGroup());
    EXPECT_EQ(Read(u"tree/new/c")->Directory, u"/srv/c");
    EXPECT_EQ(Refreshes(), 1);

    // A directory whose group is a waymark is refused with its path.
    EXPECT_EQ(Import(*panel, u"blocked", source), 0);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines.at(1), Msg(38));
    EXPECT_EQ(host.Messages()[0].lines.at(2), u"blocked");
    EXPECT_EQ(Read(u"blocked/d"), nullptr);
    EXPECT_EQ(Refreshes(), 1);
}

}  // namespace
}  // namespace wm::test
