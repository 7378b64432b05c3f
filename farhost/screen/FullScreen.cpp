#include "farhost/screen/FullScreen.h"

#include <algorithm>
#include <iostream>

#include "farhost/engine/DialogAction.h"
#include "farhost/engine/HostRules.h"

namespace farhost {
namespace {

constexpr size_t kUserScreenLines = 2000;

// Keys that do exactly what the session's command of that name does.
struct CommandKey {
    uint32_t key;
    const char* command;
};
constexpr CommandKey kCommandKeys[] = {
    {keys::Tab, "tab"},   {keys::F1 + 3, "f4"},         {keys::Shift | (keys::F1 + 3), "shift+f4"},
    {keys::F1 + 4, "f5"}, {keys::F1 + 5, "f6"},         {keys::F1 + 6, "f7"},
    {keys::F1 + 7, "f8"}, {keys::Ctrl | 'R', "ctrl+r"}, {keys::Ctrl | keys::PgUp, "ctrl+pgup"},
};

std::vector<wm::String> Strings(far::HostText const* texts, int32_t count) {
    std::vector<wm::String> strings;
    for (int32_t i = 0; texts && i < count; ++i)
        strings.push_back(texts[i] ? reinterpret_cast<const char16_t*>(texts[i]) : u"");
    return strings;
}

MenuCall MenuOf(const wm::String& title, const std::vector<wm::String>& items) {
    MenuCall menu;
    menu.x = menu.y = -1;
    menu.flags = far::FMENU_WRAPMODE;
    menu.title = title;
    for (const auto& text : items) menu.items.push_back({text});
    if (!menu.items.empty()) menu.items.front().selected = true;
    return menu;
}

// A word for the session's command line, quoted as a shell would.
std::string Quoted(const std::string& word) {
    std::string quoted = "'";
    for (const char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

FullScreen::FullScreen(Host& host, Terminal& terminal)
    : host_(host), terminal_(terminal), session_(host, output_, std::cin, Session::Mode::Screen) {
    host_.SetUser(this);
    host_.SetDialogPrompt([this](const HostDialog& dialog) { return AskDialog(dialog); });
    Resized();
}

FullScreen::~FullScreen() {
    host_.SetDialogPrompt({});
    host_.SetUser(&session_);
}

void FullScreen::Run() {
    while (!Finished()) {
        terminal_.Show(Draw());
        const TerminalInput input = terminal_.Read();
        switch (input.kind) {
            case TerminalInput::Kind::End:
                finished_ = true;
                break;
            case TerminalInput::Kind::Resize:
                Resized();
                break;
            case TerminalInput::Kind::Key:
                Press(input.key);
                break;
        }
    }
}

void FullScreen::Resized() {
    const int width = std::max(1, terminal_.Width());
    const int height = std::max(1, terminal_.Height());
    host_.SetConsoleRect(
        far::SMALL_RECT{0, 0, static_cast<int16_t>(width - 1), static_cast<int16_t>(height - 1)});
}

ScreenLayout FullScreen::Layout() {
    ScreenLayout layout;
    FilePanels& panels = host_.Panels();
    layout.activeSide = panels.ActiveSide();
    for (size_t side = 0; side < 2; ++side) {
        layout.sides[side].view = ViewOf(side);
        layout.sides[side].top = tops_[side];
    }
    layout.panelsHidden = panelsHidden_;
    layout.userScreen = userScreen_;
    layout.prompt = Prompt();
    layout.commandLine = commandLine_.Text();
    layout.commandCursor = commandLine_.Cursor();
    layout.keyLabels = DefaultKeyLabels();
    if (const auto plugin = host_.PluginPanelOn(layout.activeSide))
        layout.keyLabels = MergeKeyLabels(layout.keyLabels, plugin->Info().keyBar);
    return layout;
}

ScreenBuffer FullScreen::Draw() {
    ScreenBuffer screen(std::max(1, terminal_.Width()), std::max(1, terminal_.Height()));
    ScreenLayout layout = Layout();
    DrawScreen(layout, screen);
    for (size_t side = 0; side < 2; ++side) tops_[side] = layout.sides[side].top;
    return screen;
}

wm::String FullScreen::Prompt() const {
    return host_.Panels().Active().ShownDirectory() + u">";
}

PanelView FullScreen::ViewOf(size_t side) const {
    const auto plugin = host_.PluginPanelOn(side);
    return plugin ? plugin->View() : host_.Panels().Side(side).View();
}

PanelView FullScreen::ActiveView() const {
    return ViewOf(host_.Panels().ActiveSide());
}

std::vector<wm::String> FullScreen::TakeOutput() {
    const std::string text = output_.str();
    output_.str({});
    std::vector<wm::String> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        lines.push_back(wm::FromUtf8(text.substr(start, end - start)));
        start = end + 1;
    }
    AddToUserScreen(lines);
    return lines;
}

void FullScreen::AddToUserScreen(const std::vector<wm::String>& lines) {
    userScreen_.insert(userScreen_.end(), lines.begin(), lines.end());
    if (userScreen_.size() > kUserScreenLines)
        userScreen_.erase(userScreen_.begin(),
                          userScreen_.end() - static_cast<long>(kUserScreenLines));
}

bool FullScreen::Execute(const std::string& line, bool* printed) {
    const bool done = session_.Execute(line);
    const std::vector<wm::String> output = TakeOutput();
    if (printed) *printed = !output.empty();
    if (!done) {
        // The session's reason is its line that starts with "error: ".
        std::vector<wm::String> reason;
        for (const wm::String& shown : output) {
            if (shown.rfind(u"error: ", 0) == 0) reason.push_back(shown.substr(7));
        }
        Tell(u"farhost", reason.empty() ? std::vector<wm::String>{u"failed"} : reason, true);
    }
    return done;
}

void FullScreen::RunCommandLine(const wm::String& line) {
    const std::string text = wm::ToUtf8(line);
    AddToUserScreen({Prompt() + line});
    const bool plugin = session_.IsPluginCommand(text);
    bool printed = false;
    Execute(text, &printed);
    if (!plugin && printed) panelsHidden_ = true;
}

int FullScreen::PageRows() const {
    return std::max(1, PanelItemRows(terminal_.Height()));
}

void FullScreen::MoveCursor(int delta, bool absolute) {
    const size_t side = host_.Panels().ActiveSide();
    if (const auto plugin = host_.PluginPanelOn(side)) {
        plugin->SetCurrentItem(absolute ? delta : plugin->CurrentItem() + delta);
    } else {
        FilePanel& panel = host_.Panels().Side(side);
        panel.SetCurrentItem(absolute ? delta : panel.CurrentItem() + delta);
    }
}

void FullScreen::ToggleMark() {
    const size_t side = host_.Panels().ActiveSide();
    const auto plugin = host_.PluginPanelOn(side);
    const PanelView view = plugin ? plugin->View() : host_.Panels().Side(side).View();
    if (view.rows.empty()) return;
    const auto index = static_cast<size_t>(view.current);
    if (view.rows[index].name != "..") {
        if (plugin) {
            plugin->SetMarked(index, !view.rows[index].marked);
        } else {
            host_.Panels().Side(side).SetMarked(index, !view.rows[index].marked);
        }
    }
    MoveCursor(1, false);
}

void FullScreen::InsertCurrentName() {
    const PanelView view = ActiveView();
    if (view.rows.empty()) return;
    const std::string& name = view.rows[static_cast<size_t>(view.current)].name;
    const bool blank = name.find_first_of(" \t'\"") != std::string::npos;
    commandLine_.Insert(wm::FromUtf8((blank ? Quoted(name) : name) + " "));
}

far::PluginInfo FullScreen::PluginInfo() const {
    far::PluginInfo info{};
    info.StructSize = sizeof info;
    if (host_.Exports().GetPluginInfoW) host_.Exports().GetPluginInfoW(&info);
    return info;
}

void FullScreen::PluginsMenu() {
    const far::PluginInfo info = PluginInfo();
    const int chosen = ShowMenu(
        MenuOf(u"Plugin commands", Strings(info.PluginMenuStrings, info.PluginMenuStringsNumber)));
    if (chosen >= 0) Execute("plugins " + std::to_string(chosen));
}

void FullScreen::ConfigurationMenu() {
    const far::PluginInfo info = PluginInfo();
    const int chosen =
        ShowMenu(MenuOf(u"Plugins configuration",
                        Strings(info.PluginConfigStrings, info.PluginConfigStringsNumber)));
    if (chosen >= 0) Execute("configure");
}

void FullScreen::DriveMenu(size_t side) {
    const far::PluginInfo info = PluginInfo();
    std::vector<wm::String> items = {u"/   the root folder", u"~   the home folder"};
    const auto plugins = Strings(info.DiskMenuStrings, info.DiskMenuStringsNumber);
    MenuCall menu = MenuOf(side == 0 ? u"Change drive: left" : u"Change drive: right", items);
    if (!plugins.empty()) menu.items.push_back({u"", true});
    for (const auto& text : plugins) menu.items.push_back({text});
    const int chosen = ShowMenu(menu);
    if (chosen < 0) return;
    if (chosen >= 3) {
        Execute(side == 0 ? "drive left" : "drive right");
        return;
    }
    host_.SetActiveSide(side);
    Execute(chosen == 0 ? "cd /" : "cd ~");
}

void FullScreen::Help() {
    std::vector<wm::String> lines = {
        u"Arrows, PgUp, PgDn, Home, End  move the cursor",
        u"Enter  enter a folder, or run the command line",
        u"Shift+Enter  jump to a waymark's folder (the plugin's panel)",
        u"Tab  the other panel      Ins  mark the item",
        u"Ctrl+O  the text output behind the panels",
        u"Ctrl+E, Ctrl+X  earlier and later command lines",
        u"Ctrl+Enter  the item's name into the command line",
        u"F3 view, F4 edit, Shift+F4 add, F5 copy, F6 move, F7 folder, F8 delete",
        u"F9 configuration    F10 quit    F11 the plugins menu",
        u"Alt+F1, Alt+F2  the drive menus of the left and right panel",
        u"Ctrl+PgUp  the folder or group above    Ctrl+R  read the panel again",
        u"The command line takes the plugin's commands (cd:name, cd::name)",
        u"and farhost's own (help lists them; Ctrl+O shows what they print)."};
    // Lines of one width stand left-aligned in the centred box.
    size_t width = 0;
    for (const auto& line : lines) width = std::max(width, line.size());
    for (auto& line : lines) line.resize(width, u' ');
    Tell(u"Keys", lines, false);
}

void FullScreen::Tell(const wm::String& title, const std::vector<wm::String>& lines, bool warning) {
    MessageCall call;
    call.flags = warning ? far::FMSG_WARNING : 0;
    call.lines.push_back(title);
    call.lines.insert(call.lines.end(), lines.begin(), lines.end());
    call.lines.push_back(u"OK");
    call.buttons = 1;
    call.fromHost = true;
    ShowMessage(call);
}

int FullScreen::OnMessage(const MessageCall& call, std::optional<int> queued) {
    return queued ? *queued : ShowMessage(call);
}

int FullScreen::OnMenu(const MenuCall& call, std::optional<int> queued) {
    return queued ? *queued : ShowMenu(call);
}

void FullScreen::Press(uint32_t key) {
    switch (key) {
        case keys::Ctrl | 'O':
            panelsHidden_ = !panelsHidden_;
            return;
        case keys::F1 + 9:
            finished_ = true;
            return;
        case keys::Enter:
            if (!commandLine_.Empty()) {
                RunCommandLine(commandLine_.Take());
            } else if (!panelsHidden_) {
                Execute("enter");
            }
            return;
        default:
            break;
    }
    if (panelsHidden_) {
        commandLine_.Press(key);
        return;
    }
    const bool typing = !commandLine_.Empty();
    for (const CommandKey& command : kCommandKeys) {
        if (command.key != key) continue;
        Execute(command.command);
        return;
    }
    switch (key) {
        case keys::Shift | keys::Enter:
            if (!typing) Execute("shift+enter");
            return;
        case keys::Ctrl | keys::Enter:
        case keys::Ctrl | 'J':
            InsertCurrentName();
            return;
        case keys::Up:
            MoveCursor(-1, false);
            return;
        case keys::Down:
            MoveCursor(1, false);
            return;
        case keys::PgUp:
            MoveCursor(-PageRows(), false);
            return;
        case keys::PgDn:
            MoveCursor(PageRows(), false);
            return;
        case keys::Ins:
            ToggleMark();
            return;
        case keys::F1:
            Help();
            return;
        case keys::F1 + 2:
            ViewFile();
            return;
        case keys::F1 + 8:
            ConfigurationMenu();
            return;
        case keys::F1 + 10:
            PluginsMenu();
            return;
        case keys::Alt | keys::F1:
            DriveMenu(0);
            return;
        case keys::Alt | (keys::F1 + 1):
            DriveMenu(1);
            return;
        default:
            break;
    }
    if (!typing && (key == keys::Home || key == keys::End)) {
        MoveCursor(key == keys::Home ? 0 : 1 << 30, true);
        return;
    }
    commandLine_.Press(key);
}

}  // namespace farhost
