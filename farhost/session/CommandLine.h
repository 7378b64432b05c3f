// The host's command line: which text goes to a plugin, and with what.
#pragma once

#include <optional>

#include "core/String.h"

namespace farhost {

struct PrefixCommand {
    wm::String prefix;  // as typed
    wm::String text;    // what the plugin receives after the colon
};

// Splits "prefix:text" as the host does: leading blanks dropped, the prefix is the text before
// the first colon (1 to 64 characters, no blank or "/"), the text keeps its leading blanks and
// loses trailing blanks, tabs, CR and LF. nullopt when the line has no such prefix.
std::optional<PrefixCommand> SplitPrefixCommand(wm::StringView line);

// True when `prefix` is one of the colon-separated prefixes a plugin registered, compared
// without regard to case.
bool MatchesPrefix(wm::StringView prefix, wm::StringView registered);

}  // namespace farhost
