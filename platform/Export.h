// Marks a function as one of the module's exports. Windows takes the export list from the
// module's .def file; elsewhere the symbol is made visible and a version script hides the rest.
#pragma once

#ifdef _WIN32
#define WM_EXPORT extern "C"
#else
#define WM_EXPORT extern "C" __attribute__((visibility("default")))
#endif
