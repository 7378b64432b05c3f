#include "farhost/session/Completion.h"

#include <algorithm>

#include "farhost/engine/Script.h"
#include "platform/Registry.h"

namespace farhost {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
    return text.size() >= start.size() && SameWord(text.substr(0, start.size()), start);
}

std::vector<std::string> Matching(const std::vector<std::string>& names, std::string_view word) {
    std::vector<std::string> found;
    for (const auto& name : names) {
        if (StartsWith(name, word)) found.push_back(name);
    }
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    return found;
}

}  // namespace

Completion CompleteLine(std::string_view line, const std::vector<std::string>& commands,
                        const std::vector<std::string>& prefixes,
                        const std::vector<std::string>& waymarks) {
    Completion completion;
    const size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) {
        completion.wordStart = line.size();
        completion.candidates = Matching(commands, "");
        completion.endsWord = true;
        return completion;
    }
    const size_t colon = line.find(':', start);
    const size_t blank = line.find_first_of(" \t", start);
    if (colon != std::string_view::npos && colon < blank) {
        const std::string_view prefix = line.substr(start, colon - start);
        const bool known = std::any_of(prefixes.begin(), prefixes.end(),
                                       [&](const std::string& p) { return SameWord(p, prefix); });
        if (!known) return completion;
        // "cd:name" jumps, "cd::name" stores: the name follows the colons.
        completion.wordStart = line.find_first_not_of(':', colon);
        if (completion.wordStart == std::string_view::npos) completion.wordStart = line.size();
        completion.candidates = Matching(waymarks, line.substr(completion.wordStart));
        return completion;
    }
    if (blank != std::string_view::npos) return completion;  // only command names
    completion.wordStart = start;
    completion.candidates = Matching(commands, line.substr(start));
    completion.endsWord = true;
    return completion;
}

std::vector<std::string> StoredWaymarkNames(const std::string& rootKey) {
    using namespace wm::platform;
    Registry& registry = CurrentRegistry();
    RegistryKey key;
    std::vector<std::string> names;
    if (registry.OpenKey(RegistryRoot::CurrentUser, wm::FromUtf8(rootKey) + u"\\Waymarksfolders",
                         key) != RegistryStatus::Ok) {
        return names;
    }
    wm::String name;
    for (uint32_t i = 0; registry.EnumSubKey(key, i, name) == RegistryStatus::Ok; ++i) {
        names.push_back(wm::ToUtf8(name));
    }
    return names;
}

}  // namespace farhost
