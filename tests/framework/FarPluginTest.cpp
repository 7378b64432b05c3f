#include <gtest/gtest.h>

#include <cstring>

#include "framework/FarPanel.h"
#include "framework/FarPlugin.h"
#include "framework/FarScreen.h"
#include "platform/MessageBox.h"
#include "tests/framework/TestPlugin.h"

// The exports are linked into this test program.
extern "C" {
void SetStartupInfoW(const far::PluginStartupInfo* info);
void GetPluginInfoW(far::PluginInfo* info);
far::HANDLE OpenPluginW(int32_t openFrom, far::INT_PTR item);
int32_t ConfigureW(int32_t itemNumber);
void ExitFARW();
}

namespace wm::test {
namespace {

TEST(PluginRegistry, InstanceAndRegisterRefuseMisuse) {
    ASSERT_FALSE(TFarPlugin::IsRegistered());
    try {
        TFarPlugin::Instance();
        FAIL() << "Instance without a plugin must raise";
    } catch (const EFarPluginError& e) {
        EXPECT_EQ(e.Message(), u"The plugin has not been initialized yet");
    }
    EXPECT_THROW(TFarModule::GetMessageText(0), EFarPluginError);

    TFarPlugin::Register(std::make_unique<TestPlugin>());
    try {
        TFarPlugin::Register(std::make_unique<TestPlugin>());
        FAIL() << "a second Register must raise";
    } catch (const EFarPluginError& e) {
        EXPECT_EQ(e.Message(), u"The plugin has already been initialized");
    }
    EXPECT_NE(TFarPlugin::Unregister(), nullptr);
    EXPECT_FALSE(TFarPlugin::IsRegistered());
}

struct BoxRecord {
    static inline int count = 0;
    static inline String caption, text;
    static inline uint32_t style = 0;
    static void Sink(StringView c, StringView t, uint32_t s) {
        ++count;
        caption = c;
        text = t;
        style = s;
    }
};

TEST(ExceptionReport, UsesTheMessageBoxWhileNoPluginIsRegistered) {
    farhost::Host host;
    platform::ScopedMessageBoxSink sink(&BoxRecord::Sink);
    BoxRecord::count = 0;

    EXPECT_EQ(OpenPluginW(far::OPEN_PLUGINSMENU, 0), far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(ConfigureW(0), 0);

    EXPECT_EQ(BoxRecord::count, 2);
    EXPECT_EQ(BoxRecord::caption, u"Plugin error");
    EXPECT_EQ(BoxRecord::style, 0x2010u);
    EXPECT_EQ(BoxRecord::text,
              u"Exception occurred in ConfigureW\r\nEFarPluginError\r\n"
              u"The plugin has not been initialized yet");
    EXPECT_TRUE(host.Messages().empty());
}

TEST(ExceptionReport, UsesTheMessageBoxBeforeTheHostHandsItsTablesOver) {
    platform::ScopedMessageBoxSink sink(&BoxRecord::Sink);
    BoxRecord::count = 0;
    auto owned = std::make_unique<TestPlugin>();
    TestPlugin& plugin = *owned;
    TFarPlugin::Register(std::move(owned));
    // Every host call of the framework on empty slots: nothing shown, the zeroed answers.
    plugin.open = [](int, far::INT_PTR) -> far::HANDLE {
        int selected = 7;
        EXPECT_FALSE(TFarModule::ShowMenu(0, u"t", u"", {u"a"}, selected));
        EXPECT_EQ(selected, 7);
        EXPECT_EQ(TFarModule::ShowError(u"x"), -1);
        EXPECT_FALSE(TFarPanel::SetPanelDirectory(far::PANEL_ACTIVE, u"/", NullGuid, u"", u""));
        TFarScreen::RedrawAll();
        EXPECT_EQ(TFarScreen::GetWidth(), 80);
        throw EFarError(u"too early");
    };

    EXPECT_EQ(OpenPluginW(far::OPEN_PLUGINSMENU, 0), far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(BoxRecord::count, 1);
    EXPECT_EQ(BoxRecord::text, u"Exception occurred in OpenW\r\nEFarError\r\ntoo early");
    TFarPlugin::Unregister();
}

using ExportTest = FrameworkTest;

TEST_F(ExportTest, SetStartupInfoKeepsItsOwnCopyOfBothTables) {
    far::PluginStartupInfo info = host.StartupInfo();
    far::FarStandardFunctions functions = *info.FSF;
    info.FSF = &functions;
    SetStartupInfoW(&info);
    // The host may reuse its records once the call returns.
    functions = {};
    info = {};

    ASSERT_NE(plugin->StartupInfo().FSF, &functions);
    EXPECT_EQ(plugin->StartupInfo().FSF->StructSize, 456);
    EXPECT_EQ(TFarModule::FitText(u"C:\\Program Files\\Far\\Plugins\\x", 20, u' '),
              u"C:\\...\\Far\\Plugins\\x");
    EXPECT_EQ(host.CallCount("TruncPathStr"), 1);
    EXPECT_EQ(plugin->logLines,
              (std::vector<String>{u"SetStartupInfo START", u"SetStartupInfo END"}));
}

TEST_F(ExportTest, PluginInfoIsBuiltOnceAndCopied) {
    plugin->flags = 0x40;
    plugin->pluginItems = {{u"One", NullGuid}, {u"Two", NullGuid}};
    plugin->configItems = {{u"Setup", NullGuid}};
    plugin->prefix = u"wm";

    far::PluginInfo first{}, second{};
    GetPluginInfoW(&first);
    GetPluginInfoW(&second);

    EXPECT_EQ(plugin->getMenusCalls, 1);
    EXPECT_EQ(first.StructSize, 80);
    EXPECT_EQ(first.Flags, 0x40u);
    ASSERT_EQ(first.PluginMenuStringsNumber, 2);
    EXPECT_EQ(TFarModule::FromHostString(first.PluginMenuStrings[1]), u"Two");
    ASSERT_EQ(first.PluginConfigStringsNumber, 1);
    EXPECT_EQ(TFarModule::FromHostString(first.PluginConfigStrings[0]), u"Setup");
    EXPECT_EQ(first.DiskMenuStrings, nullptr);
    EXPECT_EQ(first.DiskMenuStringsNumber, 0);
    EXPECT_EQ(TFarModule::FromHostString(first.CommandPrefix), u"wm");
    EXPECT_EQ(first.Reserved0, nullptr);
    EXPECT_EQ(std::memcmp(&first, &second, sizeof first), 0);
}

TEST_F(ExportTest, AnEmptyPrefixStaysNull) {
    far::PluginInfo info{};
    GetPluginInfoW(&info);
    EXPECT_EQ(info.CommandPrefix, nullptr);
    EXPECT_EQ(info.PluginMenuStrings, nullptr);
}

TEST_F(ExportTest, ReportsAnExceptionWithOneLinePerMessageLine) {
    plugin->open = [](int, far::INT_PTR) -> far::HANDLE {
        throw EFarError(u"first\r\nsecond\nthird");
    };
    EXPECT_EQ(OpenPluginW(far::OPEN_PLUGINSMENU, 0), far::INVALID_HANDLE_VALUE);

    ASSERT_EQ(host.Messages().size(), 1u);
    const auto& message = host.Messages()[0];
    EXPECT_EQ(message.flags, far::FMSG_WARNING);
    EXPECT_EQ(message.buttons, 1);
    EXPECT_EQ(message.lines,
              (std::vector<String>{u"Test title", u"Exception occurred in function OpenW",
                                   u"EFarError", u"first", u"second", u"third", u"&OK"}));
    EXPECT_EQ(
        plugin->logLines,
        (std::vector<String>{u"OpenW START", u"OpenW: Exception EFarError: first\r\nsecond\nthird",
                             u"OpenW END"}));
}

TEST_F(ExportTest, FallsBackToFiveLinesWhenTheReportCannotBeBuilt) {
    plugin->failOkTextOnce = true;
    plugin->open = [](int, far::INT_PTR) -> far::HANDLE { throw EFarError(u"a\nb"); };
    OpenPluginW(far::OPEN_PLUGINSMENU, 0);

    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{u"Test title", u"Exception occurred in function OpenW",
                                   u"EFarError", u"a\nb", u"&OK"}));
}

TEST_F(ExportTest, AbortIsSilentAndForeignExceptionsAreReported) {
    plugin->open = [](int, far::INT_PTR) -> far::HANDLE { throw EAbort(); };
    EXPECT_EQ(OpenPluginW(far::OPEN_PLUGINSMENU, 0), far::INVALID_HANDLE_VALUE);
    EXPECT_TRUE(host.Messages().empty());

    plugin->open = [](int, far::INT_PTR) -> far::HANDLE { throw std::runtime_error("boom"); };
    OpenPluginW(far::OPEN_PLUGINSMENU, 0);
    plugin->open = [](int, far::INT_PTR) -> far::HANDLE { throw 42; };
    OpenPluginW(far::OPEN_PLUGINSMENU, 0);

    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].lines[2], u"EExternalException");
    EXPECT_EQ(host.Messages()[0].lines[3], u"boom");
    EXPECT_EQ(host.Messages()[1].lines[3], u"Unknown exception");
}

TEST_F(ExportTest, OpenPassesTheItemAtFullPointerWidth) {
    static const far::HostChar command[] = {u'x', 0};
    far::INT_PTR seen = 0;
    int from = -1;
    plugin->open = [&](int openFrom, far::INT_PTR item) -> far::HANDLE {
        from = openFrom;
        seen = item;
        return reinterpret_cast<far::HANDLE>(intptr_t{0x1234});
    };
    const auto item = reinterpret_cast<far::INT_PTR>(command);
    EXPECT_EQ(OpenPluginW(far::OPEN_COMMANDLINE, item), reinterpret_cast<far::HANDLE>(0x1234));
    EXPECT_EQ(from, far::OPEN_COMMANDLINE);
    EXPECT_EQ(seen, item);
    EXPECT_EQ(ConfigureW(3), 0);
    ExitFARW();
    EXPECT_EQ(plugin->logLines.back(), u"ExitFARW END");
}

TEST(NextLine, SplitsAtEveryKindOfLineBreak) {
    const struct {
        const char16_t* text;
        std::vector<String> lines;
    } cases[] = {
        {u"", {}},
        {u"one", {u"one"}},
        {u"a\r\nb", {u"a", u"b"}},
        {u"a\rb\nc", {u"a", u"b", u"c"}},
        {u"a\n", {u"a"}},
        {u"a\n\nb", {u"a", u"", u"b"}},
        {u"a\n\r\nb", {u"a", u"", u"b"}},
        {u"a\r\rb", {u"a", u"", u"b"}},
        {u"\n", {u""}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << ToUtf8(c.text);
}

}  // namespace
}  // namespace wm::test
