#include <gtest/gtest.h>

#include "plugin/uMakeDirUI.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

using MakeDirDialog = SettingsTest;

TEST_F(MakeDirDialog, AsksForTheNameStartingFromTheProposedOne) {
    // Items: the frame, the edit, the separator, OK, Cancel. Typing replaces the proposed text,
    // which the host shows selected.
    host.QueueDialogActions("type 1 \"work/src\"\nclick 3");
    String name = u"work";
    ASSERT_TRUE(TMakeDirDialog::AskName(name));
    EXPECT_EQ(name, u"work/src");

    // 76 x 7 on 80 x 25: frame rows 1 to 5 of the dialog, the edit on row 2, buttons on row 4.
    const auto& screen = host.DialogScreens().at(0);
    const int top = 9, left = 2;
    EXPECT_EQ(screen[top + 1].substr(left + 3, 1), u"╔");
    EXPECT_EQ(screen[top + 5].substr(left + 3, 1), u"╚");
    EXPECT_EQ(screen[top + 1].substr(left + 72, 1), u"╗");
    EXPECT_EQ(screen[top + 2].substr(left + 5, 4), u"work");
    EXPECT_NE(screen[top + 4].find(u"{ OK }"), String::npos);
    auto dialog = TFarDialog::New<TMakeDirDialog>();
    const far::FarDialogItem& item = dialog->GetNameEdit()->GetItem();
    EXPECT_EQ(item.Flags & far::DIF_HISTORY, far::DIF_HISTORY);
    EXPECT_EQ(TFarModule::FromHostString(item.Param.History), u"Waymarks_Name");

    host.QueueDialogActions("type 1 \"x\"\nesc");
    name = u"kept";
    EXPECT_FALSE(TMakeDirDialog::AskName(name));
    EXPECT_EQ(name, u"kept");
}

}  // namespace
}  // namespace wm::test
