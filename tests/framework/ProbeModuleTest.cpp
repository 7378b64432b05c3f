// The framework observed through the real exports of a built module.
#include <gtest/gtest.h>

#include "farhost/engine/Host.h"
#include "host/FarKeysW.h"
#include "tests/support/Paths.h"

namespace wm::test {
namespace {

far::INT_PTR Command(const String& text) {
    return reinterpret_cast<far::INT_PTR>(text.c_str());
}

TEST(ProbeModule, StandardFunctionsAreTheModulesOwnCopy) {
    farhost::Host host;
    host.LoadPlugin(BuiltFile(PROBE_MODULE_PATH));
    far::PluginStartupInfo info = host.StartupInfo();
    far::FarStandardFunctions functions = *info.FSF;
    info.FSF = &functions;
    host.Exports().SetStartupInfoW(&info);
    functions = {};

    const String command = u"fit:20:C:\\Program Files\\Far\\Plugins\\x";
    EXPECT_EQ(host.Exports().OpenPluginW(far::OPEN_COMMANDLINE, Command(command)),
              far::INVALID_HANDLE_VALUE);
    ASSERT_EQ(host.Messages().size(), 1u);
    EXPECT_EQ(host.Messages()[0].lines[1], u"C:\\...\\Far\\Plugins\\x");
    EXPECT_EQ(host.CallCount("TruncPathStr"), 1);
}

TEST(ProbeModule, ReportsExceptionsInThreePlusNPlusOneLines) {
    farhost::Host host;
    host.LoadPlugin(BuiltFile(PROBE_MODULE_PATH));
    host.StartPlugin();

    const String raise = u"raise:line one|line two";
    EXPECT_EQ(host.Exports().OpenPluginW(far::OPEN_COMMANDLINE, Command(raise)),
              far::INVALID_HANDLE_VALUE);
    const String foreign = u"foreign";
    host.Exports().OpenPluginW(far::OPEN_COMMANDLINE, Command(foreign));
    const String abort = u"abort";
    host.Exports().OpenPluginW(far::OPEN_COMMANDLINE, Command(abort));

    ASSERT_EQ(host.Messages().size(), 2u);
    EXPECT_EQ(host.Messages()[0].lines,
              (std::vector<String>{u"Probe", u"Exception occurred in function OpenW", u"EFarError",
                                   u"line one", u"line two", u"&OK"}));
    EXPECT_EQ(host.Messages()[0].buttons, 1);
    EXPECT_EQ(host.Messages()[0].flags, far::FMSG_WARNING);
    EXPECT_EQ(host.Messages()[1].lines[3], u"foreign failure");
}

TEST(ProbeModule, AFaultInsideAnExportIsReportedAndTheHostGoesOn) {
#ifndef _WIN32
    GTEST_SKIP() << "processor faults are caught in the Windows build";
#else
    farhost::Host host;
    host.LoadPlugin(BuiltFile(PROBE_MODULE_PATH));
    host.StartPlugin();
    const String fault = u"fault", panel = u"panel";
    EXPECT_EQ(host.Exports().OpenPluginW(far::OPEN_COMMANDLINE, Command(fault)),
              far::INVALID_HANDLE_VALUE);
    const far::HANDLE opened = host.Exports().OpenPluginW(far::OPEN_COMMANDLINE, Command(panel));
    ASSERT_NE(opened, far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(host.Exports().ProcessKeyW(opened, 0x7B, 0), 0);
    EXPECT_EQ(host.Exports().ProcessKeyW(opened, far::VK_F6, 0), 1);  // still alive
    host.Exports().ClosePluginW(opened);
    EXPECT_EQ(host.Exports().ConfigureW(7), 0);

    ASSERT_EQ(host.Messages().size(), 3u);
    EXPECT_EQ(
        host.Messages()[0].lines,
        (std::vector<String>{u"Probe", u"Exception occurred in function OpenW",
                             u"EExternalException", u"Access violation (code C0000005)", u"&OK"}));
    EXPECT_EQ(host.Messages()[1].lines[1], u"Exception occurred in function ProcessKeyW");
    EXPECT_EQ(host.Messages()[2].lines[1], u"Exception occurred in function ConfigureW");
#endif
}

TEST(ProbeModule, PluginInfoComesFromTheMenus) {
    farhost::Host host;
    host.LoadPlugin(BuiltFile(PROBE_MODULE_PATH));
    host.StartPlugin();
    far::PluginInfo first{}, second{};
    host.Exports().GetPluginInfoW(&first);
    host.Exports().GetPluginInfoW(&second);
    EXPECT_EQ(first.Flags, 0x20u);
    ASSERT_EQ(first.PluginMenuStringsNumber, 1);
    EXPECT_EQ(first.PluginMenuStrings, second.PluginMenuStrings);
    EXPECT_EQ(first.PluginMenuStrings[0], second.PluginMenuStrings[0]);
    EXPECT_EQ(first.CommandPrefix, second.CommandPrefix);
}

TEST(ProbeModule, WithoutAPluginObjectNothingReachesTheHost) {
    farhost::Host host;
    host.LoadPlugin(BuiltFile(BARE_MODULE_PATH));
    host.StartPlugin();
    far::PluginInfo info{};
    host.Exports().GetPluginInfoW(&info);
    EXPECT_EQ(info.StructSize, 0);
    EXPECT_EQ(host.Exports().OpenPluginW(far::OPEN_PLUGINSMENU, 0), far::INVALID_HANDLE_VALUE);
    EXPECT_EQ(host.Exports().ConfigureW(0), 0);
    host.Exports().ExitFARW();
    // Each report went to the last-resort message box instead.
    EXPECT_TRUE(host.Messages().empty());
    EXPECT_EQ(host.CallCount("GetMsg"), 0);
}

}  // namespace
}  // namespace wm::test
