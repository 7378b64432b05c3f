// farhost: plays the host for a plugin module, for a person at the terminal or for a script.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "farhost/engine/Host.h"
#include "farhost/engine/Script.h"
#include "farhost/screen/FullScreen.h"
#include "farhost/screen/Terminal.h"
#include "farhost/session/CommandHistory.h"
#include "farhost/session/LineReader.h"
#include "farhost/session/RegCommand.h"
#include "farhost/session/Session.h"
#include "platform/Console.h"

namespace {

constexpr const char* kUsage =
    "usage: farhost --plugin PATH [--script FILE] [--prompt] [--language NAME] [--sandbox]\n"
    "       farhost reg query|add|delete KEY [/v NAME | /ve | /va] [/t TYPE] [/d DATA] [/f] [/s]\n"
    "  Loads the plugin module and plays the host for it. Without --script, commands come\n"
    "  from a person at the terminal, or from standard input when it is not a terminal.\n"
    "  At a terminal farhost shows the host's full screen: two panels, the command line and\n"
    "  the key bar (F1 lists the keys, F10 quits); --prompt reads command lines instead.\n"
    "  Type 'help' on either command line for the commands. --sandbox starts the panels in a "
    "fresh\n"
    "  temporary folder ${ROOT} and gives the plugin a fresh registry key ${ROOTKEY} (below\n"
    "  HKEY_CURRENT_USER); both are removed at the end.\n";

// A fresh folder and registry key for one run, removed when it ends.
class Sandbox {
public:
    Sandbox() {
        std::random_device random;
        const std::string id = std::to_string(random()) + std::to_string(random());
        root_ = std::filesystem::temp_directory_path() / ("farhost-" + id);
        std::filesystem::create_directories(root_);
        rootKey_ = "Software\\farhost-sandbox\\" + id;
    }
    ~Sandbox() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
        std::ostringstream quiet;
        farhost::RunRegCommand({"delete", "HKCU\\" + rootKey_, "/f"}, quiet);
    }
    Sandbox(const Sandbox&) = delete;
    Sandbox& operator=(const Sandbox&) = delete;

    const std::filesystem::path& Root() const { return root_; }
    const std::string& RootKey() const { return rootKey_; }

private:
    std::filesystem::path root_;
    std::string rootKey_;
};

// A wrong command line: the reason and the usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The host's exit: the plugin panels close, then ExitFARW.
void StopPlugin(farhost::Host& host) {
    host.ClosePluginPanels();
    if (host.Exports().ExitFARW) host.Exports().ExitFARW();
}

int RunHost(const std::vector<std::string>& args) {
    std::string plugin, script, language = "English";
    bool sandboxed = false, prompt = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const auto value = [&]() -> std::string {
            if (i + 1 >= args.size()) throw UsageError(args[i] + " needs a value");
            return args[++i];
        };
        if (args[i] == "--plugin") {
            plugin = value();
        } else if (args[i] == "--script") {
            script = value();
        } else if (args[i] == "--language") {
            language = value();
        } else if (args[i] == "--prompt") {
            prompt = true;
        } else if (args[i] == "--sandbox") {
            sandboxed = true;
        } else if (args[i] == "--help" || args[i] == "-h") {
            std::cout << kUsage;
            return 0;
        } else {
            throw UsageError("unknown argument " + args[i]);
        }
    }
    if (plugin.empty()) throw UsageError("--plugin is required");

    std::optional<Sandbox> sandbox;
    farhost::Host::Options options;
    options.language = wm::FromUtf8(language);
    if (sandboxed) {
        sandbox.emplace();
        options.panelDirectory = sandbox->Root().u16string();
        options.rootKey = wm::FromUtf8(sandbox->RootKey());
    }
    farhost::Host host(options);
    host.LoadPlugin(std::filesystem::path(wm::FromUtf8(plugin)));
    host.StartPlugin();
    if (const farhost::LanguageFile* file = host.CurrentLanguageFile()) {
        const std::string chosen = wm::ToUtf8(file->Language());
        if (!farhost::SameWord(std::string_view(chosen).substr(0, language.size()), language)) {
            std::cerr << "farhost: no " << language << " language file; the plugin speaks "
                      << chosen << "\n";
        }
    }

    const bool interactive = script.empty() && wm::platform::StandardInputIsTerminal();
    if (interactive && !prompt && wm::platform::StandardOutputIsTerminal()) {
        std::unique_ptr<farhost::Terminal> terminal;
        try {
            terminal = farhost::OpenTerminal();
        } catch (const std::exception& error) {
            std::cerr << "farhost: " << error.what() << "; reading command lines instead\n";
        }
        if (terminal) {
            farhost::FullScreen screen(host, *terminal);
            if (sandbox) {
                screen.GetSession().SetVariable("ROOT", wm::ToUtf8(sandbox->Root().u16string()));
                screen.GetSession().SetVariable("ROOTKEY", sandbox->RootKey());
            }
            const auto historyFile = farhost::CommandHistoryFile();
            if (!historyFile.empty())
                screen.SetCommandHistory(farhost::LoadCommandHistory(historyFile));
            screen.Run();
            if (!historyFile.empty())
                farhost::SaveCommandHistory(historyFile, screen.CommandHistory());
            StopPlugin(host);
            return 0;
        }
    }
    farhost::Session session(
        host, std::cout, std::cin,
        interactive ? farhost::Session::Mode::Interactive : farhost::Session::Mode::Script);
    if (sandbox) {
        session.SetVariable("ROOT", wm::ToUtf8(sandbox->Root().u16string()));
        session.SetVariable("ROOTKEY", sandbox->RootKey());
    }
    int failures = 0;
    if (interactive) {
        const farhost::LanguageFile* file = host.CurrentLanguageFile();
        std::cout << "farhost: " << plugin << " loaded"
                  << (file ? ", messages in " + wm::ToUtf8(file->Language()) : std::string())
                  << ". Type 'help' for the commands.\n";
        const auto reader = farhost::OpenTerminalReader(
            std::cin, std::cout,
            [&session](const std::string& before) { return session.Complete(before); });
        session.SetLineReader(*reader);
        std::string shownPanels;
        while (!session.Finished()) {
            // The panels again only when they changed (`panels` shows them on demand).
            if (const std::string panels = host.DrawPanels(); panels != shownPanels) {
                std::cout << "\n" << panels;
                shownPanels = panels;
            }
            const auto read = reader->Read("farhost> ", farhost::LineReader::Kind::Command);
            if (read.status == farhost::LineReader::Result::Status::End) break;
            if (read.status == farhost::LineReader::Result::Status::Line)
                session.Execute(read.text);
        }
    } else if (!script.empty()) {
        std::ifstream file(std::filesystem::path(wm::FromUtf8(script)));
        if (!file) throw std::runtime_error("cannot read " + script);
        failures = session.Run(file, true);
    } else {
        failures = session.Run(std::cin, true);
    }
    StopPlugin(host);
    if (!interactive) {
        std::cout << (failures == 0 ? "farhost: all lines succeeded\n"
                                    : "farhost: " + std::to_string(failures) + " line(s) failed\n");
    }
    return failures == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::vector<std::string> args(argv + 1, argv + argc);
        if (!args.empty() && args[0] == "reg") {
            return farhost::RunRegCommand(std::vector<std::string>(args.begin() + 1, args.end()),
                                          std::cout);
        }
        return RunHost(args);
    } catch (const UsageError& error) {
        std::cerr << "farhost: " << error.what() << "\n" << kUsage;
        return 2;
    } catch (const std::exception& error) {
        std::cerr << "farhost: " << error.what() << "\n";
        return 2;
    }
}
