// File-system paths of the shell's special folders, named by their CSIDL numbers.
#pragma once

#include "core/String.h"

namespace wm::platform {

// The folder's path as the shell gives it (no trailing separator added), or the empty text for
// a folder without one. Windows asks the shell (SHGetFolderLocation, SHGetPathFromIDListW).
// Elsewhere the folders with an obvious counterpart are answered: the profile is the home
// directory; desktop, documents, music, videos, pictures and templates are the XDG user
// directories ($XDG_CONFIG_HOME/user-dirs.dirs); application data, local application data and
// the internet cache are $XDG_CONFIG_HOME, $XDG_DATA_HOME and $XDG_CACHE_HOME. Every other
// folder gives the empty text.
String KnownFolderPath(int folder);

}  // namespace wm::platform
