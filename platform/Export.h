// Marks a function as one of the module's exports. Windows takes the export list from the
// module's .def file; elsewhere the symbol is made visible and a version script hides the rest.
//
// A module that meets its host through a bridge (far2l) builds the plugin's exports with
// WM_BRIDGED_EXPORTS: they keep the host interface under inner names, called by the bridge,
// whose own exports take the host's names.
#pragma once

#if defined(WM_BRIDGED_EXPORTS)
#define WM_EXPORT extern "C"
#define WM_EXPORT_NAME(name) WmBridged##name
#elif defined(_WIN32)
#define WM_EXPORT extern "C"
#define WM_EXPORT_NAME(name) name
#else
#define WM_EXPORT extern "C" __attribute__((visibility("default")))
#define WM_EXPORT_NAME(name) name
#endif
