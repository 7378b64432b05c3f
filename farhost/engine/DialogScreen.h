// A dialog drawn as text at its place on the console, as DrawDialog (DialogView.h) draws it.
#pragma once

#include <vector>

#include "farhost/engine/HostDialog.h"

namespace farhost {

// One string per console row, trailing blanks removed.
std::vector<wm::String> DrawDialog(const HostDialog& dialog, far::COORD console);

}  // namespace farhost
