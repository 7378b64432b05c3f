#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "farhost/engine/Host.h"
#include "farhost/session/Session.h"
#include "tests/support/Paths.h"

namespace farhost {
namespace {

namespace fs = std::filesystem;

// The probe's panel (see tests/probe/ProbePanel.h) with both file panels in a fresh folder.
class PluginPanelTest : public ::testing::Test {
protected:
    static Host::Options InFolder(const fs::path& root) {
        fs::remove_all(root);
        fs::create_directories(root / "files");
        std::ofstream(root / "files" / "new.txt") << "fresh";
        Host::Options options;
        options.panelDirectory = (root / "files").u16string();
        return options;
    }

    explicit PluginPanelTest(const char* module = PROBE_MODULE_PATH) {
        host.LoadPlugin(wm::test::BuiltFile(module));
        host.StartPlugin();
        session.SetVariable("FILES", (root / "files").string());
    }
    ~PluginPanelTest() override {
        host.ClosePluginPanels();
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }

    int Run(const std::string& script) {
        std::istringstream lines(script);
        return session.Run(lines, false);
    }
    // The calls into the plugin, each as "Function arguments...", without the handle.
    std::vector<std::string> PluginCalls(size_t from = 0) const {
        std::vector<std::string> calls;
        for (size_t i = from; i < host.PluginCalls().size(); ++i) {
            const HostCall& call = host.PluginCalls()[i];
            std::string text = call.function;
            for (size_t a = call.function == "OpenPluginW" ? 0 : 1; a < call.arguments.size(); ++a)
                text += " " + call.arguments[a];
            calls.push_back(text);
        }
        return calls;
    }
    far::HANDLE Handle(size_t side) const { return host.PluginPanelOn(side)->Handle(); }
    int32_t Control(far::HANDLE handle, int32_t command, int32_t param1, const void* param2) {
        return host.StartupInfo().Control(handle, command, param1,
                                          reinterpret_cast<far::LONG_PTR>(param2));
    }

    const fs::path root = fs::temp_directory_path() / "wm-plugin-panel";
    Host host{InFolder(root)};
    std::ostringstream out;
    std::istringstream in;
    Session session{host, out, in, Session::Mode::Script};
};

TEST(PanelInfoOf, APluginsOwnModeDecidesTheColumnsAndWhetherNamesAreShort) {
    const char16_t types[] = u"NO,Z", widths[] = u"0,0", plain[] = u"N,Z", title[] = u"Where";
    const far::HostText titles[] = {nullptr, reinterpret_cast<far::HostText>(title)};
    far::PanelMode modes[7]{};
    modes[6].ColumnTypes = reinterpret_cast<far::HostText>(types);
    modes[6].ColumnWidths = reinterpret_cast<far::HostText>(widths);
    modes[6].ColumnTitles = titles;
    far::OpenPluginInfo info{};
    info.PanelModesArray = modes;
    info.PanelModesNumber = 7;
    info.StartPanelMode = u'6';
    rules::PanelInfo panel = rules::PanelInfoOf(info);
    EXPECT_TRUE(panel.namesOnly);
    EXPECT_EQ(panel.nameTitle, u"Name");
    EXPECT_EQ(panel.descriptionTitle, u"Where");

    // The flag does not shorten a plugin's own name column; only "O" does.
    modes[6].ColumnTypes = reinterpret_cast<far::HostText>(plain);
    info.Flags = far::OPIF_SHOWNAMESONLY;
    EXPECT_FALSE(rules::PanelInfoOf(info).namesOnly);
    // Without a mode of the plugin's, the host's: the flag shortens, mode 6 has descriptions.
    info.PanelModesNumber = 6;
    panel = rules::PanelInfoOf(info);
    EXPECT_TRUE(panel.namesOnly);
    EXPECT_EQ(panel.descriptionTitle, u"Description");
    info.StartPanelMode = u'2';
    EXPECT_TRUE(rules::PanelInfoOf(info).descriptionTitle.empty());
}

TEST_F(PluginPanelTest, OpensOnTheActiveSideAndLeavesThroughTheParentItem) {
    ASSERT_EQ(Run("probe:panel\n"
                  "expect plugin left\n"
                  "expect no plugin right\n"
                  "expect title left Probe:\n"
                  "expect listing left group alpha.txt beta.txt\n"
                  "expect cursor group\n"
                  "enter\n"
                  "expect listing left .. inner.txt\n"
                  "expect cursor ..\n"),
              0)
        << out.str();
    // ".." goes up while CurDir names a folder: the plugin is asked, then read again.
    const size_t before = host.PluginCalls().size();
    ASSERT_EQ(Run("enter\nexpect listing left group alpha.txt beta.txt\nexpect cursor group\n"), 0)
        << out.str();
    EXPECT_EQ(PluginCalls(before),
              (std::vector<std::string>{"ProcessKeyW 524301 0", "ProcessKeyW 13 0",
                                        "SetDirectoryW .. 0", "GetFindDataW 0", "FreeFindDataW 3",
                                        "GetOpenPluginInfoW", "ProcessEventW 1"}));
    EXPECT_EQ(PluginCalls(0)[0], "OpenPluginW 4 panel");
    const auto calls = PluginCalls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), "SetDirectoryW group 0"), 1);
    EXPECT_EQ(host.PluginCallCount("GetFindDataW"), 3);
    EXPECT_EQ(host.PluginCallCount("FreeFindDataW"), 3);

    // The drive menu opens on its own side, which becomes active; the plugins menu on the active
    // side, where the old panel is closed before the new one is read. Tab is offered to the
    // plugin for preprocessing only, and the panel loses the focus.
    ASSERT_EQ(Run("close\ndrive right\nexpect plugin right\nexpect no plugin left\n"
                  "expect cursor right group\n"),
              0)
        << out.str();
    const size_t replaced = host.PluginCalls().size();
    ASSERT_EQ(Run("plugins\nexpect plugin right\ntab\n"), 0) << out.str();
    EXPECT_EQ(PluginCalls(replaced),
              (std::vector<std::string>{"OpenPluginW 1 0", "ProcessEventW 3", "ClosePluginW",
                                        "ProcessEventW 6", "GetFindDataW 0", "FreeFindDataW 3",
                                        "GetOpenPluginInfoW", "ProcessEventW 1",
                                        "ProcessKeyW 524297 0", "ProcessEventW 7"}));
    ASSERT_EQ(Run("tab\n"), 0);
    EXPECT_FALSE(host.Panels().LeftIsActive());
    EXPECT_EQ(host.PluginCallCount("ClosePluginW"), 2);
    EXPECT_NE(host.DrawPanels().find("|[Probe:]\n"), std::string::npos) << host.DrawPanels();
}

TEST_F(PluginPanelTest, ControlAnswersForThePanelByItsHandleAndBySide) {
    ASSERT_EQ(Run("probe:panel\ncursor beta.txt\nmark alpha.txt\nmark\n"), 0) << out.str();
    const far::HANDLE handle = Handle(0);
    for (const far::HANDLE name : {handle, far::PANEL_ACTIVE}) {
        far::PanelInfo info{};
        ASSERT_EQ(Control(name, far::FCTL_GETPANELINFO, 0, &info), 1);
        EXPECT_EQ(info.Plugin, 1);
        EXPECT_EQ(info.ItemsNumber, 3);
        EXPECT_EQ(info.SelectedItemsNumber, 2);
        EXPECT_EQ(info.CurrentItem, 2);
        EXPECT_EQ(info.Focus, 1);
    }
    far::PanelInfo passive{};
    ASSERT_EQ(Control(far::PANEL_PASSIVE, far::FCTL_GETPANELINFO, 0, &passive), 1);
    EXPECT_EQ(passive.Plugin, 0);

    // The buffer-size protocol: the size first, then the item with its texts behind it.
    const int32_t size = Control(handle, far::FCTL_GETSELECTEDPANELITEM, 1, nullptr);
    ASSERT_GT(size, static_cast<int32_t>(sizeof(far::PluginPanelItem)));
    std::vector<unsigned char> buffer(static_cast<size_t>(size));
    ASSERT_EQ(Control(handle, far::FCTL_GETSELECTEDPANELITEM, 1, buffer.data()), size);
    far::PluginPanelItem item{};
    std::memcpy(&item, buffer.data(), sizeof item);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(item.FindData.lpwszFileName)),
              u"beta.txt");
    EXPECT_EQ(item.UserData, 102u);
    EXPECT_EQ(item.FindData.nFileSize, 4u);
    EXPECT_TRUE(item.Flags & far::PPIF_SELECTED);
    EXPECT_EQ(Control(handle, far::FCTL_GETSELECTEDPANELITEM, 2, nullptr), 0);
    EXPECT_EQ(Control(handle, far::FCTL_GETPANELITEM, 3, nullptr), 0);
    char16_t dir[8] = {u'x'};
    EXPECT_EQ(Control(handle, far::FCTL_GETPANELDIR, 8, dir), 1);
    EXPECT_EQ(dir[0], u'\0');

    // An update keeps the cursor on its name and, with Param1, the marks; a redraw with a
    // record moves the cursor and tells the plugin.
    ASSERT_EQ(Run("cursor group\n"), 0);
    EXPECT_EQ(Control(handle, far::FCTL_UPDATEPANEL, 1, nullptr), 1);
    ASSERT_EQ(Run("expect cursor group\nexpect marked left alpha.txt beta.txt\n"), 0) << out.str();
    EXPECT_EQ(Control(handle, far::FCTL_UPDATEPANEL, 0, nullptr), 1);
    ASSERT_EQ(Run("expect marked left\n"), 0) << out.str();
    const far::PanelRedrawInfo redraw{1, 1};
    const size_t before = host.PluginCalls().size();
    EXPECT_EQ(Control(far::PANEL_ACTIVE, far::FCTL_REDRAWPANEL, 0, &redraw), 1);
    EXPECT_EQ(PluginCalls(before), std::vector<std::string>{"ProcessEventW 1"});
    far::PanelInfo info{};
    Control(handle, far::FCTL_GETPANELINFO, 0, &info);
    EXPECT_EQ(info.CurrentItem, 1);
    EXPECT_EQ(info.TopPanelItem, 1);

    // Setting the folder of a plugin side closes the panel first; the handle is gone then.
    const fs::path other = root / "other";
    fs::create_directories(other);
    const std::u16string target = other.u16string();
    EXPECT_EQ(Control(handle, far::FCTL_SETPANELDIR, 0, target.c_str()), 1);
    EXPECT_EQ(PluginCalls(before + 1),
              (std::vector<std::string>{"ProcessEventW 3", "ClosePluginW"}));
    EXPECT_EQ(host.PluginPanelOn(0), nullptr);
    EXPECT_EQ(Control(handle, far::FCTL_GETPANELINFO, 0, &info), 0);
    // As for a file panel, the new folder shows once the panel is drawn.
    Control(far::PANEL_ACTIVE, far::FCTL_REDRAWPANEL, 0, nullptr);
    session.SetVariable("OTHER", other.string());
    EXPECT_EQ(Run("expect folder left ${OTHER}\n"), 0) << out.str();
}

TEST_F(PluginPanelTest, CopyMoveMakeAndDeleteGoThroughThePluginUnlessItClaimsTheKey) {
    ASSERT_EQ(Run("probe:panel\n"
                  "mark alpha.txt\nmark beta.txt\ncursor group\n"
                  "f5\n"
                  "expect marked left\n"
                  "tab\n"
                  "expect listing active .. alpha.txt beta.txt new.txt\n"
                  "tab\n"
                  // F6 is the plugin's: nothing is moved.
                  "f6\n"
                  "expect listing left group alpha.txt beta.txt\n"
                  "tab\ncursor new.txt\nf6\ntab\n"
                  "expect listing left group alpha.txt beta.txt new.txt\n"
                  "expect listing right .. alpha.txt beta.txt\n"
                  "f7 made\n"
                  "expect listing left group made alpha.txt beta.txt new.txt\n"
                  "expect cursor made\n"
                  "f7\n"
                  "cursor beta.txt\nf8\n"
                  "expect listing left group made alpha.txt new.txt\n"),
              0)
        << out.str();
    EXPECT_EQ(host.PluginCallCount("GetFilesW"), 1);
    EXPECT_EQ(host.PluginCallCount("PutFilesW"), 1);
    EXPECT_EQ(host.PluginCallCount("MakeDirectoryW"), 2);
    EXPECT_NE(out.str().find("(MakeDirectoryW answered 0: failed)"), std::string::npos);
    EXPECT_EQ(host.PluginCallCount("GetFindDataW"), host.PluginCallCount("FreeFindDataW"));
    const auto calls = PluginCalls();
    EXPECT_NE(
        std::find(calls.begin(), calls.end(), "PutFilesW 1 1 " + (root / "files").string() + " 0"),
        calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "ProcessKeyW 117 0"), calls.end());
    EXPECT_NE(std::find(calls.begin(), calls.end(), "DeleteFilesW 1 0"), calls.end());
}

TEST_F(PluginPanelTest, EditCopiesIntoATemporaryFolderAndAPanelMayCloseItselfInProcessKey) {
    ASSERT_EQ(Run("probe:panel\ncursor alpha.txt\nf4\nexpect edited alpha.txt alpha\n"
                  "cursor group\nf4\n"),
              0)
        << out.str();
    ASSERT_EQ(host.PluginCallCount("GetFilesW"), 1);
    // Enter on a file copies it out too, to run it, and reads the panel again.
    const size_t run = host.PluginCalls().size();
    ASSERT_EQ(Run("cursor beta.txt\nenter\nexpect edited alpha.txt alpha\n"), 0) << out.str();
    const auto calls = PluginCalls(run);
    ASSERT_EQ(calls.size(), 7u);
    EXPECT_EQ(calls[2].substr(0, 14), "GetFilesW 1 0 ");
    EXPECT_EQ(calls[2].substr(calls[2].size() - 2), " 5");
    EXPECT_EQ(calls[3], "GetFindDataW 0");
    EXPECT_EQ(calls[5], "GetOpenPluginInfoW");
    const HostCall& get =
        *std::find_if(host.PluginCalls().begin(), host.PluginCalls().end(),
                      [](const HostCall& c) { return c.function == "GetFilesW"; });
    EXPECT_EQ(get.arguments[4], "8");
    EXPECT_FALSE(fs::exists(get.arguments[3]));

    const size_t before = host.PluginCalls().size();
    ASSERT_EQ(Run("shift+f4\nexpect no plugin left\nexpect folder left ${FILES}\n"), 0)
        << out.str();
    EXPECT_EQ(PluginCalls(before),
              (std::vector<std::string>{"ProcessKeyW 524403 4", "ProcessKeyW 115 4",
                                        "ProcessEventW 3", "ClosePluginW"}));
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(PluginPanelTest, ExpectationsSayWhatTheSideShows) {
    EXPECT_EQ(Run("probe:panel\n"
                  "expect listing left alpha.txt\n"
                  "expect folder left ${FILES}\n"
                  "expect no plugin left\n"
                  "expect cursor right nothing\n"
                  "cursor missing\n"
                  "close\n"
                  "mark ..\n"
                  "f4\n"),
              7);
    EXPECT_NE(out.str().find("lists \"group\" \"alpha.txt\" \"beta.txt\""), std::string::npos)
        << out.str();
    EXPECT_NE(out.str().find("the editor on a file panel"), std::string::npos) << out.str();
}

TEST_F(PluginPanelTest, TheTitleAndCurDirComeFromThePluginAndDotDotGoesUp) {
    ASSERT_EQ(Run("probe:panel\nexpect title left Probe:\nenter\nexpect title left Probe:group\n"),
              0)
        << out.str();
    char16_t dir[8] = {};
    EXPECT_EQ(Control(Handle(0), far::FCTL_GETPANELDIR, 8, dir), 6);
    EXPECT_EQ(std::u16string(dir), u"group");
    const size_t before = host.PluginCalls().size();
    ASSERT_EQ(Run("enter\nexpect plugin left\nexpect cursor group\nexpect title left Probe:\n"), 0)
        << out.str();
    const auto calls = PluginCalls(before);
    EXPECT_NE(std::find(calls.begin(), calls.end(), "SetDirectoryW .. 0"), calls.end());
    EXPECT_EQ(host.PluginCallCount("GetFindDataW"), host.PluginCallCount("GetOpenPluginInfoW"));
}

}  // namespace
}  // namespace farhost
