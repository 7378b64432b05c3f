#include "farhost/session/OptionsCommand.h"

#include <algorithm>
#include <ostream>
#include <sstream>

#include "farhost/engine/Script.h"
#include "farhost/session/RegCommand.h"

namespace farhost {
namespace {

struct Switch {
    const char* name;
    bool defaultValue;
};
// In the plugin's order, which is also the order of its captions.
constexpr Switch kSwitches[] = {
    {"SaveLastPanelDir", false},         {"UseSubstEngines", false},
    {"UseSubstEngine_Known", false},     {"UseSubstEngines_Env", false},
    {"UseSubstEngines_BatchEnv", false}, {"UseSubstEngines_Reg", false},
    {"AllowPathSuffix", false},          {"AllowPluginCalls", false},
    {"AllowFuzzySearch", true},          {"AllowSearchOverDir", false},
};
constexpr const char* kLastPanelDir = "LastPanelDir";

// A caption without its hot-key mark.
std::string Meaning(std::string caption) {
    caption.erase(std::remove(caption.begin(), caption.end(), '&'), caption.end());
    return caption;
}

std::string SwitchValue(const std::string& key, const Switch& option) {
    const auto value = QueryRegValue(key, option.name);
    if (!value) return std::string(option.defaultValue ? "on" : "off") + " (default)";
    if (value->type != "REG_QWORD" && value->type != "REG_DWORD") return "? (" + value->type + ")";
    return value->data == "0x0" ? "off" : "on";
}

// One line: the name, the value and, when known, what the option does.
void Line(std::ostream& out, const std::string& name, const std::string& value,
          const std::string& meaning) {
    out << "  " << name << std::string(name.size() < 26 ? 26 - name.size() : 1, ' ') << value;
    if (!meaning.empty()) {
        out << std::string(value.size() < 16 ? 16 - value.size() : 1, ' ') << meaning;
    }
    out << "\n";
}

int List(const std::string& key, const std::vector<std::string>& captions, std::ostream& out) {
    for (size_t i = 0; i < std::size(kSwitches); ++i) {
        Line(out, kSwitches[i].name, SwitchValue(key, kSwitches[i]),
             i < captions.size() ? Meaning(captions[i]) : std::string());
    }
    const auto last = QueryRegValue(key, kLastPanelDir);
    Line(out, kLastPanelDir, last ? "\"" + last->data + "\"" : "\"LastPanelDir\" (default)",
         "the group the panel showed last");
    return 0;
}

}  // namespace

int RunOptionsCommand(const std::vector<std::string>& args, const std::string& key,
                      const std::vector<std::string>& captions, std::ostream& out) {
    if (args.empty()) return List(key, captions, out);
    if (args.size() != 2) {
        out << "options takes nothing, or a name and a value (options AllowSearchOverDir on)\n";
        return 1;
    }
    std::ostringstream quiet;
    if (SameWord(args[0], kLastPanelDir)) {
        if (RunRegCommand({"add", key, "/v", kLastPanelDir, "/t", "REG_SZ", "/d", args[1], "/f"},
                          quiet) == 0)
            return 0;
        out << quiet.str();
        return 1;
    }
    const auto option = std::find_if(std::begin(kSwitches), std::end(kSwitches),
                                     [&](const Switch& s) { return SameWord(s.name, args[0]); });
    if (option == std::end(kSwitches)) {
        out << "no option " << args[0] << "; `options` lists them\n";
        return 1;
    }
    const std::string& value = args[1];
    const bool on = SameWord(value, "on") || value == "1";
    if (!on && !SameWord(value, "off") && value != "0") {
        out << "a switch is on or off, not " << value << "\n";
        return 1;
    }
    if (RunRegCommand(
            {"add", key, "/v", option->name, "/t", "REG_QWORD", "/d", on ? "1" : "0", "/f"},
            quiet) != 0) {
        out << quiet.str();
        return 1;
    }
    return 0;
}

}  // namespace farhost
