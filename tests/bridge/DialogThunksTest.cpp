#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "far2l/Host.h"
#include "tests/bridge/FakeFar2l.h"

namespace wm::test {
namespace {

constexpr far::HostText kHistory = u"WaymarksHistory";
constexpr far::LONG_PTR kParam = 0x1234;
constexpr far::LONG_PTR kPluginAnswer = 0x77;
constexpr int32_t kEdit = 1;

// The plugin's dialogs over a fake far2l: a box, an edit line with a history and a button.
class BridgeDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        current_ = this;
        Start(far2l::MakeVersion(2, 6));
    }
    void TearDown() override { current_ = nullptr; }

    void Start(uint32_t version) {
        fake.version = version;
        startup_ = fake.Startup260();
        ASSERT_TRUE(bridge::TakeHostFunctions(&startup_));
        bridge::FillPluginFunctions(plugin, fsf_);
    }

    // Made from texts that die as soon as DialogInit returns.
    far::HANDLE Open() {
        std::vector<std::u16string> texts = {u"Dialog", u"Title \U0001D11E", u"/home/\U0001F600",
                                             u"OK"};
        far::FarDialogItem items[3]{};
        items[0].Type = far::DI_DOUBLEBOX;
        items[0].PtrData = texts[1].c_str();
        items[kEdit].Type = far::DI_EDIT;
        items[kEdit].Flags = far::DIF_HISTORY;
        items[kEdit].Param.History = kHistory;
        items[kEdit].PtrData = texts[2].c_str();
        items[2].Type = far::DI_BUTTON;
        items[2].PtrData = texts[3].c_str();
        const far::HANDLE dialog =
            plugin.DialogInit(0x4D, -1, -1, 40, 8, texts[0].c_str(), items, 3, 0, 0, &Proc, kParam);
        std::fill(texts.begin(), texts.end(), u"overwritten");
        return dialog;
    }

    far::LONG_PTR Send(far::HANDLE dialog, int32_t msg, int32_t param1, const void* param2) {
        return plugin.SendDlgMessage(dialog, msg, param1, reinterpret_cast<far::LONG_PTR>(param2));
    }

    struct Call {
        int32_t msg;
        int32_t param1;
        far::LONG_PTR param2;
        far::FarDialogItem item;  // DN_EDITCHANGE's
        std::u16string text;      // DN_EDITCHANGE's item text, DN_HELP's topic
    };
    std::vector<Call> calls;
    std::function<far::LONG_PTR(far::HANDLE, int32_t, int32_t, far::LONG_PTR)> onCall;

    FakeFar2l fake;
    far::PluginStartupInfo plugin{};

private:
    static far::LONG_PTR Proc(far::HANDLE dialog, int32_t msg, int32_t param1,
                              far::LONG_PTR param2) {
        BridgeDialogs& self = *current_;
        Call call{msg, param1, param2, {}, {}};
        if (msg == far::DN_EDITCHANGE && param2 != 0) {
            call.item = *reinterpret_cast<const far::FarDialogItem*>(param2);
            call.text = call.item.PtrData;
        } else if (msg == far::DN_HELP && param2 != 0) {
            call.text = reinterpret_cast<far::HostText>(param2);
        }
        self.calls.push_back(call);
        return self.onCall ? self.onCall(dialog, msg, param1, param2) : kPluginAnswer;
    }

    static inline BridgeDialogs* current_ = nullptr;
    far2l::PluginStartupInfo<260> startup_{};
    far::FarStandardFunctions fsf_{};
};

TEST_F(BridgeDialogs, TextsLiveUntilDialogFreeAndThePluginGetsItsOwnParam) {
    const far::HANDLE dialog = Open();
    ASSERT_EQ(fake.dialogs.size(), 1u);
    const FakeFar2l::Dialog& host = *fake.dialogs[0];
    const std::vector<std::u32string> expected = {U"Dialog", U"Title \U0001D11E",
                                                  U"/home/\U0001F600", U"WaymarksHistory", U"OK"};
    EXPECT_EQ(FakeFar2l::TextsOf(host), expected);

    // DM_SETDLGDATA is the plugin's own: far2l keeps finding the bridge's record.
    EXPECT_EQ(Send(dialog, far::DM_SETDLGDATA, 0, reinterpret_cast<const void*>(0x99)), 0);
    EXPECT_EQ(Send(dialog, far::DM_GETDLGDATA, 0, nullptr), 0x99);

    fake.runAnswer = 2;
    EXPECT_EQ(plugin.DialogRun(dialog), 2);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].msg, far::DN_INITDIALOG);
    EXPECT_EQ(calls[0].param2, kParam);
    EXPECT_EQ(fake.initAnswers, std::vector<far::LONG_PTR>{kPluginAnswer});

    plugin.DialogFree(dialog);
    EXPECT_TRUE(host.freed);
    EXPECT_EQ(host.textsAtFree, expected);
}

TEST_F(BridgeDialogs, TextMessagesCountAndCopyUtf16Units) {
    const far::HANDLE dialog = Open();
    fake.dialogs[0]->items[kEdit].PtrData = U"ab\U0001F600";
    EXPECT_EQ(Send(dialog, far::DM_GETTEXTLENGTH, kEdit, nullptr), 4);
    EXPECT_EQ(Send(dialog, far::DM_GETTEXT, kEdit, nullptr), 4);
    far::FarDialogItemData noBuffer{0, nullptr};
    EXPECT_EQ(Send(dialog, far::DM_GETTEXT, kEdit, &noBuffer), 4);

    char16_t buffer[6] = {u'#', u'#', u'#', u'#', u'#', u'#'};
    far::FarDialogItemData shortData{2, buffer};
    EXPECT_EQ(Send(dialog, far::DM_GETTEXT, kEdit, &shortData), 2);
    EXPECT_EQ(shortData.PtrLength, 2u);
    EXPECT_EQ(std::u16string(buffer), u"ab");
    EXPECT_EQ(buffer[3], u'#');
    far::FarDialogItemData whole{4, buffer};
    EXPECT_EQ(Send(dialog, far::DM_GETTEXT, kEdit, &whole), 4);
    EXPECT_EQ(std::u16string(buffer), u"ab\U0001F600");
    EXPECT_EQ(buffer[5], u'#');

    {
        std::u16string text = u"new \U0001D11E and more";
        far::FarDialogItemData data{6, text.data()};
        Send(dialog, far::DM_SETTEXT, kEdit, &data);
    }
    EXPECT_EQ(T32(fake.dialogs[0]->items[kEdit].PtrData), U"new \U0001D11E");
    EXPECT_EQ(Send(dialog, far::DM_GETTEXTLENGTH, kEdit, nullptr), 6);

    // A length of 0 takes the text to its terminator; a length needs none.
    far::FarDialogItemData whole0{0, const_cast<char16_t*>(u"whole \U0001F600")};
    Send(dialog, far::DM_SETTEXT, kEdit, &whole0);
    EXPECT_EQ(T32(fake.dialogs[0]->items[kEdit].PtrData), U"whole \U0001F600");
    const auto unterminated = std::make_unique<char16_t[]>(3);
    std::memcpy(unterminated.get(), u"abc", 3 * sizeof(char16_t));
    far::FarDialogItemData counted{3, unterminated.get()};
    Send(dialog, far::DM_SETTEXT, kEdit, &counted);
    EXPECT_EQ(T32(fake.dialogs[0]->items[kEdit].PtrData), U"abc");
    plugin.DialogFree(dialog);
}

TEST_F(BridgeDialogs, AHistoryKeepsThePluginsPointerThroughItemRoundTrips) {
    const far::HANDLE dialog = Open();
    const far2l::HostText32 hostHistory = fake.dialogs[0]->items[kEdit].Param.History;
    const auto get = [&] {
        const far::LONG_PTR size = Send(dialog, far::DM_GETDLGITEM, kEdit, nullptr);
        EXPECT_GE(size, static_cast<far::LONG_PTR>(sizeof(far::FarDialogItem)));
        auto block = std::make_shared<std::vector<unsigned char>>(static_cast<size_t>(size));
        EXPECT_EQ(Send(dialog, far::DM_GETDLGITEM, kEdit, block->data()), size);
        return block;
    };
    auto block = get();
    far::FarDialogItem item;
    std::memcpy(&item, block->data(), sizeof item);
    EXPECT_EQ(item.Type, far::DI_EDIT);
    EXPECT_EQ(item.Flags, far::DIF_HISTORY);
    EXPECT_EQ(item.Param.History, kHistory);
    EXPECT_EQ(std::u16string(item.PtrData), u"/home/\U0001F600");

    {
        const std::u16string text = u"typed \U0001D11E";
        item.PtrData = text.c_str();
        EXPECT_EQ(Send(dialog, far::DM_SETDLGITEM, kEdit, &item), 1);
    }
    const far2l::FarDialogItem& host = fake.dialogs[0]->items[kEdit];
    EXPECT_EQ(host.Param.History, hostHistory);
    EXPECT_EQ(T32(host.PtrData), U"typed \U0001D11E");
    block = get();
    std::memcpy(&item, block->data(), sizeof item);
    EXPECT_EQ(item.Param.History, kHistory);
    EXPECT_EQ(std::u16string(item.PtrData), u"typed \U0001D11E");

    // Another history is far2l's from then on, in its own texts.
    const std::u16string other = u"OtherHistory";
    item.Param.History = other.c_str();
    Send(dialog, far::DM_SETDLGITEM, kEdit, &item);
    EXPECT_EQ(T32(fake.dialogs[0]->items[kEdit].Param.History), U"OtherHistory");
    block = get();
    std::memcpy(&item, block->data(), sizeof item);
    EXPECT_EQ(item.Param.History, other.c_str());
    plugin.DialogFree(dialog);
}

TEST_F(BridgeDialogs, KeysReachThePluginInFar2sNumbering) {
    const far::HANDLE dialog = Open();
    EXPECT_EQ(fake.Notify(dialog, far::DN_KEY, kEdit, 0x04200070), kPluginAnswer);  // Ctrl+F1
    EXPECT_EQ(fake.Notify(dialog, far::DN_KEY, kEdit, 'a'), kPluginAnswer);
    EXPECT_EQ(fake.Notify(dialog, far::DN_HOTKEY, 2, 0x08000078), kPluginAnswer);  // Alt+X
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].param2, 0x01010070);
    EXPECT_EQ(calls[1].param2, 'a');
    EXPECT_EQ(calls[2].msg, far::DN_HOTKEY);
    EXPECT_EQ(calls[2].param2, 0x02000078);

    // Keys FAR 2 has no code for, and notifications the bridge does not convert, are far2l's.
    EXPECT_EQ(fake.Notify(dialog, far::DN_KEY, kEdit, 0x1F600), FakeFar2l::kDefAnswer);
    EXPECT_EQ(fake.Notify(dialog, far::DN_KEY, kEdit, 0x01000031), FakeFar2l::kDefAnswer);
    EXPECT_EQ(fake.Notify(dialog, 0x100F, 0, 5), FakeFar2l::kDefAnswer);
    EXPECT_EQ(calls.size(), 3u);
    ASSERT_EQ(fake.defCalls.size(), 3u);
    EXPECT_EQ(fake.defCalls[0].msg, far::DN_KEY);
    EXPECT_EQ(fake.defCalls[0].param1, kEdit);
    EXPECT_EQ(fake.defCalls[0].param2, 0x1F600);
    EXPECT_EQ(fake.defCalls[1].param2, 0x01000031);
    EXPECT_EQ(fake.defCalls[2].msg, 0x100F);
    plugin.DialogFree(dialog);
}

TEST_F(BridgeDialogs, HostsBefore26SendFar2sCodes) {
    Start(far2l::MakeVersion(2, 5));
    const far::HANDLE dialog = Open();
    EXPECT_EQ(fake.Notify(dialog, far::DN_KEY, kEdit, 0x01010070), kPluginAnswer);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].param2, 0x01010070);
    plugin.DialogFree(dialog);
}

TEST_F(BridgeDialogs, ChangedItemsAreFar2sAndDefDlgProcGetsFar2lsBack) {
    const far::HANDLE dialog = Open();
    far2l::FarDialogItem changed = fake.dialogs[0]->items[kEdit];
    changed.PtrData = U"typed \U0001F600";
    onCall = [&](far::HANDLE to, int32_t msg, int32_t param1, far::LONG_PTR param2) {
        return plugin.DefDlgProc(to, msg, param1, param2);
    };
    const auto hostItem = reinterpret_cast<far::LONG_PTR>(&changed);
    EXPECT_EQ(fake.Notify(dialog, far::DN_EDITCHANGE, kEdit, hostItem), FakeFar2l::kDefAnswer);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_NE(calls[0].param2, hostItem);
    EXPECT_EQ(calls[0].item.Type, far::DI_EDIT);
    EXPECT_EQ(calls[0].item.Param.History, kHistory);
    EXPECT_EQ(calls[0].text, u"typed \U0001F600");
    ASSERT_EQ(fake.defCalls.size(), 1u);
    EXPECT_EQ(fake.defCalls[0].msg, far::DN_EDITCHANGE);
    EXPECT_EQ(fake.defCalls[0].param1, kEdit);
    EXPECT_EQ(fake.defCalls[0].param2, hostItem);

    // Outside a notification, DefDlgProc passes what it is given.
    onCall = nullptr;
    plugin.DefDlgProc(dialog, far::DN_EDITCHANGE, kEdit, calls[0].param2);
    EXPECT_EQ(fake.defCalls.back().param2, calls[0].param2);
    plugin.DialogFree(dialog);
}

TEST_F(BridgeDialogs, HelpTopicsCrossBothWays) {
    const far::HANDLE dialog = Open();
    const char32_t topic[] = U"Topic\U0001D11E";
    const auto asked = reinterpret_cast<far::LONG_PTR>(topic);
    onCall = [](far::HANDLE, int32_t, int32_t, far::LONG_PTR param2) { return param2; };
    EXPECT_EQ(fake.Notify(dialog, far::DN_HELP, kEdit, asked), asked);
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].text, u"Topic\U0001D11E");

    onCall = [](far::HANDLE, int32_t, int32_t, far::LONG_PTR) {
        static const std::u16string other = u"Other\U0001F600";
        return reinterpret_cast<far::LONG_PTR>(other.c_str());
    };
    const auto answer =
        reinterpret_cast<far2l::HostText32>(fake.Notify(dialog, far::DN_HELP, kEdit, asked));
    onCall = [](far::HANDLE, int32_t, int32_t, far::LONG_PTR) { return far::LONG_PTR{0}; };
    EXPECT_EQ(fake.Notify(dialog, far::DN_HELP, kEdit, asked), 0);
    EXPECT_EQ(T32(answer), U"Other\U0001F600");  // still there while the dialog lives
    plugin.DialogFree(dialog);
}

}  // namespace
}  // namespace wm::test
