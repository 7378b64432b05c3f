#include <gtest/gtest.h>

#include "plugin/uFunctions.h"
#include "plugin/uOptions.h"
#include "plugin/uOptionsUI.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

constexpr const char16_t* kSwitchNames[] = {u"SaveLastPanelDir",         u"UseSubstEngines",
                                            u"UseSubstEngine_Known",     u"UseSubstEngines_Env",
                                            u"UseSubstEngines_BatchEnv", u"UseSubstEngines_Reg",
                                            u"AllowPathSuffix",          u"AllowPluginCalls",
                                            u"AllowFuzzySearch",         u"AllowSearchOverDir"};

using OptionsDialog = SettingsTest;

TEST_F(OptionsDialog, ShowsTheTenSwitchesAndSavesAllElevenOptionsOnOk) {
    TOptions stored;
    stored.LastPanelDir = u"Proj/alpha";
    stored.UseSubstEngines_Env = true;
    ASSERT_TRUE(stored.Save());

    // Box 1 is item 1: switch on the master switch, switch off the environment engine.
    host.QueueDialogActions("click 2\nclick 4\nshow\nclick 12");
    ASSERT_TRUE(TOptionsDialog::ConfigureOptions());

    // 76 x 16 on the 80 x 25 console: the frame three cells and one row inside the dialog.
    ASSERT_EQ(host.DialogScreens().size(), 2u);
    const auto& before = host.DialogScreens()[0];
    const auto& after = host.DialogScreens()[1];
    const int top = 4, left = 2;  // centred
    EXPECT_EQ(before[top + 1].substr(left + 3, 1), u"╔");
    EXPECT_EQ(before[top + 1].substr(left + 72, 1), u"╗");
    EXPECT_EQ(before[top + 14].substr(left + 3, 1), u"╚");
    const int indents[] = {0, 0, 2, 2, 2, 2, 0, 0, 0, 0};
    for (int i = 0; i < 10; ++i) {
        const String mark = i == 3 || i == 8 ? u"[x]" : u"[ ]";  // stored, and a default
        const String line = mark + u" Message " + FromUtf8(std::to_string(40 + i));
        EXPECT_EQ(before[top + 2 + i].substr(left + 5 + indents[i], line.size()), line) << i;
    }
    EXPECT_NE(before[top + 13].find(u"{ OK }"), String::npos);
    EXPECT_EQ(after[top + 3].substr(left + 5, 3), u"[x]");
    EXPECT_EQ(after[top + 5].substr(left + 7, 3), u"[ ]");

    TOptions saved;
    EXPECT_TRUE(saved.UseSubstEngines);
    EXPECT_FALSE(saved.UseSubstEngines_Env);
    EXPECT_TRUE(saved.AllowFuzzySearch);
    EXPECT_EQ(saved.LastPanelDir, u"Proj/alpha");
    for (const char16_t* name : kSwitchNames) {
        EXPECT_EQ(ReadRaw(OptionsPath(), name).first, platform::RegistryType::Qword)
            << ToUtf8(name);
    }
    EXPECT_EQ(ReadRaw(OptionsPath(), u"LastPanelDir").first, platform::RegistryType::String);
}

TEST_F(OptionsDialog, CancelOrEscWritesNothing) {
    for (const char* close : {"click 13", "esc"}) {
        host.QueueDialogActions(std::string("click 1\n") + close);
        EXPECT_FALSE(TOptionsDialog::ConfigureOptions()) << close;
        for (const char16_t* name : kSwitchNames) {
            EXPECT_EQ(ReadRaw(OptionsPath(), name).first, platform::RegistryType::None) << close;
        }
    }
}

TEST_F(OptionsDialog, AFailedSaveIsReportedAndNotTakenAsDone) {
    RefusingRegistry refusing;
    refusing.faults.Fail(platform::RegistryCall::WriteValue);
    host.QueueDialogActions("click 12");
    EXPECT_THROW(TOptionsDialog::ConfigureOptions(), EWaymarkError);
}

}  // namespace
}  // namespace wm::test
