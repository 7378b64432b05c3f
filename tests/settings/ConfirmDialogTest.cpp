#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/Locale.h"
#include "plugin/uConfirmUI.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

namespace fs = std::filesystem;

// Items: frame, question, existing, incoming, inner separator, check box, frame separator,
// Overwrite, Skip, Cancel.
using ConfirmDialog = SettingsTest;

String Msg(int n) {
    return u"Message " + FromUtf8(std::to_string(n));
}

// The row of the screen that holds `text`, or -1.
int RowOf(const std::vector<String>& screen, StringView text) {
    for (size_t row = 0; row < screen.size(); ++row) {
        if (screen[row].find(text) != String::npos) return static_cast<int>(row);
    }
    return -1;
}

TEST_F(ConfirmDialog, TheWaymarkFormShowsBothLinesAndGivesTheFiveAnswers) {
    TWaymarkInfo existing, incoming;
    existing.Name = incoming.Name = u"a/x";
    existing.Directory = u"/srv/old";
    incoming.Description = u"the new one";
    const struct {
        const char* actions;
        int answer;
    } cases[] = {{"click 7", 0},          {"click 5\nclick 7", 1}, {"click 8", 2},
                 {"click 5\nclick 8", 3}, {"click 9", 4},          {"esc", 4}};
    for (const auto& c : cases) {
        host.QueueDialogActions(c.actions);
        EXPECT_EQ(TConfirmOverwriteWaymarkDialog::Ask(existing, incoming), c.answer) << c.actions;
    }
    // 11 rows, centred on 25: frame 1 to 9, question 2, the two lines 3 and 4, check box 6,
    // buttons 8.
    const auto& screen = host.DialogScreens().at(0);
    const int top = 7;
    EXPECT_EQ(screen[top + 1].substr(5, 1), u"╔");
    EXPECT_EQ(screen[top + 9].substr(5, 1), u"╚");
    EXPECT_EQ(RowOf(screen, Msg(32)), top + 2);
    EXPECT_EQ(RowOf(screen, Msg(26) + u" a/x: /srv/old"), top + 3);
    EXPECT_EQ(RowOf(screen, Msg(27) + u" a/x: the new one"), top + 4);
    EXPECT_EQ(RowOf(screen, u"[ ] " + Msg(28)), top + 6);
    EXPECT_EQ(RowOf(screen, u"{ " + Msg(29) + u" } [ " + Msg(30) + u" ] [ Cancel ]"), top + 8);
}

TEST_F(ConfirmDialog, TheFileFormDescribesWhatIsOnDiskInOneLineFittedToTheLabel) {
    const fs::path root = fs::temp_directory_path() / "wm-confirm";
    fs::remove_all(root);
    fs::create_directories(root / "folder");
    std::ofstream(root / "file.wmk") << std::string(1234567, 'x');

    const auto file =
        TConfirmOverwriteFileDialog::DescribeFile(27, (root / "file.wmk").u16string());
    EXPECT_EQ(file.Caption, Msg(27) + u" ");
    const String size =
        u" 1" + platform::ThousandsSeparator() + u"234" + platform::ThousandsSeparator() + u"567 ";
    EXPECT_EQ(file.Details.substr(0, size.size()), size);
    EXPECT_GT(file.Details.size(), size.size());  // and the time
    const auto folder =
        TConfirmOverwriteFileDialog::DescribeFile(27, (root / "folder").u16string());
    EXPECT_EQ(folder.Details.substr(0, Msg(33).size() + 2), u" " + Msg(33) + u" ");
    const auto missing = TConfirmOverwriteFileDialog::DescribeFile(27, (root / "gone").u16string());
    EXPECT_EQ(missing.Details, u" " + Msg(35));

    // The file on disk is the existing one, with no incoming line: 10 rows, the file on row 3; a
    // short path is padded so that the details end at the label's right edge (column 5 to 70 on
    // 80 columns).
    host.QueueDialogActions("esc");
    EXPECT_EQ(TConfirmOverwriteFileDialog::Ask((root / "gone").u16string()), 4);
    const auto& screen = host.DialogScreens().at(0);
    const int top = 7;
    EXPECT_EQ(screen[top + 1].substr(5, 1), u"╔");
    EXPECT_EQ(screen[top + 8].substr(5, 1), u"╚");
    EXPECT_EQ(RowOf(screen, Msg(26) + u" " + (root / "gone").u16string()), top + 3);
    EXPECT_EQ(screen[top + 3].substr(7 + 66 - 11, 11), u" " + Msg(35));

    // A long path is shortened by the host, never wrapped.
    const String longPath = (root / String(120, u'd') / "file.wmk").u16string();
    host.QueueDialogActions("esc");
    TConfirmOverwriteFileDialog::Ask(longPath);
    const auto& shortened = host.DialogScreens().at(1);
    EXPECT_NE(shortened[top + 3].find(u"..."), String::npos);
    EXPECT_EQ(RowOf(shortened, Msg(35)), top + 3);
    fs::remove_all(root);
}

TEST_F(ConfirmDialog, ALabelTooNarrowForTheTextKeepsCaptionAndDetails) {
    host.SetConsoleRect(far::SMALL_RECT{0, 0, 29, 24});
    const TConfirmOverwriteDialog::TItemDescription narrow{u" details", u"middle", u"Caption "};
    host.QueueDialogActions("esc");
    TConfirmOverwriteDialog::Ask(u"?", nullptr, &narrow);
    EXPECT_GE(RowOf(host.DialogScreens().at(0), u"Caption  details"), 0);
}

}  // namespace
}  // namespace wm::test
