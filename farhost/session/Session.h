// What a person does in front of the host, as lines of text: command lines for the plugin,
// panel actions, answers to messages and menus, and the expectations a script checks.
#pragma once

#include <functional>
#include <iosfwd>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "farhost/engine/Host.h"
#include "farhost/files/PanelKeys.h"
#include "farhost/session/Completion.h"
#include "farhost/session/LineReader.h"

namespace farhost {

class Session : public HostUser {
public:
    // Interactive: messages and menus without a queued answer are asked at `in`.
    // Script: they get -1 (closed), as if the person pressed Esc.
    // Screen: the full screen shows messages, menus and dialogs itself; nothing is asked here.
    enum class Mode { Interactive, Script, Screen };

    Session(Host& host, std::ostream& out, std::istream& in, Mode mode);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Runs one line. False when it failed: an unknown or malformed command or an unmet
    // expectation; the reason has been written to the output.
    bool Execute(const std::string& line);
    // Runs every line; returns the number of failed lines.
    int Run(std::istream& lines, bool echo);

    void SetVariable(const std::string& name, std::string value);
    // Where questions are read in interactive mode (by default a StreamLineReader on `in`).
    void SetLineReader(LineReader& reader) { reader_ = &reader; }
    // Completion of a command line typed so far: farhost's commands, and waymark names after
    // the plugin's prefixes.
    Completion Complete(const std::string& lineBeforeCursor);
    bool Finished() const { return finished_; }
    // The host's keys on the panels, which the session's commands of the same names use.
    PanelKeys& Keys() { return keys_; }
    // Whether the line goes to the plugin (it starts with one of the plugin's prefixes).
    bool IsPluginCommand(const std::string& line);

    using Command = std::function<void(const std::vector<std::string>& words)>;
    // Adds a command: `words[0]` is its name. It raises std::runtime_error to fail.
    void AddCommand(const std::string& name, std::string usage, Command command);

    int OnMessage(const MessageCall& call, std::optional<int> queued) override;
    int OnMenu(const MenuCall& call, std::optional<int> queued) override;

private:
    void RunPluginCommand(const wm::String& text);
    // What the plugin shows from now on is what `expect` checks next.
    void MarkPluginCall();
    // Calls OpenPluginW and takes its answer for `side` as the host does; true when a panel
    // opened.
    bool OpenPlugin(int openFrom, far::INT_PTR item, size_t side);
    void ChooseInDriveMenu(size_t side);
    void AddPanelCommands();
    void Expect(const std::vector<std::string>& words);
    // True when the expectation was one about a side.
    bool ExpectSide(const std::vector<std::string>& words);
    void Help();
    int Ask(const std::string& question, const std::vector<std::string>& captions);
    // In script mode: where a panel went when the plugin changed its folder.
    void SayWherePanelsWent(const std::vector<wm::String>& before);
    // Reads a side again (its plugin panel, keeping the cursor and the marks, or its folder)
    // and draws it.
    void RereadSide(size_t side);
    const wm::String& Prefixes();
    void PromptDialogs();

    Host& host_;
    std::ostream& out_;
    StreamLineReader streamReader_;
    LineReader* reader_ = &streamReader_;
    Mode mode_;
    bool finished_ = false;
    std::map<std::string, std::string> variables_;
    std::map<std::string, std::pair<std::string, Command>> commands_;
    wm::String prefixes_;
    bool prefixesRead_ = false;
    // Messages and menus shown by the last plugin command start at these positions.
    size_t firstMessage_ = 0;
    size_t firstMenu_ = 0;
    PanelKeys keys_;
    std::string currentLine_;
    size_t shownScreens_ = 0;
};

}  // namespace farhost
