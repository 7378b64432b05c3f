// farhost's `options` command: the plugin's eleven options as it stores them in the registry,
// listed with their values and meanings, or one of them set by name.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace farhost {

// `args` are the words after "options": none lists, NAME VALUE sets (on/off/1/0 for a switch,
// any text for LastPanelDir). `key` is the options key ("HKCU\<RootKey>\Waymarks"); `captions`
// are the plugin's texts for the ten switches, in their order (fewer: no meaning shown).
// Returns 0, or 1 with the reason written to `out`.
int RunOptionsCommand(const std::vector<std::string>& args, const std::string& key,
                      const std::vector<std::string>& captions, std::ostream& out);

}  // namespace farhost
