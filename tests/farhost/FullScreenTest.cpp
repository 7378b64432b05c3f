#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <fstream>

#include "farhost/engine/DialogAction.h"
#include "farhost/screen/CommandLineEditor.h"
#include "farhost/screen/FullScreen.h"
#include "farhost/screen/ScreenLayout.h"
#include "farhost/screen/TerminalKeys.h"
#include "tests/support/Paths.h"

namespace farhost {
namespace {

TEST(TerminalKeys, XtermSequencesAndAltPrefixes) {
    const struct {
        const char* after;
        uint32_t key;
    } cases[] = {
        {"", keys::Esc},
        {"[A", keys::Up},
        {"OB", keys::Down},
        {"[1;5D", keys::Ctrl | keys::Left},
        {"[1;2H", keys::Shift | keys::Home},
        {"OP", keys::F1},
        {"[1;3P", keys::Alt | keys::F1},
        {"[1;3Q", keys::Alt | (keys::F1 + 1)},
        {"[15~", keys::F1 + 4},
        {"[21~", keys::F1 + 9},
        {"[24;5~", keys::Ctrl | (keys::F1 + 11)},
        {"[14;2~", keys::Shift | (keys::F1 + 3)},
        {"[5~", keys::PgUp},
        {"[3;7~", keys::Ctrl | keys::Alt | keys::Del},
        {"[Z", keys::Shift | keys::Tab},
        {"[27;2;13~", keys::Shift | keys::Enter},
        {"[13;2u", keys::Shift | keys::Enter},
        {"x", keys::Alt | 'x'},
        {"\r", keys::Alt | keys::Enter},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(DecodeEscapeSequence(c.after), c.key) << c.after;
        if (*c.after) {
            EXPECT_TRUE(EscapeSequenceComplete(c.after)) << c.after;
        }
    }
    EXPECT_FALSE(EscapeSequenceComplete("[1;5"));
    EXPECT_FALSE(EscapeSequenceComplete("O"));
    EXPECT_EQ(DecodeEscapeSequence("[99~"), std::nullopt);
    EXPECT_EQ(KeyOfCharacter(5), keys::Ctrl | 'E');
    EXPECT_EQ(KeyOfCharacter(15), keys::Ctrl | 'O');
    EXPECT_EQ(KeyOfCharacter(127), keys::BS);
    EXPECT_EQ(KeyOfCharacter('\r'), keys::Enter);
    EXPECT_EQ(KeyOfCharacter(u'ж'), static_cast<uint32_t>(u'ж'));
}

TEST(CommandLineEditor, EditsAndWalksTheHistory) {
    CommandLineEditor line;
    for (const char c : std::string("cd:dcs")) line.Press(static_cast<uint32_t>(c));
    line.Press(keys::Left);
    line.Press(keys::Left);
    line.Press('o');
    line.Press(keys::End);
    line.Press(keys::BS);
    line.Press('s');
    EXPECT_EQ(line.Text(), u"cd:docs");
    EXPECT_FALSE(line.Press(keys::Up));  // the panel's key
    EXPECT_EQ(line.Take(), u"cd:docs");
    line.Insert(u"tab");
    line.Take();
    line.Insert(u"tab");
    line.Take();  // the same line again is kept once
    EXPECT_EQ(line.History(), (std::vector<wm::String>{u"cd:docs", u"tab"}));

    line.Insert(u"half");
    line.Press(keys::Ctrl | 'E');
    EXPECT_EQ(line.Text(), u"tab");
    line.Press(keys::Ctrl | 'E');
    line.Press(keys::Ctrl | 'E');  // stays at the oldest
    EXPECT_EQ(line.Text(), u"cd:docs");
    EXPECT_EQ(line.Cursor(), 7);
    line.Press(keys::Ctrl | 'X');
    line.Press(keys::Ctrl | 'X');
    EXPECT_EQ(line.Text(), u"");
    line.Insert(u"x");
    line.Press(keys::Esc);
    EXPECT_TRUE(line.Empty());
}

PanelView ViewOf(const std::string& title, int count, int current) {
    PanelView view;
    view.title = title;
    view.rows.push_back({"..", true});
    for (int i = 1; i < count; ++i)
        view.rows.push_back({"item" + std::to_string(i), i % 3 == 0, i == 2, 100u + i});
    view.current = current;
    return view;
}

TEST(ScreenLayout, PanelsCommandLineAndKeyBar) {
    ScreenLayout layout;
    layout.sides[0].view = ViewOf("/home/me", 4, 1);
    layout.sides[1].view = ViewOf("Waymarks", 3, 2);
    layout.activeSide = 1;
    layout.prompt = u"/home/me>";
    layout.commandLine = u"cd:docs";
    layout.commandCursor = 3;
    layout.keyLabels = MergeKeyLabels(DefaultKeyLabels(), {std::nullopt, u"Mine"});
    ScreenBuffer screen(80, 25);
    DrawScreen(layout, screen);

    EXPECT_EQ(screen.Row(0).find(u" /home/me "), 15u);
    EXPECT_EQ(screen.At(16, 0).style, CellStyle::PanelTitle);
    EXPECT_EQ(screen.At(56, 0).style, CellStyle::PanelTitleActive);
    EXPECT_NE(screen.Row(1).find(u"Name"), wm::String::npos);
    EXPECT_EQ(screen.Row(2),
              u"║..                                    ║║..                                    ║");
    // The cursor bar only on the active side; a marked item and a folder have their styles.
    EXPECT_EQ(screen.At(1, 3).style, CellStyle::Panel);
    EXPECT_EQ(screen.At(41, 4).style, CellStyle::PanelCursor);
    EXPECT_EQ(screen.At(78, 4).style, CellStyle::PanelCursor);
    EXPECT_EQ(screen.At(1, 4).style, CellStyle::PanelMarked);
    EXPECT_EQ(screen.At(1, 5).style, CellStyle::PanelDirectory);
    // The info lines: the current item with its size.
    EXPECT_EQ(screen.Row(20),
              u"╟──────────────────────────────────────╢╟──────────────────────────────────────╢");
    EXPECT_EQ(screen.Row(21),
              u"║item1                              101║║item2                              102║");
    EXPECT_EQ(screen.Row(23), u"/home/me>cd:docs");
    EXPECT_EQ(screen.CursorX(), 12);
    EXPECT_EQ(screen.CursorY(), 23);
    const wm::String keyBar = screen.Row(24);
    EXPECT_EQ(keyBar.find(u"1Help"), 0u);
    EXPECT_NE(keyBar.find(u"2Mine"), wm::String::npos);
    EXPECT_NE(keyBar.find(u"10Quit"), wm::String::npos);
    EXPECT_EQ(screen.At(1, 24).style, CellStyle::KeyBarLabel);
    EXPECT_EQ(screen.At(0, 24).style, CellStyle::KeyBarNumber);
}

TEST(ScreenLayout, ADescriptionColumnStandsBesideTheNamesUnderItsTitles) {
    ScreenLayout layout;
    layout.sides[0].view = ViewOf("Waymarks: /", 2, 0);
    layout.sides[0].view.nameTitle = "Nm";
    layout.sides[0].view.descriptionTitle = "Directory";
    layout.sides[0].view.rows[1].description = "/srv/a";
    layout.sides[1].view = ViewOf("/b", 1, 0);
    ScreenBuffer screen(80, 25);
    DrawScreen(layout, screen);
    // 30 % of the 38 cells inside the frame for the names, then the edge, then the text.
    EXPECT_EQ(screen.Row(1).substr(0, 40), u"║    Nm     │        Directory         ║");
    EXPECT_EQ(screen.Row(3).substr(0, 40), u"║item1      │/srv/a                    ║");
    EXPECT_EQ(screen.At(12, 20).ch, u'┴');
    EXPECT_EQ(screen.Row(1).substr(40), u"║                 Name                 ║");
}

TEST(ScreenLayout, ScrollsToTheCursorAndShowsTheUserScreen) {
    EXPECT_EQ(PanelItemRows(25), 18);
    EXPECT_EQ(ScrollTop(0, 5, 40, 18), 0);
    EXPECT_EQ(ScrollTop(0, 20, 40, 18), 3);
    EXPECT_EQ(ScrollTop(10, 12, 40, 18), 10);  // in sight: no move
    EXPECT_EQ(ScrollTop(10, 4, 40, 18), 4);
    EXPECT_EQ(ScrollTop(30, 39, 40, 18), 22);  // no blank rows below the last item
    EXPECT_EQ(ScrollTop(7, 3, 10, 18), 0);

    ScreenLayout layout;
    layout.sides[0].view = ViewOf("/a", 40, 30);
    layout.sides[1].view = ViewOf("/b", 2, 0);
    ScreenBuffer screen(80, 25);
    DrawScreen(layout, screen);
    EXPECT_EQ(layout.sides[0].top, 13);
    EXPECT_NE(screen.Row(19).find(u"item30"), wm::String::npos);
    EXPECT_EQ(screen.At(1, 19).style, CellStyle::PanelCursor);

    // A long command line keeps its cursor in sight.
    layout.prompt = u"/a>";
    layout.commandLine = wm::String(100, u'x') + u"END";
    layout.commandCursor = 103;
    DrawScreen(layout, screen);
    EXPECT_EQ(screen.CursorX(), 79 - 1);
    EXPECT_NE(screen.Row(23).find(u"xEND"), wm::String::npos);

    layout.panelsHidden = true;
    for (int i = 0; i < 30; ++i)
        layout.userScreen.push_back(u"line " + wm::FromUtf8(std::to_string(i)));
    DrawScreen(layout, screen);
    EXPECT_EQ(screen.Row(0), u"line 7");
    EXPECT_EQ(screen.Row(22), u"line 29");
    EXPECT_EQ(screen.At(0, 0).style, CellStyle::CommandLine);

    // Terminals too small for panels still get a command line, and nothing is drawn outside.
    layout.panelsHidden = false;
    for (const auto& [width, height] : {std::pair{1, 1}, {12, 3}, {30, 7}, {19, 25}, {200, 60}}) {
        ScreenBuffer small(width, height);
        DrawScreen(layout, small);
        EXPECT_EQ(small.CursorY(), height >= 2 ? height - 2 : -1) << width << "x" << height;
    }
}

// A terminal whose keys come from a list; it ends when they run out.
class ScriptedTerminal final : public Terminal {
public:
    int Width() const override { return width; }
    int Height() const override { return height; }
    void Show(const ScreenBuffer& screen) override { shown.push_back(screen.Rows()); }
    TerminalInput Read() override {
        if (inputs.empty()) return {TerminalInput::Kind::End, 0};
        const TerminalInput input = inputs.front();
        inputs.pop_front();
        if (input.kind == TerminalInput::Kind::Resize) width = 100, height = 30;
        return input;
    }
    void Keys(std::initializer_list<uint32_t> pressed) {
        for (const uint32_t key : pressed) inputs.push_back({TerminalInput::Kind::Key, key});
    }
    void Type(const std::string& text) {
        for (const char c : text)
            inputs.push_back({TerminalInput::Kind::Key, static_cast<uint32_t>(c)});
    }

    int width = 80, height = 25;
    std::deque<TerminalInput> inputs;
    std::vector<std::vector<wm::String>> shown;
};

class FullScreenTest : public ::testing::Test {
protected:
    FullScreenTest() {
        std::filesystem::remove_all(root);
        std::filesystem::create_directories(root / "alpha" / "inner");
        std::filesystem::create_directories(root / "beta");
        std::ofstream(root / "file.txt") << "12345";
        Host::Options options;
        options.panelDirectory = root.u16string();
        host.emplace(options);
        host->LoadPlugin(wm::test::BuiltFile(PROBE_MODULE_PATH));
        host->StartPlugin();
    }
    ~FullScreenTest() override {
        screen.reset();
        host.reset();
        std::filesystem::remove_all(root);
    }
    wm::String Row(int y) { return screen->Draw().Row(y); }

    std::filesystem::path root = std::filesystem::temp_directory_path() / "wm-fullscreen";
    std::optional<Host> host;
    ScriptedTerminal terminal;
    std::optional<FullScreen> screen;
};

TEST_F(FullScreenTest, KeysMoveEnterSwitchAndQuit) {
    screen.emplace(*host, terminal);
    EXPECT_EQ(host->ConsoleSize().X, 80);
    // .., alpha, beta, file.txt: Down twice, then Up, then End and Home.
    terminal.Keys({keys::Down, keys::Down, keys::Up, keys::End});
    for (int i = 0; i < 4; ++i) screen->Press(terminal.Read().key);
    EXPECT_EQ(host->Panels().Active().CurrentItem(), 3);
    EXPECT_NE(Row(21).find(u"file.txt"), wm::String::npos);
    EXPECT_NE(Row(21).find(u"5"), wm::String::npos);
    screen->Press(keys::Home);
    screen->Press(keys::Down);
    screen->Press(keys::Enter);
    EXPECT_EQ(host->Panels().Active().Directory(), (root / "alpha").u16string());
    EXPECT_NE(Row(23).find(u"alpha>"), wm::String::npos);
    screen->Press(keys::Down);
    // Ctrl+PgUp enters "..", wherever the cursor is; the cursor lands on the folder left.
    screen->Press(keys::Ctrl | keys::PgUp);
    EXPECT_EQ(host->Panels().Active().Directory(), root.u16string());
    EXPECT_EQ(host->Panels().Active().CurrentItem(), 1);

    screen->Press(keys::Tab);
    EXPECT_EQ(host->Panels().ActiveSide(), 1u);
    screen->Press(keys::Ins);  // ".." is not marked; the cursor moves on
    screen->Press(keys::Ins);
    EXPECT_EQ(host->Panels().Active().Chosen().size(), 1u);
    EXPECT_EQ(host->Panels().Active().Chosen()[0].name, u"alpha");

    terminal.Keys({keys::F1 + 9});
    terminal.Keys({keys::Down});
    screen->Run();
    EXPECT_TRUE(screen->Finished());
    EXPECT_EQ(terminal.inputs.size(), 1u);  // F10 ended the loop
}

TEST_F(FullScreenTest, TheCommandLineRunsLinesAndCtrlOShowsTheirOutput) {
    screen.emplace(*host, terminal);
    terminal.Type("cd beta");
    terminal.Keys({keys::Enter});
    terminal.Type("echo hello there");
    terminal.Keys({keys::Enter});
    terminal.Keys({keys::Ctrl | 'E', keys::Ctrl | 'E', keys::Ctrl | 'Y'});
    terminal.inputs.push_back({TerminalInput::Kind::Resize, 0});
    screen->Run();  // ends with the input
    EXPECT_EQ(host->Panels().Active().Directory(), (root / "beta").u16string());
    // The echo printed: the user screen stays in sight, with the line that ran.
    const auto& last = terminal.shown.back();
    EXPECT_NE(last[26].find(u"beta>echo hello there"), wm::String::npos) << wm::ToUtf8(last[26]);
    EXPECT_EQ(last[27], u"hello there");
    EXPECT_EQ(host->ConsoleSize().X, 100);
    EXPECT_EQ(host->ConsoleSize().Y, 30);
    screen->Press(keys::Ctrl | 'O');
    EXPECT_EQ(screen->Draw().Row(0).rfind(u"╔", 0), 0u);
    // Ctrl+E twice went back to "cd beta"; Ctrl+Y cleared it again.
    EXPECT_EQ(Row(28), u"" + (root / "beta").u16string() + u">");
}

// Whether a screen the terminal showed has a row containing `text`.
bool Showed(const std::vector<wm::String>& rows, wm::StringView text) {
    for (const auto& row : rows) {
        if (row.find(text) != wm::String::npos) return true;
    }
    return false;
}

TEST_F(FullScreenTest, DialogsMessagesAndMenusAreAnsweredByKeys) {
    screen.emplace(*host, terminal);
    // The probe's dialog: its edit is filled in from keys, OK shows the text in a message.
    terminal.Type("probe:ask");
    // The dialog opens with OK focused; Up goes to the edit.
    terminal.Keys({keys::Enter, keys::Up, keys::End, '!', keys::Enter, keys::Enter});
    // The same dialog cancelled with Esc.
    terminal.Type("probe:ask");
    terminal.Keys({keys::Enter, keys::Esc, keys::Esc});
    // The plugins menu: Enter chooses the probe, which opens its panel.
    terminal.Keys({keys::F1 + 10, keys::Enter});
    screen->Run();
    ASSERT_GE(host->Messages().size(), 2u);
    EXPECT_EQ(host->Messages()[0].lines[1], u"initial!");
    EXPECT_EQ(host->Messages()[0].answer, 0);
    EXPECT_EQ(host->Messages()[1].lines[1], u"cancelled");
    EXPECT_EQ(host->Messages()[1].answer, -1);
    EXPECT_TRUE(host->PluginPanelOn(0));
    const auto dialog = std::find_if(terminal.shown.begin(), terminal.shown.end(),
                                     [](const auto& rows) { return Showed(rows, u"initial!"); });
    ASSERT_NE(dialog, terminal.shown.end());
    EXPECT_TRUE(Showed(*dialog, u"[ Cancel ]"));
    EXPECT_TRUE(std::any_of(terminal.shown.begin(), terminal.shown.end(),
                            [](const auto& rows) { return Showed(rows, u"Plugin commands"); }));
}

TEST_F(FullScreenTest, AFailedCommandIsToldInABoxAndItsOutputStaysInSight) {
    screen.emplace(*host, terminal);
    terminal.Type("nonsense");
    terminal.Keys({keys::Enter, keys::Enter});
    terminal.Keys({keys::Ctrl | 'O', keys::F1 + 3});  // the editor of a file panel is not modelled
    terminal.Keys({keys::Esc});
    screen->Run();
    const auto box = std::find_if(
        terminal.shown.begin(), terminal.shown.end(),
        [](const auto& rows) { return Showed(rows, u"unknown command: nonsense (try help)"); });
    ASSERT_NE(box, terminal.shown.end());
    EXPECT_TRUE(Showed(*box, u"[ OK ]"));
    EXPECT_TRUE(std::any_of(box, terminal.shown.end(), [](const auto& rows) {
        return Showed(rows, u"the editor on a file panel is not modelled");
    }));
    // The panels stayed hidden behind the command's output until Ctrl+O.
    EXPECT_TRUE(Showed(box[1], u"unknown command"));
    EXPECT_FALSE(Showed(box[1], u"╔"));
    EXPECT_EQ(screen->Draw().Row(0).find(u"╔"), 0u);
}

TEST_F(FullScreenTest, APluginPanelShowsItsTitleAndKeyLabels) {
    host.reset();
    host.emplace();
    host->LoadPlugin(wm::test::BuiltFile(PROBE_MODULE_PATH));
    host->StartPlugin();
    screen.emplace(*host, terminal);
    terminal.Type("probe:panel");
    terminal.Keys({keys::Enter, keys::Down});
    screen->Run();
    ASSERT_TRUE(host->PluginPanelOn(0));
    const auto& last = terminal.shown.back();
    EXPECT_NE(last[0].find(u" Probe: "), wm::String::npos) << wm::ToUtf8(last[0]);
    EXPECT_NE(last[24].find(u"7Group"), wm::String::npos) << wm::ToUtf8(last[24]);
    EXPECT_NE(last[24].find(u"8Delete"), wm::String::npos);
    screen->Press(keys::Tab);  // the file panel has the host's labels
    EXPECT_NE(screen->Draw().Row(24).find(u"7MkFold"), wm::String::npos);
}

}  // namespace
}  // namespace farhost
