#include "farhost/session/CommandLine.h"

#include <algorithm>

namespace farhost {
namespace {

char16_t Lower(char16_t c) {
    if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c - u'A' + u'a');
    if (c >= 0x410 && c <= 0x42F) return static_cast<char16_t>(c + 0x20);  // Cyrillic
    return c;
}

bool EqualIgnoringCase(wm::StringView a, wm::StringView b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(),
                      [](char16_t x, char16_t y) { return Lower(x) == Lower(y); });
}

}  // namespace

std::optional<PrefixCommand> SplitPrefixCommand(wm::StringView line) {
    const auto start = line.find_first_not_of(u" \t");
    if (start == wm::StringView::npos) return std::nullopt;
    line.remove_prefix(start);
    const auto colon = line.find(u':');
    if (colon == wm::StringView::npos || colon == 0 || colon > 64) return std::nullopt;
    const wm::StringView prefix = line.substr(0, colon);
    if (prefix.find_first_of(u" \t/") != wm::StringView::npos) return std::nullopt;
    wm::StringView text = line.substr(colon + 1);
    const auto end = text.find_last_not_of(u" \t\r\n");
    text = end == wm::StringView::npos ? wm::StringView() : text.substr(0, end + 1);
    return PrefixCommand{wm::String(prefix), wm::String(text)};
}

bool MatchesPrefix(wm::StringView prefix, wm::StringView registered) {
    while (!registered.empty()) {
        const auto colon = registered.find(u':');
        if (EqualIgnoringCase(prefix, registered.substr(0, colon))) return true;
        if (colon == wm::StringView::npos) break;
        registered.remove_prefix(colon + 1);
    }
    return false;
}

}  // namespace farhost
