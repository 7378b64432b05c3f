// farhost full screen: the panels, the command line and the key bar on a terminal, driven by
// the host's keys. Every key does what the session's command of the same name does for a
// script (the panel keys, the plugins and drive menus, configuration), so a person and a
// script see the same behaviour; messages, menus and dialogs are drawn over the panels.
#pragma once

#include <array>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "farhost/engine/Host.h"
#include "farhost/screen/CommandLineEditor.h"
#include "farhost/screen/ScreenLayout.h"
#include "farhost/screen/Terminal.h"
#include "farhost/session/Session.h"

namespace farhost {

class FullScreen final : public HostUser {
public:
    FullScreen(Host& host, Terminal& terminal);
    ~FullScreen() override;
    FullScreen(const FullScreen&) = delete;
    FullScreen& operator=(const FullScreen&) = delete;

    Session& GetSession() { return session_; }
    // The command line's history: earlier runs' lines, and the lines run since.
    void SetCommandHistory(std::vector<wm::String> lines) {
        commandLine_.SetHistory(std::move(lines));
    }
    const std::vector<wm::String>& CommandHistory() const { return commandLine_.History(); }

    // Shows the screen and handles keys until F10, `quit` or the end of the terminal's input.
    void Run();
    // One key, as Run handles it.
    void Press(uint32_t key);
    // The terminal changed its size: the plugin learns it as the host's console size.
    void Resized();
    bool Finished() const { return finished_ || session_.Finished(); }
    // The screen as it is now, without the boxes of a plugin call that is running.
    ScreenBuffer Draw();
    const std::vector<wm::String>& UserScreen() const { return userScreen_; }

    int OnMessage(const MessageCall& call, std::optional<int> queued) override;
    int OnMenu(const MenuCall& call, std::optional<int> queued) override;

private:
    // A line for the session: the output goes to the user screen; a failure is shown in a
    // message box. True when it succeeded; `printed` tells whether it printed anything.
    bool Execute(const std::string& line, bool* printed = nullptr);
    // A line typed on the command line: it is echoed on the user screen, which stays in sight
    // when a farhost command (not the plugin) printed something.
    void RunCommandLine(const wm::String& line);
    // The session's output since the last call, added to the user screen.
    std::vector<wm::String> TakeOutput();
    void AddToUserScreen(const std::vector<wm::String>& lines);
    wm::String Prompt() const;
    PanelView ViewOf(size_t side) const;
    void MoveCursor(int delta, bool absolute);
    void ToggleMark();
    PanelView ActiveView() const;
    void InsertCurrentName();
    void PluginsMenu();
    void ConfigurationMenu();
    void DriveMenu(size_t side);
    void Help();
    // F3: the current file in the viewer until it closes.
    void ViewFile();
    // The host's own message box with one button; its answer is not needed.
    void Tell(const wm::String& title, const std::vector<wm::String>& lines, bool warning);
    far::PluginInfo PluginInfo() const;
    int PageRows() const;

    // Drawn in place, each in its own loop of keys until the person decides.
    int ShowMessage(const MessageCall& call);
    int ShowMenu(const MenuCall& call);
    std::optional<DialogAction> AskDialog(const HostDialog& dialog);

    ScreenLayout Layout();

    Host& host_;
    Terminal& terminal_;
    std::ostringstream output_;
    Session session_;
    CommandLineEditor commandLine_;
    std::vector<wm::String> userScreen_;
    std::array<int, 2> tops_{};
    bool panelsHidden_ = false;
    bool finished_ = false;
};

}  // namespace farhost
