#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>

#include "farhost/files/FileOperations.h"
#include "farhost/files/FileViewer.h"
#include "farhost/session/CommandHistory.h"
#include "farhost/session/Session.h"

namespace farhost {
namespace {

namespace fs = std::filesystem;

fs::path FreshFolder() {
    std::random_device random;
    const fs::path root = fs::temp_directory_path() / ("farhost-files-" + std::to_string(random()));
    fs::create_directories(root / "left");
    fs::create_directories(root / "right");
    return root;
}

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << text;
}

std::string Read(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Two file panels on left/ and right/ of a fresh folder, the left one active, driven by the
// script's commands.
class FileKeysTest : public ::testing::Test {
protected:
    FileKeysTest() { session.SetVariable("ROOT", root.string()); }
    ~FileKeysTest() override {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
    static Host::Options At(const fs::path& folder) {
        Host::Options options;
        options.panelDirectory = folder.u16string();
        return options;
    }
    // Runs the lines after reading both panels again; the number of failed lines.
    int Run(const std::string& script) {
        host.Panels().Left().Refresh();
        host.Panels().Right().Refresh();
        std::istringstream lines(script);
        return session.Run(lines, false);
    }
    // The host's boxes shown so far, each as its lines joined by '|'.
    std::vector<std::string> Boxes() const {
        std::vector<std::string> boxes;
        for (const auto& message : host.Messages()) {
            std::string text;
            for (const auto& line : message.lines)
                text += (text.empty() ? "" : "|") + wm::ToUtf8(line);
            boxes.push_back(text);
        }
        return boxes;
    }

    fs::path root = FreshFolder();
    Host host{At(root / "left")};
    std::ostringstream out;
    std::istringstream in;
    Session session{host, out, in, Session::Mode::Script};
    fs::path left = root / "left";
    fs::path right = root / "right";
};

TEST_F(FileKeysTest, CopyTakesTheChosenItemsWithTheirFoldersToTheOtherPanel) {
    Write(left / "a.txt", "A");
    Write(left / "dir" / "sub" / "b.txt", "B");
    Write(left / "stays.txt", "S");
    ASSERT_EQ(Run("tab\ncd ${ROOT}/right\ntab\n"
                  "mark a.txt\nmark dir\n"
                  "dialog key Enter\nf5\n"
                  "expect listing right .. dir a.txt\n"
                  "expect marked left\n"
                  "expect cursor right dir\n"),
              0)
        << out.str();
    EXPECT_EQ(Read(right / "dir" / "sub" / "b.txt"), "B");
    EXPECT_EQ(Read(left / "a.txt"), "A");
    EXPECT_FALSE(fs::exists(right / "stays.txt"));
    // The dialog was the host's own, drawn by the dialog engine, showing where the copy goes.
    ASSERT_FALSE(host.DialogScreens().empty());
    std::string screen;
    for (const auto& row : host.DialogScreens().back()) screen += wm::ToUtf8(row) + "\n";
    EXPECT_NE(screen.find("Copy 2 items to:"), std::string::npos) << screen;
    EXPECT_NE(screen.find(right.string()), std::string::npos) << screen;
    EXPECT_NE(screen.find("[ Cancel ]"), std::string::npos) << screen;

    // Esc in the dialog copies nothing; a new name in its edit line copies under that name,
    // relative to the panel's folder.
    ASSERT_EQ(Run("cursor stays.txt\ndialog esc\nf5\n"
                  "dialog set 2 \"copy.txt\"\ndialog key Enter\nf5\n"),
              0)
        << out.str();
    EXPECT_FALSE(fs::exists(right / "stays.txt"));
    EXPECT_EQ(Read(left / "copy.txt"), "S");
}

TEST_F(FileKeysTest, AnExistingTargetIsOverwrittenSkippedOrEndsTheMove) {
    Write(left / "a.txt", "new A");
    Write(left / "b.txt", "new B");
    Write(right / "a.txt", "old A");
    Write(right / "b.txt", "old B");
    // Skip a.txt, overwrite b.txt: only b.txt moves.
    ASSERT_EQ(Run("tab\ncd ${ROOT}/right\ntab\nmark a.txt\nmark b.txt\n"
                  "answer message 1\nanswer message 0\ndialog key Enter\nf6\n"),
              0)
        << out.str();
    EXPECT_EQ(Read(right / "a.txt"), "old A");
    EXPECT_EQ(Read(left / "a.txt"), "new A");
    EXPECT_EQ(Read(right / "b.txt"), "new B");
    EXPECT_FALSE(fs::exists(left / "b.txt"));
    const auto boxes = Boxes();
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes[0], "Warning|File already exists|" + (right / "a.txt").string() +
                            "|Overwrite|Skip|Cancel");
    // Cancel ends the operation: nothing after it is asked or moved.
    Write(left / "b.txt", "newer B");
    const size_t asked = host.Messages().size();
    ASSERT_EQ(Run("mark a.txt\nmark b.txt\nanswer message 2\ndialog key Enter\nf6\n"), 0);
    EXPECT_EQ(host.Messages().size(), asked + 1);
    EXPECT_EQ(Read(left / "b.txt"), "newer B");
    EXPECT_EQ(Read(right / "b.txt"), "new B");
}

TEST_F(FileKeysTest, ErrorsAreToldAndTheOtherItemsGoOn) {
    Write(left / "gone.txt", "G");
    Write(left / "ok.txt", "K");
    Write(left / "dir" / "x.txt", "X");
    // Both panels on the same folder: copying onto itself is refused, nothing is truncated.
    ASSERT_EQ(Run("cursor ok.txt\ndialog key Enter\nf5\n"), 0);
    EXPECT_EQ(Read(left / "ok.txt"), "K");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0], "Error|Cannot copy|" + (left / "ok.txt").string() +
                              "|the source and the target are the same|OK");
    // A folder moved into itself stays where it is.
    ASSERT_EQ(Run("cursor dir\ndialog set 2 \"dir/inner\"\ndialog key Enter\nf6\n"), 0);
    EXPECT_TRUE(fs::exists(left / "dir" / "x.txt"));
    EXPECT_FALSE(fs::exists(left / "dir" / "inner"));
    EXPECT_NE(Boxes().back().find("a folder cannot go into itself"), std::string::npos);
    // A source that went after the panel was read: told, and the next item still moves.
    ASSERT_EQ(Run("tab\ncd ${ROOT}/right\ntab\nmark gone.txt\nmark ok.txt\n"), 0);
    fs::remove(left / "gone.txt");
    ASSERT_TRUE(session.Execute("dialog key Enter") && session.Execute("f6"));
    EXPECT_EQ(Read(right / "ok.txt"), "K");
    EXPECT_FALSE(fs::exists(left / "ok.txt"));
    EXPECT_EQ(Boxes().back(),
              "Error|Cannot move|" + (left / "gone.txt").string() + "|it does not exist|OK");
}

TEST_F(FileKeysTest, MakeFolderPutsTheCursorOnItAndRefusesBadNames) {
    Write(left / "taken", "");
    ASSERT_EQ(Run("dialog key Enter\nf7 fresh\nexpect cursor fresh\n"
                  "dialog set 2 \"  spaced  \"\ndialog key Enter\nf7\nexpect cursor spaced\n"
                  "dialog key Enter\nf7 taken\n"
                  "dialog key Enter\nf7 a:b\n"
                  "dialog esc\nf7 never\n"),
              0)
        << out.str();
    EXPECT_TRUE(fs::is_directory(left / "fresh"));
    EXPECT_TRUE(fs::is_directory(left / "spaced"));
    EXPECT_FALSE(fs::exists(left / "never"));
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0],
              "Error|Cannot create the folder|taken|A file or folder of this name exists|OK");
    EXPECT_NE(boxes[1].find("cannot hold"), std::string::npos) << boxes[1];

    for (const char16_t* name : {u"", u"  ", u".", u"..", u"a/b", u"a\\b", u"tab\t", u"end."})
        EXPECT_TRUE(FolderNameProblem(left, name).has_value()) << wm::ToUtf8(name);
    EXPECT_FALSE(FolderNameProblem(left, u"Ünïcode name").has_value());
}

TEST_F(FileKeysTest, DeleteAsksAndAsksAgainForAFolderWithItems) {
    Write(left / "a.txt", "A");
    Write(left / "b.txt", "B");
    Write(left / "full" / "deep" / "x.txt", "X");
    fs::create_directory(left / "empty");
    // Cancelled: nothing goes.
    ASSERT_EQ(Run("cursor a.txt\nanswer message 1\nf8\n"), 0);
    EXPECT_TRUE(fs::exists(left / "a.txt"));
    // A file, then the cursor stays in its place.
    ASSERT_EQ(Run("cursor a.txt\nanswer message 0\nf8\nexpect cursor b.txt\n"), 0) << out.str();
    EXPECT_FALSE(fs::exists(left / "a.txt"));
    // An empty folder needs no second question; a full one is skipped, then deleted.
    ASSERT_EQ(Run("cursor empty\nanswer message 0\nf8\n"
                  "cursor full\nanswer message 0\nanswer message 1\nf8\n"),
              0);
    EXPECT_FALSE(fs::exists(left / "empty"));
    EXPECT_TRUE(fs::exists(left / "full" / "deep" / "x.txt"));
    ASSERT_EQ(Run("cursor full\nanswer message 0\nanswer message 0\nf8\n"
                  "expect listing left .. b.txt\n"),
              0)
        << out.str();
    const auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 7u);
    EXPECT_EQ(boxes[0], "Delete|Do you wish to delete the file|a.txt|Delete|Cancel");
    EXPECT_EQ(boxes[2], "Delete|Do you wish to delete the folder|empty|Delete|Cancel");
    EXPECT_EQ(boxes[4], "Delete folder|The following folder is not empty:|" +
                            (left / "full").string() +
                            "|Delete it with everything in it?|Delete|Skip|Cancel");
    // ".." alone is never chosen.
    ASSERT_EQ(Run("cursor ..\nanswer message 0\nf8\n"), 0);
    EXPECT_EQ(host.Messages().size(), 7u);
    EXPECT_TRUE(fs::exists(left));
}

TEST_F(FileKeysTest, ViewingPrintsTheFirstLinesAndTheViewerScrolls) {
    std::string text = "one\ttab\r\ntwo\x01\n";
    for (int i = 3; i <= 100; ++i) text += "line " + std::to_string(i) + "\n";
    Write(left / "text.txt", text);
    ASSERT_EQ(Run("cursor text.txt\nf3 2\ncursor ..\nf3\n"), 0);
    EXPECT_EQ(out.str(), "one     tab\ntwo.\n");

    FileViewer viewer(left / "text.txt");
    ScreenBuffer screen(40, 11);
    viewer.Draw(screen);
    EXPECT_EQ(screen.Row(1), u"one     tab");
    EXPECT_NE(screen.Row(0).find(u"lines 1-10 of 100"), wm::String::npos);
    viewer.Press(keys::End);
    viewer.Draw(screen);
    EXPECT_EQ(screen.Row(10), u"line 100");
    viewer.Press(keys::PgDn);
    EXPECT_EQ(viewer.Top(), 90);
    viewer.Press(keys::PgUp);
    viewer.Press(keys::Up);
    EXPECT_EQ(viewer.Top(), 79);
    viewer.Press(keys::Home);
    viewer.Press(keys::Up);
    EXPECT_EQ(viewer.Top(), 0);
    EXPECT_EQ(viewer.Press(keys::F1 + 2), FileViewer::State::Closed);
    EXPECT_THROW(FileViewer(left / "missing"), std::runtime_error);
}

TEST(CommandHistory, KeepsLinesInTheLineEditorsFormat) {
    const fs::path root = FreshFolder();
    const fs::path file = root / "data" / "farhost" / "history";
    const std::vector<wm::String> lines = {u"cd:a b", u"echo back\\slash\ttab", u"cd ~/Ünï"};
    ASSERT_TRUE(SaveCommandHistory(file, lines, 10));
    EXPECT_EQ(Read(file),
              "_HiStOrY_V2_\ncd:a\\040b\necho\\040back\\134slash\\011tab\ncd\\040~/Ünï\n");
    EXPECT_EQ(LoadCommandHistory(file), lines);
    ASSERT_TRUE(SaveCommandHistory(file, lines, 1));
    EXPECT_EQ(LoadCommandHistory(file), std::vector<wm::String>{u"cd ~/Ünï"});
    Write(file, "not a history\nline\n");
    EXPECT_TRUE(LoadCommandHistory(file).empty());
    fs::remove_all(root);
}

}  // namespace
}  // namespace farhost
