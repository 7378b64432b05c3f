// A dialog drawn as text at its place on the console: frames with their titles, labels with
// their alignment, separators, edits with their text, check boxes "[x]", radio buttons "(•)",
// buttons "[ OK ]" ("{ OK }" for the default button) with centred groups placed. Hidden items
// are left out; a disabled button, check box or radio button has "<" and ">" for brackets, a
// disabled edit is filled with '░' instead of '·'.
#pragma once

#include <vector>

#include "farhost/lib/HostDialog.h"

namespace farhost {

// One string per console row, trailing blanks removed.
std::vector<wm::String> DrawDialog(const HostDialog& dialog, far::COORD console);

}  // namespace farhost
