#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "framework/FarPanel.h"
#include "framework/FarPanelManaged.h"
#include "host/FarKeysW.h"
#include "tests/framework/TestPlugin.h"

extern "C" {
void ClosePluginW(far::HANDLE hPlugin);
int32_t GetFindDataW(far::HANDLE, far::PluginPanelItem**, int32_t*, int32_t);
int32_t MakeDirectoryW(far::HANDLE, far::HostText const*, int32_t);
int32_t SetDirectoryW(far::HANDLE, far::HostText, int32_t);
int32_t DeleteFilesW(far::HANDLE, far::PluginPanelItem*, int32_t, int32_t);
int32_t GetFilesW(far::HANDLE, far::PluginPanelItem*, int32_t, int32_t, far::HostText const*,
                  int32_t);
int32_t PutFilesW(far::HANDLE, far::PluginPanelItem*, int32_t, int32_t, far::HostText, int32_t);
int32_t ProcessKeyW(far::HANDLE, int32_t, uint32_t);
int32_t ProcessEventW(far::HANDLE, int32_t, void*);
void GetOpenPluginInfoW(far::HANDLE, far::OpenPluginInfo*);
}

namespace wm::test {
namespace {

namespace fs = std::filesystem;

// A temporary folder with two subfolders and a file, removed at the end.
class TempTree {
public:
    TempTree()
        : root_(fs::temp_directory_path() / fs::path("wm-panels-" + std::to_string(++counter_))) {
        fs::remove_all(root_);
        fs::create_directories(root_ / "alpha");
        fs::create_directories(root_ / "beta");
        std::ofstream(root_ / "note.txt") << "12345";
    }
    ~TempTree() {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
    const fs::path& Root() const { return root_; }

private:
    static inline int counter_ = 0;
    fs::path root_;
};

farhost::Host::Options InTree(const TempTree& tree) {
    farhost::Host::Options options;
    options.panelDirectory = tree.Root().u16string();
    return options;
}

class Snapshot : public FrameworkTest {
protected:
    Snapshot() : FrameworkTest(InTree(tree_)) {}
    static inline TempTree tree_;
};

TEST_F(Snapshot, ReadsGeometryDirectoryAndItems) {
    host.Panels().Active().SetCurrentItem(2);
    TFarPanel panel(TPanelSide::Active, true);
    EXPECT_EQ(panel.Handle, far::PANEL_ACTIVE);
    EXPECT_EQ(fs::path(panel.Directory), tree_.Root());
    ASSERT_EQ(panel.Count(), 4);  // "..", alpha, beta, note.txt
    EXPECT_EQ(panel.GetItem(0).FileName, u"..");
    EXPECT_EQ(panel.GetItem(1).FileName, u"alpha");
    EXPECT_EQ(panel.GetItem(1).FileAttributes, far::FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(panel.GetItem(3).FileName, u"note.txt");
    EXPECT_EQ(panel.GetItem(3).FileSize, 5u);
    EXPECT_EQ(panel.GetItem(3).Index, 3);
    EXPECT_EQ(panel.CurrentItem, 2);
    EXPECT_THROW(panel.GetItem(4), EListError);

    TFarPanel withoutItems(TPanelSide::Passive, false);
    EXPECT_FALSE(withoutItems.ItemsLoaded);
    EXPECT_EQ(withoutItems.Count(), 0);
    EXPECT_EQ(withoutItems.Handle, far::PANEL_PASSIVE);
    EXPECT_EQ(host.CallCount("Control"), 4 + 2 * 4 + 2);
}

TEST_F(Snapshot, AFailedPanelQueryLeavesAnEmptySnapshot) {
    TFarPanel panel(reinterpret_cast<far::HANDLE>(intptr_t{12345}), true);
    EXPECT_EQ(panel.Handle, nullptr);
    EXPECT_EQ(panel.Count(), 0);
    EXPECT_TRUE(panel.Directory.empty());
}

TEST_F(Snapshot, SetPanelDirectoryOnlyForPlainDirectories) {
    const Guid plugin{1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
    const String alpha = (tree_.Root() / "alpha").u16string();
    EXPECT_FALSE(TFarPanel::SetPanelDirectory(far::PANEL_ACTIVE, alpha, plugin, u"", u""));
    EXPECT_FALSE(TFarPanel::SetPanelDirectory(far::PANEL_ACTIVE, alpha, NullGuid, u"p", u""));
    EXPECT_FALSE(TFarPanel::SetPanelDirectory(far::PANEL_ACTIVE, alpha, NullGuid, u"", u"h"));
    EXPECT_EQ(host.CallCount("Control"), 0);

    EXPECT_TRUE(TFarPanel::SetPanelDirectory(far::PANEL_ACTIVE, alpha, NullGuid, u"", u""));
    EXPECT_EQ(fs::path(host.Panels().Active().ShownDirectory()), tree_.Root() / "alpha");
    EXPECT_FALSE(
        TFarPanel::SetPanelDirectory(far::PANEL_ACTIVE, alpha + u"-missing", NullGuid, u"", u""));
    EXPECT_EQ(fs::path(host.Panels().Active().ShownDirectory()), tree_.Root() / "alpha");
}

// A managed panel whose operations answer from scripted results.
class ScriptedPanel : public TFarPanelManaged {
public:
    String GetCurrentDir() override { return currentDir; }
    void GetOpenPluginInfo(far::OpenPluginInfo& info) override {
        if (currentDir == u"throw") throw EFarError(u"no info");
        info.Flags = far::OPIF_SHOWNAMESONLY;
    }
    bool GetFindData(int, far::PluginPanelItem*& items, int& count) override {
        items = itemsToGive;
        count = 2;
        return true;
    }
    void FreeFindData(far::PluginPanelItem*, int count) override { freed += count; }
    bool MakeDirectory(String& name) override {
        if (name == u"abort") throw EAbort();
        name = u"changed";
        return true;
    }
    bool SetDirectory(StringView directory, int /*opMode*/) override { return directory == u"ok"; }
    bool DeleteFile(far::PluginPanelItem&, int) override { return Next() != 0; }
    bool GetFile(far::PluginPanelItem& item, int, StringView destination, bool) override {
        destinations.emplace_back(destination);
        item.Flags &= ~far::PPIF_SELECTED;
        return Next() != 0;
    }
    int PutFile(far::PluginPanelItem&, int, StringView, bool) override {
        const int result = Next();
        if (result < 0) throw EAbort();
        return result;
    }
    bool ProcessKey(int key, unsigned) override { return key == far::VK_F4; }
    int ProcessEvent(int event, void*) override { return event + 100; }

    int Next() {
        ++calls;
        const int result = results.at(0);
        results.erase(results.begin());
        return result;
    }

    far::PluginPanelItem itemsToGive[2]{};
    String currentDir;
    std::vector<int> results;
    std::vector<String> destinations;
    int calls = 0;
    int freed = 0;
};

using ManagedPanel = FrameworkTest;

TEST_F(ManagedPanel, BatchResultsFollowTheItems) {
    auto* panel = new ScriptedPanel;
    far::PluginPanelItem items[3]{};
    for (auto& item : items) item.Flags = far::PPIF_SELECTED;

    panel->results = {2, 2, 0};
    EXPECT_EQ(PutFilesW(panel, items, 3, 0, nullptr, 0), 0);
    panel->results = {0, 1, 0};
    const String destination = u"/tmp/out";
    const far::HostText destinationText = TFarModule::ToHostString(destination);
    EXPECT_EQ(GetFilesW(panel, items, 3, 0, &destinationText, 0), 1);
    EXPECT_EQ(panel->destinations, (std::vector<String>(3, u"/tmp/out")));
    EXPECT_EQ(items[1].Flags, 0u);  // the host's own element was changed
    panel->results = {0, 0, 0};
    EXPECT_EQ(DeleteFilesW(panel, items, 3, 0), 0);
    panel->results = {0, 1, 0};
    EXPECT_EQ(DeleteFilesW(panel, items, 3, 0), 1);
    EXPECT_EQ(panel->calls, 12);

    EXPECT_EQ(DeleteFilesW(panel, items, 0, 0), 0);  // no items: no calls
    EXPECT_EQ(panel->calls, 12);

    panel->results = {1, -1, 1};
    EXPECT_EQ(PutFilesW(panel, items, 3, 0, nullptr, 0), -1);
    EXPECT_TRUE(host.Messages().empty());
    ClosePluginW(panel);
}

TEST_F(ManagedPanel, SingleOperationsAndUnknownHandles) {
    auto* panel = new ScriptedPanel;
    far::PluginPanelItem* items = nullptr;
    int32_t count = 0;
    EXPECT_EQ(GetFindDataW(panel, &items, &count, 0), 1);
    EXPECT_EQ(items, panel->itemsToGive);
    EXPECT_EQ(count, 2);

    const String name = u"group";
    far::HostText nameText = TFarModule::ToHostString(name);
    EXPECT_EQ(MakeDirectoryW(panel, &nameText, 0), 1);
    EXPECT_EQ(TFarModule::FromHostString(nameText), u"group");  // not written back
    const String abort = u"abort";
    far::HostText abortText = TFarModule::ToHostString(abort);
    EXPECT_EQ(MakeDirectoryW(panel, &abortText, 0), -1);

    const String ok = u"ok";
    EXPECT_EQ(SetDirectoryW(panel, TFarModule::ToHostString(ok), 0), 1);
    EXPECT_EQ(SetDirectoryW(panel, nullptr, 0), 0);
    EXPECT_EQ(ProcessKeyW(panel, far::VK_F4, 0), 1);
    EXPECT_EQ(ProcessEventW(panel, far::FE_IDLE, nullptr), 102);

    far::HANDLE unknown = reinterpret_cast<far::HANDLE>(intptr_t{0x10});
    EXPECT_EQ(GetFindDataW(unknown, &items, &count, 0), 0);
    EXPECT_EQ(MakeDirectoryW(unknown, &nameText, 0), -1);
    EXPECT_EQ(PutFilesW(unknown, nullptr, 1, 0, nullptr, 0), 0);
    EXPECT_EQ(ProcessEventW(far::INVALID_HANDLE_VALUE, 0, nullptr), 0);
    ClosePluginW(far::INVALID_HANDLE_VALUE);
    ClosePluginW(nullptr);

    TFarPanelManaged* found = nullptr;
    EXPECT_TRUE(TFarPanelManaged::FindPanel(panel, found));
    EXPECT_EQ(found, panel);
    ClosePluginW(panel);
    EXPECT_FALSE(TFarPanelManaged::FindPanel(panel, found));
}

TEST_F(ManagedPanel, OpenPluginInfoCarriesTitleAndCurDirThatOutliveTheCall) {
    auto* panel = new ScriptedPanel;
    panel->currentDir = u"a/b";
    far::OpenPluginInfo info{};
    GetOpenPluginInfoW(panel, &info);
    EXPECT_EQ(TFarModule::FromHostString(info.PanelTitle),
              TFarModule::GetStandardText(TFarStandardText::Title));
    EXPECT_EQ(TFarModule::FromHostString(info.CurDir), u"a/b");
    EXPECT_EQ(info.Flags, far::OPIF_SHOWNAMESONLY);
    // The panel moves on; the texts of the answer stay until the next question.
    panel->currentDir = u"elsewhere";
    EXPECT_EQ(TFarModule::FromHostString(info.CurDir), u"a/b");
    GetOpenPluginInfoW(panel, &info);
    EXPECT_EQ(TFarModule::FromHostString(info.CurDir), u"elsewhere");

    far::OpenPluginInfo untouched{};
    GetOpenPluginInfoW(reinterpret_cast<far::HANDLE>(intptr_t{0x10}), &untouched);
    EXPECT_EQ(untouched.PanelTitle, nullptr);
    GetOpenPluginInfoW(panel, nullptr);
    panel->currentDir = u"throw";
    GetOpenPluginInfoW(panel, &info);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines[1], u"Exception occurred in function GetOpenPluginInfoW");
    ClosePluginW(panel);
}

TEST_F(ManagedPanel, ExceptionsAreReportedUnderTheExportsName) {
    auto* panel = new ScriptedPanel;
    far::PluginPanelItem items[2]{};
    panel->results = {1};  // the second item runs out of scripted results
    EXPECT_EQ(DeleteFilesW(panel, items, 2, 0), 1);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines[1], u"Exception occurred in function DeleteFilesW");
    ClosePluginW(panel);
}

}  // namespace
}  // namespace wm::test
