#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "far2l/Host.h"
#include "tests/bridge/FakeFar2l.h"

namespace wm::test {
namespace {

// The plugin's function table over a fake far2l, as SetStartupInfoW makes it.
class BridgeHost : public ::testing::Test {
protected:
    void SetUp() override {
        startup_ = fake.Startup260();
        ASSERT_TRUE(bridge::TakeHostFunctions(&startup_));
        bridge::FillPluginFunctions(plugin, fsf);
    }

    FakeFar2l fake;
    far::PluginStartupInfo plugin{};
    far::FarStandardFunctions fsf{};

private:
    far2l::PluginStartupInfo<260> startup_{};
};

// A text in a heap buffer of exactly its size, so that a write past it is caught.
std::unique_ptr<char16_t[]> Buffer(std::u16string_view text) {
    auto buffer = std::make_unique<char16_t[]>(text.size() + 1);
    std::memcpy(buffer.get(), text.data(), text.size() * sizeof(char16_t));
    buffer[text.size()] = u'\0';
    return buffer;
}

TEST_F(BridgeHost, EachKnownLayoutIsTakenFromItsOwnSlots) {
    EXPECT_EQ(bridge::HostFunctions().StartupSize, 260);
    EXPECT_EQ(bridge::HostFunctions().ModuleNumber, 0x4D);
    EXPECT_EQ(bridge::HostFunctions().Version, far2l::MakeVersion(2, 6));
    EXPECT_EQ(fake.versionQueries, 1);

    // 2.7's table: AdvControlAsync sits where 2.6 had InputBox, and the dialog functions move on.
    fake.version = far2l::MakeVersion(2, 7);
    const auto startup = fake.Startup276();
    ASSERT_TRUE(bridge::TakeHostFunctions(&startup));
    EXPECT_EQ(bridge::HostFunctions().StartupSize, 276);
    EXPECT_EQ(bridge::HostFunctions().Version, far2l::MakeVersion(2, 7));
    far::FarDialogItem item{};
    item.Type = far::DI_TEXT;
    item.PtrData = u"text";
    const far::HANDLE dialog =
        plugin.DialogInit(0, -1, -1, 20, 5, nullptr, &item, 1, 0, 0, nullptr, 0);
    ASSERT_EQ(fake.dialogs.size(), 1u);
    EXPECT_EQ(dialog, fake.dialogs[0].get());
    plugin.DialogFree(dialog);

    // A size no far2l hands over is refused, and what was taken stays.
    auto unknown = fake.Startup276();
    unknown.StructSize = 268;
    EXPECT_FALSE(bridge::TakeHostFunctions(&unknown));
    EXPECT_EQ(bridge::HostFunctions().StartupSize, 276);
}

TEST_F(BridgeHost, MessagesAreConvertedOnceAndAgainWhenFar2lsTextChanges) {
    constexpr int32_t kId = 1001;
    fake.messages[kId] = U"Way\U0001D11Emarks";
    const far::HostText first = plugin.GetMsg(0x4D, kId);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(std::u16string(first), u"Way\U0001D11Emarks");
    EXPECT_EQ(plugin.GetMsg(0x4D, kId), first);

    fake.messages[kId] = U"Вехи";  // another language, maybe in the same buffer
    const far::HostText second = plugin.GetMsg(0x4D, kId);
    EXPECT_EQ(std::u16string(second), u"Вехи");
    EXPECT_EQ(std::u16string(first), u"Way\U0001D11Emarks");  // still readable
    EXPECT_EQ(plugin.GetMsg(0x4D, kId + 1), nullptr);
}

TEST_F(BridgeHost, MessageAndMenuGiveFar2lUtf32Texts) {
    fake.answer = 1;
    const far::HostText lines[] = {u"Title", u"line \U0001F600", u""};
    EXPECT_EQ(plugin.Message(0x4D, far::FMSG_WARNING, u"Topic\U0001D11E", lines, 3, 1), 1);
    EXPECT_EQ(
        plugin.Message(0x4D, far::FMSG_ALLINONE, nullptr,
                       reinterpret_cast<const far::HostText*>(u"Title\nline \U0001F600"), 0, 0),
        1);
    ASSERT_EQ(fake.messageCalls.size(), 2u);
    const auto& separate = fake.messageCalls[0];
    EXPECT_EQ(separate.flags, far::FMSG_WARNING);
    EXPECT_EQ(separate.help, U"Topic\U0001D11E");
    EXPECT_EQ(separate.count, 3);
    EXPECT_EQ(separate.texts, (std::vector<std::u32string>{U"Title", U"line \U0001F600", U""}));
    const auto& allInOne = fake.messageCalls[1];
    EXPECT_TRUE(allInOne.helpIsNull);
    EXPECT_EQ(allInOne.texts, std::vector<std::u32string>{U"Title\nline \U0001F600"});

    fake.answer = 2;
    const far::FarMenuItem items[] = {
        {u"first", 1, 0, 0}, {u"", 0, 0, 1}, {u"\U0001F600", 0, 1, 0}};
    const int32_t breakKeys[] = {0x72, 0};
    int32_t breakCode = -1;
    EXPECT_EQ(plugin.Menu(0x4D, -1, -1, 0, far::FMENU_WRAPMODE, u"Title \U0001D11E", nullptr,
                          u"Menu", breakKeys, &breakCode, items, 3),
              2);
    EXPECT_EQ(breakCode, 2);
    ASSERT_EQ(fake.menuCalls.size(), 1u);
    const auto& menu = fake.menuCalls[0];
    EXPECT_EQ(menu.flags, far::FMENU_WRAPMODE);
    EXPECT_EQ(menu.title, U"Title \U0001D11E");
    EXPECT_EQ(menu.help, U"Menu");
    EXPECT_EQ(menu.texts, (std::vector<std::u32string>{U"first", U"", U"\U0001F600"}));
    ASSERT_EQ(menu.menuItems.size(), 3u);
    EXPECT_EQ(menu.menuItems[0].Selected, 1);
    EXPECT_EQ(menu.menuItems[0].Checked, 0);
    EXPECT_EQ(menu.menuItems[1].Separator, 1);
    EXPECT_EQ(menu.menuItems[2].Selected, 0);
    EXPECT_EQ(menu.menuItems[2].Checked, 1);
}

TEST_F(BridgeHost, PanelFolderAnswersFar2sLengthAndCopiesWhatFits) {
    fake.panelDir = U"/home/\U0001D11E/x";  // 10 units in UTF-16
    EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, far::FCTL_GETPANELDIR, 0, 0), 11);

    std::vector<char16_t> whole(11, u'#');
    EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, far::FCTL_GETPANELDIR, 11,
                             reinterpret_cast<far::LONG_PTR>(whole.data())),
              11);
    EXPECT_EQ(std::u16string(whole.data()), u"/home/\U0001D11E/x");

    std::vector<char16_t> part(8, u'#');
    EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, far::FCTL_GETPANELDIR, 5,
                             reinterpret_cast<far::LONG_PTR>(part.data())),
              11);
    EXPECT_EQ(std::u16string(part.data()), u"/hom");
    EXPECT_EQ(std::u16string(part.data() + 5, 3), u"###");

    fake.panelDir = U"";
    EXPECT_EQ(plugin.Control(far::PANEL_PASSIVE, far::FCTL_GETPANELDIR, 8,
                             reinterpret_cast<far::LONG_PTR>(part.data())),
              1);
    EXPECT_EQ(part[0], u'\0');
}

// FAR 2's record has ShortNames between ViewMode and SortMode.
TEST_F(BridgeHost, PanelInfoIsFar2sRecord) {
    far2l::PanelInfo& host = fake.panelInfo;
    host.PanelRect = {0, 1, 39, 20};
    host.CurrentItem = 5;
    host.ViewMode = 4;
    host.SortMode = 7;
    host.Flags = 0x120;
    far::PanelInfo info;
    std::memset(&info, 0xCD, sizeof info);
    EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, far::FCTL_GETPANELINFO, 0,
                             reinterpret_cast<far::LONG_PTR>(&info)),
              1);
    EXPECT_EQ(info.PanelRect.bottom, 20);
    EXPECT_EQ(info.CurrentItem, 5);
    EXPECT_EQ(info.ViewMode, 4);
    EXPECT_EQ(info.ShortNames, 0);
    EXPECT_EQ(info.SortMode, 7);
    EXPECT_EQ(info.Flags, 0x120u);
    EXPECT_EQ(info.Reserved, 0u);
}

TEST_F(BridgeHost, PanelItemsComeAsFar2sBlockAfterASizeQuery) {
    fake.itemName = U"\U0001F600 mark";
    fake.itemDescription = U"/home/\U0001D11E";
    fake.itemOwner = U"";
    fake.panelItem.FindData.dwFileAttributes = far::FILE_ATTRIBUTE_DIRECTORY;
    fake.panelItem.FindData.nFileSize = 77;
    fake.panelItem.UserData = 0x5555;
    fake.panelItem.Flags = far::PPIF_SELECTED;
    for (const int32_t command : {far::FCTL_GETPANELITEM, far::FCTL_GETSELECTEDPANELITEM}) {
        const int32_t size = plugin.Control(far::PANEL_ACTIVE, command, 3, 0);
        ASSERT_GE(size, static_cast<int32_t>(sizeof(far::PluginPanelItem)));
        auto block = std::make_unique<unsigned char[]>(static_cast<size_t>(size));
        EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, command, 3,
                                 reinterpret_cast<far::LONG_PTR>(block.get())),
                  size);
        far::PluginPanelItem item;
        std::memcpy(&item, block.get(), sizeof item);
        EXPECT_EQ(std::u16string(item.FindData.lpwszFileName), u"\U0001F600 mark");
        EXPECT_EQ(std::u16string(item.Description), u"/home/\U0001D11E");
        EXPECT_EQ(std::u16string(item.Owner), u"");
        EXPECT_EQ(item.FindData.dwFileAttributes, far::FILE_ATTRIBUTE_DIRECTORY);
        EXPECT_EQ(item.FindData.nFileSize, 77u);
        EXPECT_EQ(item.UserData, 0x5555u);
        EXPECT_EQ(item.Flags, far::PPIF_SELECTED);
    }
    for (const auto& call : fake.controlCalls) EXPECT_EQ(call.param1, 3);
}

TEST_F(BridgeHost, OnlyCommandsWithKnownRecordsReachFar2l) {
    EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, far::FCTL_SETPANELDIR, 0,
                             reinterpret_cast<far::LONG_PTR>(u"/tmp/\U0001F600")),
              7);
    far::PanelRedrawInfo redraw{4, 2};
    EXPECT_EQ(plugin.Control(far::PANEL_PASSIVE, far::FCTL_REDRAWPANEL, 0,
                             reinterpret_cast<far::LONG_PTR>(&redraw)),
              7);
    EXPECT_EQ(plugin.Control(far::PANEL_ACTIVE, far::FCTL_CLOSEPLUGIN, 0, 0), 7);
    ASSERT_EQ(fake.controlCalls.size(), 3u);
    EXPECT_EQ(fake.controlCalls[0].text, U"/tmp/\U0001F600");
    EXPECT_EQ(fake.controlCalls[1].param2, reinterpret_cast<far::LONG_PTR>(&redraw));
    EXPECT_EQ(fake.controlCalls[2].param2, 0);

    int value = 0;
    for (const int32_t command : {4, 5, 6, 24, 26, 99}) {
        EXPECT_EQ(
            plugin.Control(far::PANEL_ACTIVE, command, 1, reinterpret_cast<far::LONG_PTR>(&value)),
            0);
    }
    EXPECT_EQ(fake.controlCalls.size(), 3u);

    far::SMALL_RECT rect{};
    EXPECT_EQ(plugin.AdvControl(0x4D, far::ACTL_GETFARRECT, &rect), 1);
    EXPECT_EQ(plugin.AdvControl(0x4D, 0, nullptr), 0);  // the version: far2l's is no FAR 2's
    EXPECT_EQ(fake.advCommands, std::vector<int32_t>{far::ACTL_GETFARRECT});
}

TEST_F(BridgeHost, TruncatedPathsAreFar2lsAndNeverLongerThanThePluginsText) {
    // far2l keeps the last cells after an ellipsis.
    fake.truncate = [](char32_t* text, int32_t cells) {
        std::u32string path(text);
        if (path.size() <= static_cast<size_t>(cells)) return;
        path = U"\u2026" + path.substr(path.size() - static_cast<size_t>(cells - 1));
        std::memcpy(text, path.c_str(), (path.size() + 1) * sizeof(char32_t));
    };
    auto path = Buffer(u"/very/long/\U0001D11E\U0001D11Eab");
    EXPECT_EQ(fsf.TruncPathStr(path.get(), 5), path.get());
    EXPECT_EQ(std::u16string(path.get()), u"\u2026\U0001D11E\U0001D11Eab");
    EXPECT_EQ(fake.truncateCells, std::vector<int32_t>{5});

    // A host that answers wider characters: the answer is cut to the plugin's text, and a pair
    // that does not fit is left out whole.
    fake.truncate = [](char32_t* text, int32_t) {
        for (; *text != U'\0'; ++text) *text = U'\U0001D11E';
    };
    auto narrow = Buffer(u"abcde");
    fsf.TruncPathStr(narrow.get(), 80);
    EXPECT_EQ(std::u16string(narrow.get()), u"\U0001D11E\U0001D11E");
    auto even = Buffer(u"abcd");
    fsf.TruncPathStr(even.get(), 80);
    EXPECT_EQ(std::u16string(even.get()), u"\U0001D11E\U0001D11E");

    EXPECT_EQ(fsf.TruncPathStr(nullptr, 5), nullptr);
}

}  // namespace
}  // namespace wm::test
