// The five plugin-level exports: each forwards to the registered plugin object.
#include "framework/FarExportGuard.h"
#include "platform/Export.h"

using namespace wm;

WM_EXPORT void WM_EXPORT_NAME(SetStartupInfoW)(const far::PluginStartupInfo* info) {
    RunPluginExport(u"SetStartupInfo", u"SetStartupInfo",
                    [&] { TFarPlugin::Instance().SetStartupInfo(*info); });
}

WM_EXPORT void WM_EXPORT_NAME(GetPluginInfoW)(far::PluginInfo* info) {
    RunPluginExport(u"GetPluginInfoW", u"GetPluginInfoW",
                    [&] { TFarPlugin::Instance().GetPluginInfo(*info); });
}

WM_EXPORT far::HANDLE WM_EXPORT_NAME(OpenPluginW)(int32_t openFrom, far::INT_PTR item) {
    far::HANDLE handle = far::INVALID_HANDLE_VALUE;
    RunPluginExport(u"OpenW", u"OpenW",
                    [&] { handle = TFarPlugin::Instance().Open(openFrom, nullptr, item); });
    return handle;
}

WM_EXPORT int32_t WM_EXPORT_NAME(ConfigureW)(int32_t itemNumber) {
    int32_t result = 0;
    RunPluginExport(u"ConfigureW", u"ConfigureW", [&] {
        result = TFarPlugin::Instance().Configure(nullptr, itemNumber) ? 1 : 0;
    });
    return result;
}

WM_EXPORT void WM_EXPORT_NAME(ExitFARW)() {
    RunPluginExport(u"ExitFARW", u"ExitFARW", [] { TFarPlugin::Instance().Exit(); });
}
