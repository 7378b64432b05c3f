// Completion of a farhost command line: command names for the first word, stored waymark names
// after a plugin prefix ("cd:").
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace farhost {

struct Completion {
    size_t wordStart = 0;                 // where the word being completed starts
    std::vector<std::string> candidates;  // whole words, sorted
    bool endsWord = false;                // a blank follows a single candidate
};

// The candidates for the word that ends `line` (the text before the cursor); case is ignored.
Completion CompleteLine(std::string_view line, const std::vector<std::string>& commands,
                        const std::vector<std::string>& prefixes,
                        const std::vector<std::string>& waymarks);

// The longest start the candidates share (inline: the terminal module uses it too).
inline std::string CommonStart(const std::vector<std::string>& candidates) {
    if (candidates.empty()) return {};
    std::string common = candidates.front();
    for (const auto& candidate : candidates) {
        size_t same = 0;
        while (same < common.size() && same < candidate.size() && common[same] == candidate[same])
            ++same;
        common.resize(same);
    }
    return common;
}

// The names of the waymarks the plugin stores below HKCU\<rootKey>\Waymarksfolders.
std::vector<std::string> StoredWaymarkNames(const std::string& rootKey);

}  // namespace farhost
