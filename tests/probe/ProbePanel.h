// The probe's own panel, for testing a host's plugin-panel calls.
#pragma once

#include "host/PluginW.h"

namespace wm {

// A new panel over a small tree held in memory:
//   alpha.txt ("alpha"), beta.txt ("beta"), group/ with inner.txt ("inner")
// Its items carry their position as UserData. It keeps its folder to itself (the module has no
// GetOpenPluginInfoW). GetFilesW writes the files' texts into the destination and clears
// PPIF_SELECTED on what it copied; PutFilesW reads files from the source folder (a move removes
// them). ProcessKeyW claims F6 (doing nothing) and Shift+F4 (the panel closes itself with
// FCTL_CLOSEPLUGIN); MakeDirectoryW refuses an empty name. Where the module exports
// GetOpenPluginInfoW, the panel tells its folder as CurDir and "Probe:FOLDER" as its title.
far::HANDLE OpenProbePanel();

}  // namespace wm
