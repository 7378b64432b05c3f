// The full screen and the line editor, from the terminal module beside the farhost program.
// Without the module farhost still runs: the full screen is refused and lines are read plainly.
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "farhost/screen/Terminal.h"
#include "farhost/session/LineReader.h"
#include "farhost/terminal/TerminalModule.h"
#include "platform/DynamicLibrary.h"

namespace farhost {
namespace {

std::filesystem::path ProgramFolder() {
    std::error_code error;
    const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : program.parent_path();
}

struct LoadedModule {
    std::unique_ptr<wm::platform::DynamicLibrary> library;
    const TerminalModule* table = nullptr;
    std::string failure;
};

LoadedModule* Load() {
    auto* module = new LoadedModule;
    const auto path = ProgramFolder() / kTerminalModuleFile;
    try {
        module->library = std::make_unique<wm::platform::DynamicLibrary>(path.u16string());
        module->table =
            static_cast<const TerminalModule*>(module->library->Symbol(kTerminalModuleTable));
        if (!module->table) module->failure = path.string() + " has no " + kTerminalModuleTable;
    } catch (const std::exception& error) {
        module->failure = error.what();
    }
    return module;
}

// Loaded on first use and never unloaded: the objects it makes live in its code, and what its
// libraries keep until the process ends stays reachable from their globals.
const LoadedModule& Module() {
    static const LoadedModule* const loaded = Load();
    return *loaded;
}

}  // namespace

std::unique_ptr<Terminal> OpenTerminal() {
    const LoadedModule& module = Module();
    if (!module.table) throw std::runtime_error("no terminal module: " + module.failure);
    return module.table->openTerminal();
}

std::unique_ptr<LineReader> OpenTerminalReader(std::istream& in, std::ostream& out,
                                               CompletionSource complete) {
    const LoadedModule& module = Module();
    if (!module.table) return std::make_unique<StreamLineReader>(in, out);
    return module.table->openReader(out, std::move(complete));
}

}  // namespace farhost
