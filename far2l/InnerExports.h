// The plugin's exports in FAR 2's form, built under inner names for the bridge to call.
#pragma once

#include <type_traits>

#include "host/PluginW.h"

#define WM_BRIDGED(name, type) extern "C" std::remove_pointer_t<far::type> WmBridged##name

WM_BRIDGED(SetStartupInfoW, ExportSetStartupInfoW);
WM_BRIDGED(GetPluginInfoW, ExportGetPluginInfoW);
WM_BRIDGED(OpenPluginW, ExportOpenPluginW);
WM_BRIDGED(ConfigureW, ExportConfigureW);
WM_BRIDGED(ExitFARW, ExportExitFARW);
WM_BRIDGED(ClosePluginW, ExportClosePluginW);
WM_BRIDGED(GetFindDataW, ExportGetFindDataW);
WM_BRIDGED(FreeFindDataW, ExportFreeFindDataW);
WM_BRIDGED(SetDirectoryW, ExportSetDirectoryW);
WM_BRIDGED(MakeDirectoryW, ExportMakeDirectoryW);
WM_BRIDGED(DeleteFilesW, ExportDeleteFilesW);
WM_BRIDGED(GetFilesW, ExportGetFilesW);
WM_BRIDGED(PutFilesW, ExportPutFilesW);
WM_BRIDGED(ProcessKeyW, ExportProcessKeyW);
WM_BRIDGED(ProcessEventW, ExportProcessEventW);
WM_BRIDGED(GetOpenPluginInfoW, ExportGetOpenPluginInfoW);

#undef WM_BRIDGED
