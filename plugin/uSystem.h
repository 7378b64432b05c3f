// The shell's known folders.
#pragma once

#include "core/String.h"

namespace wm {

// The file-system path of the shell folder with this CSIDL number, or the empty text.
String GetKnownFolderPath(int folder);

}  // namespace wm
