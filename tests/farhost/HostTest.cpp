#include "farhost/engine/Host.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <set>

#include "core/Exceptions.h"
#include "tests/support/HostText.h"

namespace farhost {
namespace {

using wm::String;

using wm::test::H;
using wm::test::S;

// Every pointer-sized slot of a table in [first, last], except those at `skip`.
template <class Table>
std::vector<size_t> EmptySlots(const Table& table, size_t first, size_t last,
                               std::set<size_t> skip = {}) {
    std::vector<size_t> empty;
    for (size_t offset = first; offset <= last; offset += sizeof(void*)) {
        void* slot = nullptr;
        std::memcpy(&slot, reinterpret_cast<const char*>(&table) + offset, sizeof slot);
        if (!slot && !skip.count(offset)) empty.push_back(offset);
    }
    return empty;
}

TEST(Host, StartupInfoFillsEverySlot) {
    Host host;
    const far::PluginStartupInfo& info = host.StartupInfo();
    EXPECT_EQ(info.StructSize, 264);
    EXPECT_EQ(S(info.ModuleName), u"");
    EXPECT_NE(info.ModuleNumber, 0);
    EXPECT_EQ(S(info.RootKey), u"Software\\Far2\\Plugins");
    EXPECT_EQ(EmptySlots(info, 32, 256, {224}), std::vector<size_t>{});
    ASSERT_NE(info.FSF, nullptr);
    EXPECT_EQ(info.FSF->StructSize, 456);
    EXPECT_EQ(EmptySlots(*info.FSF, 8, 80), std::vector<size_t>{});
    EXPECT_EQ(EmptySlots(*info.FSF, 152, 448), std::vector<size_t>{});
}

TEST(Host, OnlyOneHostAtATime) {
    {
        Host first;
        EXPECT_EQ(Host::Current(), &first);
        EXPECT_THROW(Host second, wm::Exception);
        EXPECT_EQ(Host::Current(), &first);
    }
    EXPECT_EQ(Host::Current(), nullptr);
    Host::Options options;
    options.rootKey = u"Software\\Other";
    Host again(options);
    EXPECT_EQ(S(again.StartupInfo().RootKey), u"Software\\Other");
}

TEST(Host, HostFunctionsOutlivingTheHostAnswerFailure) {
    far::PluginStartupInfo info;
    {
        Host host;
        info = host.StartupInfo();
    }
    const far::HostText items[] = {H(u"Title"), H(u"Ok")};
    EXPECT_EQ(info.Message(1, 0, nullptr, items, 2, 1), -1);
    EXPECT_EQ(info.GetMsg(1, 0), nullptr);
    info.Viewer();
}

TEST(Host, MessagesAreRecordedAndAnsweredInOrder) {
    Host host;
    const auto& info = host.StartupInfo();
    host.QueueMessageAnswer(1);
    host.QueueMessageAnswer(0);
    const far::HostText items[] = {H(u"Title"), H(u"Line"), H(u"Yes"), H(u"No")};

    EXPECT_EQ(info.Message(info.ModuleNumber, far::FMSG_WARNING, H(u"Topic"), items, 4, 2), 1);
    EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, items, 4, 2), 0);
    EXPECT_EQ(info.Message(info.ModuleNumber, 0, nullptr, items, 1, 0), -1);

    ASSERT_EQ(host.Messages().size(), 3u);
    const MessageCall& first = host.Messages()[0];
    EXPECT_EQ(first.flags, far::FMSG_WARNING);
    EXPECT_EQ(first.helpTopic, u"Topic");
    EXPECT_EQ(first.lines, (std::vector<String>{u"Title", u"Line", u"Yes", u"No"}));
    EXPECT_EQ(first.buttons, 2);
    EXPECT_EQ(first.answer, 1);
    EXPECT_EQ(host.Messages()[2].answer, -1);
    EXPECT_EQ(host.Calls().at(0),
              (HostCall{"Message", {std::to_string(info.ModuleNumber), "1", "Topic", "4", "2"}}));
}

TEST(Host, MenusAreRecordedWithSeparatorsAndAnswered) {
    Host host;
    const auto& info = host.StartupInfo();
    const far::FarMenuItem items[] = {
        {H(u"First"), 1, 0, 0},
        {H(u""), 0, 0, 1},
        {H(u"Second"), 0, 1, 0},
    };
    host.QueueMenuAnswer(2);
    int32_t breakCode = 7;
    EXPECT_EQ(info.Menu(info.ModuleNumber, -1, -1, 0, far::FMENU_WRAPMODE, H(u"Title"),
                        H(u"Bottom"), H(u"Help"), nullptr, &breakCode, items, 3),
              2);
    EXPECT_EQ(breakCode, -1);
    EXPECT_EQ(info.Menu(info.ModuleNumber, 5, 6, 10, 0, nullptr, nullptr, nullptr, nullptr, nullptr,
                        items, 1),
              -1);

    ASSERT_EQ(host.Menus().size(), 2u);
    const MenuCall& menu = host.Menus()[0];
    EXPECT_EQ(menu.title + menu.bottom + menu.helpTopic, u"TitleBottomHelp");
    EXPECT_EQ(menu.flags, far::FMENU_WRAPMODE);
    const std::vector<MenuItemCall> expected = {
        {u"First", false, true, false}, {u"", true, false, false}, {u"Second", false, false, true}};
    EXPECT_EQ(menu.items, expected);
    EXPECT_EQ(host.Menus()[1].x, 5);
    EXPECT_EQ(host.Menus()[1].answer, -1);
    EXPECT_EQ(host.CallCount("Menu"), 2);
}

TEST(Host, GetMsgServesTheLanguageFileWithStablePointers) {
    Host host;
    const auto& info = host.StartupInfo();
    EXPECT_EQ(info.GetMsg(info.ModuleNumber, 0), nullptr);

    host.SetLanguageFile(LanguageFile::Parse("\"zero\"\n\"one\"\n"));
    const far::HostText zero = info.GetMsg(info.ModuleNumber, 0);
    ASSERT_NE(zero, nullptr);
    EXPECT_EQ(S(zero), u"zero");
    EXPECT_EQ(S(info.GetMsg(info.ModuleNumber, 1)), u"one");
    EXPECT_EQ(info.GetMsg(info.ModuleNumber, 0), zero);
    EXPECT_EQ(info.GetMsg(info.ModuleNumber, 2), nullptr);
    EXPECT_EQ(info.GetMsg(info.ModuleNumber, -1), nullptr);

    host.SetLanguageFile(LanguageFile::Parse("\"null\"\n"));
    EXPECT_EQ(S(info.GetMsg(info.ModuleNumber, 0)), u"null");
    EXPECT_EQ(S(zero), u"zero");
}

TEST(Host, AdvControlReportsTheConsole) {
    Host::Options options;
    options.consoleRect = far::SMALL_RECT{0, 0, 119, 39};
    Host host(options);
    const auto& info = host.StartupInfo();

    far::SMALL_RECT rect{};
    EXPECT_EQ(info.AdvControl(info.ModuleNumber, far::ACTL_GETFARRECT, &rect), 1);
    EXPECT_EQ(rect.Right, 119);
    EXPECT_EQ(rect.Bottom, 39);

    host.SetConsoleRect(std::nullopt);
    EXPECT_EQ(info.AdvControl(info.ModuleNumber, far::ACTL_GETFARRECT, &rect), 0);
    EXPECT_EQ(info.AdvControl(info.ModuleNumber, far::ACTL_REDRAWALL, nullptr), 1);
    EXPECT_EQ(info.AdvControl(info.ModuleNumber, 5, nullptr), 0);
    EXPECT_EQ(host.CallCount("AdvControl"), 4);
}

TEST(Host, ScreensTruncPathAndUnusedSlotsAreRecorded) {
    Host host;
    const auto& info = host.StartupInfo();

    const far::HANDLE screen1 = info.SaveScreen(0, 0, -1, -1);
    const far::HANDLE screen2 = info.SaveScreen(1, 2, 3, 4);
    EXPECT_NE(screen1, nullptr);
    EXPECT_NE(screen1, screen2);
    info.RestoreScreen(screen2);

    far::HostChar path[] = {'C', ':', '\\', 'a', 'b', 'c', '\\', 'd', 'e', 'f', 'g', 'h', 0};
    EXPECT_EQ(info.FSF->TruncPathStr(path, 8), path);
    EXPECT_EQ(S(path), u"C:\\...gh");
    EXPECT_EQ(info.FSF->TruncPathStr(nullptr, 8), nullptr);

    info.Viewer();
    info.FSF->LStricmp();
    info.RegExpControl();

    const std::vector<HostCall> expected = {
        {"SaveScreen", {"0", "0", "-1", "-1"}},
        {"SaveScreen", {"1", "2", "3", "4"}},
        {"RestoreScreen", {std::to_string(reinterpret_cast<intptr_t>(screen2))}},
        {"TruncPathStr", {"C:\\abc\\defgh", "8"}},
        {"TruncPathStr", {"", "8"}},
        {"Viewer", {}},
        {"LStricmp", {}},
        {"RegExpControl", {}},
    };
    EXPECT_EQ(host.Calls(), expected);
    EXPECT_TRUE(host.Errors().empty());

    host.ClearRecords();
    EXPECT_TRUE(host.Calls().empty());
}

TEST(Host, APanelMovedByThePluginIsSeenOnlyAfterARedraw) {
    const auto root = std::filesystem::temp_directory_path() / "wm-host-redraw";
    std::filesystem::create_directories(root / "there");
    Host host;
    const auto& info = host.StartupInfo();
    const String before = host.Panels().Active().ShownDirectory();
    const String there = (root / "there").u16string();
    ASSERT_EQ(info.Control(far::PANEL_ACTIVE, far::FCTL_SETPANELDIR, 0,
                           reinterpret_cast<far::LONG_PTR>(H(there.c_str()))),
              1);
    EXPECT_EQ(host.Panels().Active().Directory(), there);
    EXPECT_EQ(host.Panels().Active().ShownDirectory(), before);
    EXPECT_EQ(host.Panels().Draw().find(wm::ToUtf8(there)), std::string::npos);
    info.Control(far::PANEL_ACTIVE, far::FCTL_REDRAWPANEL, 0, 0);
    EXPECT_EQ(host.Panels().Active().ShownDirectory(), there);
    std::filesystem::remove_all(root);
}

TEST(Host, APanelFolderThatIsMissingGetsTheHostsOwnBox) {
    const auto root = std::filesystem::temp_directory_path() / "wm-host-setdir";
    std::filesystem::create_directories(root / "here");
    Host host;
    const auto& info = host.StartupInfo();
    const String missing = (root / "gone" / "deeper").u16string();
    const String here = (root / "here").u16string();
    EXPECT_EQ(info.Control(far::PANEL_ACTIVE, far::FCTL_SETPANELDIR, 0,
                           reinterpret_cast<far::LONG_PTR>(H(missing.c_str()))),
              0);
    EXPECT_EQ(info.Control(far::PANEL_ACTIVE, far::FCTL_SETPANELDIR, 0,
                           reinterpret_cast<far::LONG_PTR>(H(here.c_str()))),
              1);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_TRUE(host.Messages()[0].fromHost);
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{u"Error", u"Path not found", missing, u"OK"}));
    std::filesystem::remove_all(root);
}

TEST(Host, LoadPluginReportsAMissingModule) {
    Host host;
    try {
        host.LoadPlugin("no-such-folder/NoSuchPlugin.module");
        FAIL() << "no exception";
    } catch (const wm::Exception& error) {
        EXPECT_NE(error.Message().find(u"NoSuchPlugin.module"), String::npos);
    }
    EXPECT_EQ(host.Exports().SetStartupInfoW, nullptr);
    EXPECT_THROW(host.StartPlugin(), wm::Exception);
}

}  // namespace
}  // namespace farhost
