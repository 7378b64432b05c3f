// Where far2l keeps a user's settings, and the plugin's store inside it.
#pragma once

#include <string>

namespace wm::bridge {

// $FARSETTINGS/.config when FARSETTINGS is an absolute path (far2l -u sets it), else
// $XDG_CONFIG_HOME/far2l, else ~/.config/far2l. Empty when there is no home either.
std::string Far2lProfileFolder();

// The plugin's store: plugins/waymarks/waymarks.sqlite3 in the profile.
std::string StoreFile();

}  // namespace wm::bridge
