#include <gtest/gtest.h>

#include "plugin/uEditUI.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

// Items: the frame, then label and edit for name (1, 2), description (3, 4), directory (5, 6),
// plugin identifier (7, 8), parameter (9, 10), host file (11, 12), the separator, OK, Cancel.
constexpr int kOk = 14;
const Guid kSome{0x01234567, 0x89AB, 0xCDEF, {0x01, 0x23, 0x45, 0x67, 0x89, 0xAB, 0xCD, 0xEF}};

using EditDialog = SettingsTest;

TEST_F(EditDialog, ShowsSixLabelledEditsAndGivesBackWhatWasEntered) {
    auto dialog = TFarDialog::New<TEditWaymarkDialog>();
    dialog->Name = u"alpha";
    dialog->Directory = u"/srv/alpha";
    dialog->Description = u"Alpha";
    host.QueueDialogActions("type 2 \"beta\"\ntype 6 \"/srv/beta\"\ntype 10 \"p\"\nclick 14");
    ASSERT_TRUE(dialog->Run());
    EXPECT_EQ(dialog->Name, u"beta");
    EXPECT_EQ(dialog->Directory, u"/srv/beta");
    EXPECT_EQ(dialog->Description, u"Alpha");
    EXPECT_EQ(dialog->Param, u"p");
    EXPECT_EQ(dialog->PluginID, u"");

    // 76 x 18 on 80 columns: labels and edits alternate on rows 2 to 13 from column 5; the name
    // edit is 10 cells wide, the identifier 40, the others 66.
    const auto& screen = host.DialogScreens().at(0);
    const int top = 3, left = 2;
    EXPECT_EQ(screen[top + 1].substr(left + 3, 1), u"╔");
    EXPECT_EQ(screen[top + 16].substr(left + 3, 1), u"╚");
    EXPECT_EQ(screen[top + 1].substr(left + 72, 1), u"╗");
    for (int row = 0; row < 6; ++row) {
        const String label = u"Message " + FromUtf8(std::to_string(14 + row));
        EXPECT_EQ(screen[top + 2 + 2 * row].substr(left + 5, label.size()), label) << row;
    }
    EXPECT_EQ(screen[top + 3].substr(left + 5, 5), u"alpha");
    EXPECT_EQ(screen[top + 9].substr(left + 5, 38).find(u'{'), String::npos);  // no identifier
    EXPECT_NE(screen[top + 15].find(u"{ OK }"), String::npos);
    const auto& items = host.FindDialog(dialog->GetHandle())->Items();
    EXPECT_EQ(items[2].record.X2 - items[2].record.X1 + 1, 10);
    EXPECT_EQ(items[8].record.X2 - items[8].record.X1 + 1, 40);
    EXPECT_EQ(items[6].record.X2 - items[6].record.X1 + 1, 66);
}

TEST_F(EditDialog, ANameWithASeparatorDisablesOk) {
    auto dialog = TFarDialog::New<TEditWaymarkDialog>();
    host.QueueDialogActions(
        "set 2 \"a/b\"\nclick 14\nset 2 \"a\\\\b\"\nclick 14\nset 2 \"ab\"\nclick 14");
    ASSERT_TRUE(dialog->Run());
    EXPECT_EQ(dialog->Name, u"ab");
    // The two clicks on the disabled button were refused.
    EXPECT_EQ(host.Errors().size(), 2u);
}

TEST_F(EditDialog, ThePluginIdentifierIsTextWithAHistoryAndNothingTypedIsLost) {
    auto dialog = TFarDialog::New<TEditWaymarkDialog>();
    dialog->PluginID = GuidToString(kSome);
    host.QueueDialogActions("click 14");
    ASSERT_TRUE(dialog->Run());
    EXPECT_EQ(dialog->TypedPluginID(), kSome);
    // A history of its own, no mask: the host would read the one where the other is kept.
    const auto& item = host.FindDialog(dialog->GetHandle())->Items()[8];
    EXPECT_EQ(item.parameter, u"Waymarks_PluginID");
    EXPECT_EQ(item.record.Flags & (far::DIF_HISTORY | far::DIF_MASKEDIT), far::DIF_HISTORY);

    for (const char* blank : {"", "  ", "{        -    -    -    -            }"}) {
        host.QueueDialogActions("set 8 \"" + std::string(blank) + "\"\nclick 14");
        ASSERT_TRUE(dialog->Run());
        EXPECT_EQ(dialog->TypedPluginID(), NullGuid) << blank;
    }

    // Part of an identifier is given back as typed, for the caller to refuse.
    host.QueueDialogActions("type 2 \"new\"\nset 8 \" {0123-\"\nclick 14");
    ASSERT_TRUE(dialog->Run());
    EXPECT_EQ(dialog->Name, u"new");
    EXPECT_EQ(dialog->PluginID, u"{0123-");
    EXPECT_EQ(dialog->TypedPluginID(), std::nullopt);
}

}  // namespace
}  // namespace wm::test
