#include "farhost/session/Session.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <stdexcept>

#include "farhost/engine/Script.h"
#include "farhost/session/Answer.h"
#include "farhost/session/CommandLine.h"
#include "farhost/session/OptionsCommand.h"
#include "farhost/session/RegCommand.h"

namespace farhost {
namespace {

std::string Utf8(const wm::String& text) {
    return wm::ToUtf8(text);
}
wm::String Utf16(const std::string& text) {
    return wm::FromUtf8(text);
}

std::string Quote(const std::string& text) {
    return "\"" + text + "\"";
}

std::string HomeDirectory() {
#ifdef _WIN32
    const char* home = std::getenv("USERPROFILE");
#else
    const char* home = std::getenv("HOME");
#endif
    return home ? home : "";
}

std::string Join(const std::vector<std::string>& words, size_t from) {
    std::string text;
    for (size_t i = from; i < words.size(); ++i) text += (i > from ? " " : "") + words[i];
    return text;
}

void Require(bool condition, const std::string& failure) {
    if (!condition) throw std::runtime_error(failure);
}

far::HostText Host16(const wm::String& text) {
    return reinterpret_cast<far::HostText>(text.c_str());
}

}  // namespace

Session::Session(Host& host, std::ostream& out, std::istream& in, Mode mode)
    : host_(host), out_(out), streamReader_(in, out), mode_(mode), keys_(host, out) {
    host_.SetUser(this);
    if (mode_ == Mode::Interactive) PromptDialogs();
    AddCommand("cd",
               "cd DIR               change the active panel's directory (leaving a plugin's\n"
               "                       panel there), relative to its folder; ~ is the home\n"
               "                       directory",
               [this](const auto& words) {
                   Require(words.size() == 2, "cd takes one directory");
                   host_.ClosePluginPanel(host_.Panels().ActiveSide(), false);
                   FilePanel& panel = host_.Panels().Active();
                   const std::string directory = ExpandHome(words[1], HomeDirectory());
                   const auto path = std::filesystem::path(panel.Directory()) / Utf16(directory);
                   Require(panel.SetDirectory(path.u16string()), "no such directory: " + directory);
                   panel.Redraw();
               });
    AddCommand("tab", "tab                  make the other panel active",
               [this](const auto&) { host_.SwitchActiveSide(); });
    AddCommand("plugins",
               "plugins [N]          choose the plugin (its item N, from 0) in the plugins menu\n"
               "                       (F11)",
               [this](const auto& words) {
                   Require(words.size() <= 2, "plugins [N]");
                   const far::INT_PTR item = words.size() == 2 ? std::stoi(words[1]) : 0;
                   OpenPlugin(far::OPEN_PLUGINSMENU, item, host_.Panels().ActiveSide());
               });
    AddCommand("drive", "drive left|right     choose the plugin in a drive menu (Alt+F1, Alt+F2)",
               [this](const auto& words) {
                   Require(words.size() == 2 && (words[1] == "left" || words[1] == "right"),
                           "drive left|right");
                   ChooseInDriveMenu(words[1] == "left" ? 0 : 1);
               });
    AddCommand("configure",
               "configure [ANSWER]   choose the plugin in the plugins configuration menu;\n"
               "                       with ANSWER, check what ConfigureW answers",
               [this](const auto& words) {
                   Require(words.size() <= 2, "configure takes at most the expected answer");
                   Require(host_.Exports().ConfigureW != nullptr, "the plugin has no ConfigureW");
                   MarkPluginCall();
                   const std::string answer = std::to_string(host_.Exports().ConfigureW(0));
                   out_ << "(ConfigureW answered " << answer << ")\n";
                   Require(words.size() < 2 || words[1] == answer,
                           "ConfigureW answered " + answer + ", expected " + words.back());
               });
    AddCommand(
        "options",
        "options [NAME VALUE] the plugin's options: list them with their meaning, or set\n"
        "                       one (options AllowSearchOverDir on)",
        [this](const auto& words) {
            const std::string key =
                "HKCU\\" + Utf8(reinterpret_cast<const char16_t*>(host_.StartupInfo().RootKey)) +
                "\\Waymarks";
            std::vector<std::string> captions;
            if (const LanguageFile* language = host_.CurrentLanguageFile()) {
                const auto& messages = language->Messages();
                for (size_t i = 40; i < 50 && i < messages.size(); ++i)
                    captions.push_back(Utf8(messages[i]));
            }
            std::ostringstream text;
            const int failed = RunOptionsCommand(
                std::vector<std::string>(words.begin() + 1, words.end()), key, captions, text);
            if (failed) throw std::runtime_error(text.str().substr(0, text.str().find('\n')));
            out_ << text.str();
        });
    AddCommand("panels", "panels               show both panels",
               [this](const auto&) { out_ << host_.DrawPanels(); });
    AddCommand("answer", "answer message|menu N  the answer to the next message or menu",
               [this](const auto& words) {
                   Require(words.size() == 3, "answer message|menu N");
                   const int answer = std::stoi(words[2]);
                   if (words[1] == "message") {
                       host_.QueueMessageAnswer(answer);
                   } else {
                       Require(words[1] == "menu", "answer message|menu N");
                       host_.QueueMenuAnswer(answer);
                   }
               });
    AddCommand("expect", "expect ...           check what the host shows (see below)",
               [this](const auto& words) { Expect(words); });
    AddCommand("mkdir", "mkdir DIR            create a directory (and its parents)",
               [](const auto& words) {
                   Require(words.size() == 2, "mkdir takes one directory");
                   std::filesystem::create_directories(std::filesystem::path(Utf16(words[1])));
               });
    AddCommand("write",
               "write FILE TEXT      write the text (UTF-8) into the file, making its folder",
               [](const auto& words) {
                   Require(words.size() >= 2, "write FILE TEXT");
                   const std::filesystem::path file(Utf16(words[1]));
                   std::filesystem::create_directories(file.parent_path());
                   std::ofstream(file, std::ios::binary) << Join(words, 2);
               });
    AddCommand("link",
               "link LINK FOLDER     make LINK a symbolic link to FOLDER, where the system can",
               [this](const auto& words) {
                   Require(words.size() == 3, "link LINK FOLDER");
                   std::error_code error;
                   std::filesystem::create_directory_symlink(std::filesystem::path(Utf16(words[2])),
                                                             std::filesystem::path(Utf16(words[1])),
                                                             error);
                   if (error) out_ << "no link made: " << error.message() << "\n";
               });
    AddCommand("set", "set NAME VALUE       define ${NAME}", [this](const auto& words) {
        Require(words.size() >= 2, "set NAME VALUE");
        SetVariable(words[1], Join(words, 2));
    });
    AddCommand("echo", "echo TEXT            print the text",
               [this](const auto& words) { out_ << Join(words, 1) << "\n"; });
    AddCommand("reg", "reg query|add|delete KEY ...  the registry, as the Windows reg command",
               [this](const auto& words) {
                   std::ostringstream text;
                   const int code = RunRegCommand(
                       std::vector<std::string>(words.begin() + 1, words.end()), text);
                   out_ << text.str();
                   Require(code == 0, "reg failed");
               });
    AddCommand("dialog",
               "dialog ACTION        queue an action for the next dialog (type, set, click,\n"
               "                       focus, key, esc, resize, show; see below)",
               [this](const auto&) {
                   const auto start = currentLine_.find("dialog") + 6;
                   host_.QueueDialogActions(currentLine_.substr(start));
               });
    AddPanelCommands();
    AddCommand("help", "help                 this list", [this](const auto&) { Help(); });
    AddCommand("quit", "quit                 leave farhost",
               [this](const auto&) { finished_ = true; });
}

void Session::PromptDialogs() {
    host_.SetDialogPrompt([this](const HostDialog& dialog) -> std::optional<DialogAction> {
        for (const auto& row : host_.DrawDialogScreen(dialog)) out_ << Utf8(row) << "\n";
        for (;;) {
            const auto read = reader_->Read("dialog> ", LineReader::Kind::Answer);
            if (read.status != LineReader::Result::Status::Line) return DialogAction::Escape();
            try {
                return ParseDialogAction(read.text);
            } catch (const std::exception& error) {
                out_ << "  " << error.what() << "\n";
            }
        }
    });
}

Session::~Session() {
    host_.ClosePluginPanels();
    host_.SetUser(nullptr);
    if (mode_ == Mode::Interactive) host_.SetDialogPrompt({});
}

const wm::String& Session::Prefixes() {
    // Asked once the plugin is loaded and started: the host reads its info before any command.
    if (!prefixesRead_ && host_.Exports().GetPluginInfoW) {
        far::PluginInfo info{};
        host_.Exports().GetPluginInfoW(&info);
        if (info.CommandPrefix) prefixes_ = reinterpret_cast<const char16_t*>(info.CommandPrefix);
        prefixesRead_ = true;
    }
    return prefixes_;
}

void Session::AddCommand(const std::string& name, std::string usage, Command command) {
    commands_[name] = {std::move(usage), std::move(command)};
}

void Session::SetVariable(const std::string& name, std::string value) {
    variables_[name] = std::move(value);
}

bool Session::Execute(const std::string& rawLine) {
    try {
        const auto start = rawLine.find_first_not_of(" \t");
        if (start == std::string::npos || rawLine[start] == '#') return true;
        const std::string line = ExpandVariables(rawLine, [this](const std::string& name) {
            if (auto found = variables_.find(name); found != variables_.end()) {
                return std::optional<std::string>(found->second);
            }
            if (const char* value = std::getenv(name.c_str()))
                return std::optional<std::string>(value);
            return std::optional<std::string>();
        });
        if (IsPluginCommand(line)) {
            RunPluginCommand(SplitPrefixCommand(Utf16(line))->text);
            return true;
        }
        currentLine_ = line;
        const auto words = SplitWords(line);
        const auto found = commands_.find(words.at(0));
        Require(found != commands_.end(), "unknown command: " + words[0] + " (try help)");
        found->second.second(words);
        return true;
    } catch (const std::exception& error) {
        out_ << "error: " << error.what() << "\n";
        return false;
    }
}

bool Session::IsPluginCommand(const std::string& line) {
    const auto command = SplitPrefixCommand(Utf16(line));
    return command && MatchesPrefix(command->prefix, Prefixes());
}

int Session::Run(std::istream& lines, bool echo) {
    int failures = 0;
    int number = 0;
    std::string line;
    while (!finished_ && std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (echo && line.find_first_not_of(" \t") != std::string::npos)
            out_ << "> " << line << "\n";
        if (!Execute(line)) {
            ++failures;
            out_ << "  (line " << number << ")\n";
        }
    }
    return failures;
}

void Session::MarkPluginCall() {
    firstMessage_ = host_.Messages().size();
    firstMenu_ = host_.Menus().size();
}

void Session::RunPluginCommand(const wm::String& text) {
    FilePanels& panels = host_.Panels();
    const std::vector<wm::String> before = {panels.Active().ShownDirectory(),
                                            panels.Passive().ShownDirectory()};
    const bool opened = OpenPlugin(
        far::OPEN_COMMANDLINE, reinterpret_cast<far::INT_PTR>(Host16(text)), panels.ActiveSide());
    if (!opened && host_.PluginPanelOn(panels.ActiveSide())) RereadSide(panels.ActiveSide());
    if (mode_ == Mode::Script) SayWherePanelsWent(before);
}

void Session::RereadSide(size_t side) {
    if (const auto plugin = host_.PluginPanelOn(side)) {
        if (!plugin->Read(rules::kRereadKeepsMarks)) return;
        plugin->Redraw();
        return;
    }
    FilePanel& files = host_.Panels().Side(side);
    files.Refresh();
    files.Redraw();
}

void Session::SayWherePanelsWent(const std::vector<wm::String>& before) {
    FilePanels& panels = host_.Panels();
    const FilePanel* now[] = {&panels.Active(), &panels.Passive()};
    const char* names[] = {"active", "passive"};
    for (size_t i = 0; i < 2; ++i) {
        const wm::String shown = now[i]->ShownDirectory();
        if (shown != before[i])
            out_ << "(the " << names[i] << " panel went to " << Utf8(shown) << ")\n";
    }
}

Completion Session::Complete(const std::string& lineBeforeCursor) {
    std::vector<std::string> commands;
    for (const auto& [name, entry] : commands_) commands.push_back(name);
    std::vector<std::string> prefixes;
    const std::string registered = Utf8(Prefixes());
    for (size_t start = 0; start <= registered.size();) {
        const size_t colon = std::min(registered.find(':', start), registered.size());
        if (colon > start) prefixes.push_back(registered.substr(start, colon - start));
        start = colon + 1;
    }
    const std::string rootKey =
        host_.StartupInfo().RootKey
            ? Utf8(reinterpret_cast<const char16_t*>(host_.StartupInfo().RootKey))
            : std::string();
    return CompleteLine(lineBeforeCursor, commands, prefixes, StoredWaymarkNames(rootKey));
}

void Session::ChooseInDriveMenu(size_t side) {
    if (OpenPlugin(far::OPEN_DISKMENU, 0, side)) return;
    // A drive menu whose plugin opened nothing leaves its panel on the active panel's folder.
    const wm::String folder = host_.Panels().Active().Directory();
    FilePanel& panel = host_.Panels().Side(side);
    panel.SetDirectory(folder);
    panel.Redraw();
}

bool Session::OpenPlugin(int openFrom, far::INT_PTR item, size_t side) {
    Require(host_.Exports().OpenPluginW != nullptr, "the plugin has no OpenPluginW");
    MarkPluginCall();
    host_.RecordPluginCall("OpenPluginW", {std::to_string(openFrom),
                                           openFrom == far::OPEN_COMMANDLINE
                                               ? Utf8(reinterpret_cast<const char16_t*>(item))
                                               : std::to_string(item)});
    const far::HANDLE panel = host_.Exports().OpenPluginW(openFrom, item);
    // The dialogs the command ran, as the person saw them.
    const auto& screens = host_.DialogScreens();
    for (; shownScreens_ < screens.size(); ++shownScreens_) {
        if (mode_ == Mode::Screen) continue;
        for (const auto& row : screens[shownScreens_]) out_ << Utf8(row) << "\n";
    }
    if (panel == far::INVALID_HANDLE_VALUE) return false;
    if (!host_.OpenPluginPanel(side, panel)) {
        out_ << "(the plugin answered a panel handle that it cannot list: closed again)\n";
        return false;
    }
    out_ << "(the plugin opened its panel)\n";
    return true;
}

void Session::Expect(const std::vector<std::string>& words) {
    Require(words.size() >= 2, "expect what?");
    if (ExpectSide(words)) return;
    const std::string& what = words[1];
    if (what == "panel") {
        Require(words.size() == 4, "expect panel active|passive|left|right DIR");
        FilePanels& panels = host_.Panels();
        const std::map<std::string, FilePanel*> sides = {{"active", &panels.Active()},
                                                         {"passive", &panels.Passive()},
                                                         {"left", &panels.Left()},
                                                         {"right", &panels.Right()}};
        const auto side = sides.find(words[2]);
        Require(side != sides.end(), "expect panel active|passive|left|right DIR");
        const std::string shown = Utf8(side->second->ShownDirectory());
        Require(SameText(shown, words[3]), "the " + words[2] + " panel shows " + Quote(shown) +
                                               ", expected " + Quote(words[3]));
        return;
    }
    if (what == "registry" || (what == "no" && words.size() > 2 && words[2] == "registry")) {
        const bool absent = what == "no";
        const size_t at = absent ? 3 : 2;
        Require(words.size() == at + (absent ? 2 : 4),
                "expect registry KEY NAME TYPE DATA, or expect no registry KEY NAME");
        const auto value = QueryRegValue(words[at], words[at + 1]);
        const std::string name = words[at] + " " + Quote(words[at + 1]);
        if (absent) {
            Require(!value, name + " holds " + (value ? value->type + " " + value->data : ""));
            return;
        }
        Require(value.has_value(), name + " does not exist");
        Require(value->type == words[at + 2] && SameText(value->data, words[at + 3]),
                name + " holds " + value->type + " " + Quote(value->data));
        return;
    }
    const bool none = what == "no";
    const std::string kind = none ? (words.size() > 2 ? words[2] : "") : what;
    Require(kind == "message" || kind == "menu",
            "expect panel|plugin|folder|listing|marked|cursor|title|edited|message|menu|registry "
            "..., or expect no plugin|message|menu|registry ... (see help)");
    std::vector<std::vector<std::string>> shown;
    if (kind == "message") {
        for (size_t i = firstMessage_; i < host_.Messages().size(); ++i) {
            std::vector<std::string> lines;
            for (const auto& l : host_.Messages()[i].lines) lines.push_back(Utf8(l));
            shown.push_back(std::move(lines));
        }
    } else {
        for (size_t i = firstMenu_; i < host_.Menus().size(); ++i) {
            std::vector<std::string> lines;
            for (const auto& item : host_.Menus()[i].items) {
                lines.push_back(item.separator ? "-" : Utf8(item.text));
            }
            shown.push_back(std::move(lines));
        }
    }
    if (none) {
        Require(shown.empty(), "a " + kind + " was shown");
        return;
    }
    Require(!shown.empty(), "no " + kind + " was shown");
    const std::vector<std::string> expected(words.begin() + 2, words.end());
    // Each expectation checks the next message or menu shown since the last call into the plugin
    // (opening it, configuring it, or a file key on a panel).
    const auto& actual = shown.front();
    if (kind == "message") {
        firstMessage_++;
    } else {
        firstMenu_++;
    }
    bool same = actual.size() == expected.size();
    for (size_t i = 0; same && i < actual.size(); ++i) same = SameText(actual[i], expected[i]);
    if (!same) {
        std::string text;
        for (const auto& l : actual) text += " " + Quote(l);
        throw std::runtime_error("the " + kind + " shows" + text);
    }
}

int Session::Ask(const std::string& question, const std::vector<std::string>& captions) {
    out_ << question << " (" << AnswerHint(captions) << ")\n";
    for (;;) {
        const auto read = reader_->Read(question + " ", LineReader::Kind::Answer);
        if (read.status != LineReader::Result::Status::Line) return -1;
        if (const auto answer = ParseAnswer(read.text, captions)) return *answer;
        out_ << "  " << AnswerHint(captions) << "\n";
    }
}

int Session::OnMessage(const MessageCall& call, std::optional<int> queued) {
    const size_t buttons = static_cast<size_t>(std::max(0, call.buttons));
    const size_t body = call.lines.size() >= buttons ? call.lines.size() - buttons : 0;
    out_ << "+-- " << (call.lines.empty() ? "" : Utf8(call.lines[0]))
         << ((call.flags & far::FMSG_WARNING) ? " (warning)" : "")
         << (call.fromHost ? " (the host's own box)" : "") << "\n";
    for (size_t i = 1; i < body; ++i) out_ << "| " << Utf8(call.lines[i]) << "\n";
    if (buttons > 0) {
        out_ << "|";
        for (size_t i = body; i < call.lines.size(); ++i) {
            out_ << " " << i - body << ":[ " << Utf8(call.lines[i]) << " ]";
        }
        out_ << "\n";
    }
    int answer = -1;
    if (queued) {
        answer = *queued;
    } else if (mode_ == Mode::Interactive && buttons > 0) {
        std::vector<std::string> captions;
        for (size_t i = body; i < call.lines.size(); ++i) captions.push_back(Utf8(call.lines[i]));
        answer = Ask("+-- button?", captions);
    }
    out_ << "+-- answer " << answer << "\n";
    return answer;
}

int Session::OnMenu(const MenuCall& call, std::optional<int> queued) {
    out_ << "+== " << Utf8(call.title) << (call.fromHost ? " (the host's own menu)" : "") << "\n";
    for (size_t i = 0; i < call.items.size(); ++i) {
        const auto& item = call.items[i];
        out_ << "| " << i << ": " << (item.separator ? "----" : Utf8(item.text)) << "\n";
    }
    int answer = -1;
    if (queued) {
        answer = *queued;
    } else if (mode_ == Mode::Interactive) {
        std::vector<std::string> captions;
        for (const auto& item : call.items) captions.push_back(Utf8(item.text));
        answer = Ask("+== item?", captions);
    }
    out_ << "+== answer " << answer << "\n";
    return answer;
}

void Session::Help() {
    out_ << "A line that starts with the plugin's prefix and a colon goes to the plugin ("
         << Utf8(Prefixes()) << ":...). Other lines are commands:\n";
    for (const auto& [name, entry] : commands_) out_ << "  " << entry.first << "\n";
    out_ << "  expect panel active|passive|left|right DIR\n"
            "  expect message \"LINE\" ...   the next message the last command showed\n"
            "  expect menu \"ITEM\" ...      the next menu the last command showed (\"-\": "
            "separator)\n"
            "  expect no message|menu\n"
            "  expect registry KEY NAME TYPE DATA   (DATA as reg query prints it)\n"
            "  expect no registry KEY NAME\n"
            "  expect plugin SIDE | expect no plugin SIDE   whether SIDE shows a plugin panel\n"
            "  expect folder SIDE PATH      SIDE shows its file panel on PATH\n"
            "  expect listing SIDE NAME ... SIDE lists exactly these names, in order\n"
            "  expect marked SIDE NAME ...  the marked items of SIDE, in order\n"
            "  expect cursor [SIDE] NAME    the cursor is on NAME (on the active side)\n"
            "  expect title SIDE TEXT       the title of SIDE (a plugin panel's title, or folder)\n"
            "  expect edited NAME TEXT      the file F4 last copied for editing, and its text\n"
            "SIDE is active, passive, left or right.\n"
            "A script's run fails (exit code 1) when a line fails: an unknown or malformed\n"
            "command, a failed reg or an unmet expect. A message the plugin shows, an error\n"
            "message too, is not a failure of farhost: check it with expect message.\n"
            "Words are quoted as in a shell: 'single', \"double\" (\\\" and \\\\ inside), and a\n"
            "backslash before a blank or a quote.\n"
            "Dialog actions: type N \"TEXT\", set N \"TEXT\", click N, focus N, key NAME (Enter,\n"
            "  Ctrl+F4, ...), esc, resize W H, show. Items are numbered from 0.\n"
            "Between two file panels f5, f6 and f7 open the host's dialog (its edit line is item\n"
            "  2, its Copy, Move or OK button item 4) and f8 asks in a box; an existing target, a\n"
            "  folder that is not empty and errors ask in boxes too: queue the dialog actions and\n"
            "  message answers first (dialog key Enter, answer message 0).\n";
    out_ << "Keys act as in the host: Left/Right/Home/End/BS/Del in edit lines, Tab and the\n"
            "  arrows for the focus, Space, Alt+letter for hot keys, Ctrl+Down for an edit's\n"
            "  history (the host's own menu).\n";
}

}  // namespace farhost
