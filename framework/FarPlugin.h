// The plugin object the exports forward to, its single registered instance, and the
// exception reporter every export uses.
#pragma once

#include <memory>
#include <vector>

#include "core/Exceptions.h"
#include "core/Guid.h"
#include "framework/FarModule.h"

namespace wm {

class TFarPlugin : public TFarModule {
public:
    struct TFarPluginMenuItem {
        String Caption;
        Guid Id;
    };
    using TFarPluginMenu = std::vector<TFarPluginMenuItem>;

    TFarPlugin();
    virtual ~TFarPlugin();
    TFarPlugin(const TFarPlugin&) = delete;
    TFarPlugin& operator=(const TFarPlugin&) = delete;

    virtual Guid GetPluginId() = 0;
    virtual void GetInfoStrings(String& title, String& description, String& author) = 0;
    virtual void GetMenus(uint32_t& flags, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                          TFarPluginMenu& diskMenu, String& prefix) = 0;
    virtual far::HANDLE Open(int openFrom, const Guid* guid, far::INT_PTR item) = 0;
    virtual uint32_t GetMinHostVersion();
    virtual void Startup();
    virtual void Exit();
    virtual bool Configure(const Guid* guid, int itemNumber);
    virtual void Log(StringView text);
    // Leaves `text` untouched for an unknown id.
    virtual void GetStandardText(TFarStandardText id, String& text);
    virtual uint32_t GetVersion();

    // The single instance; raises EFarPluginError while none is registered.
    static TFarPlugin& Instance();
    static bool IsRegistered();
    // Stores the single instance; raises EFarPluginError when one is already registered.
    static void Register(std::unique_ptr<TFarPlugin> plugin);
    // Hands the instance back (module unload frees it this way).
    static std::unique_ptr<TFarPlugin> Unregister();

    // SetStartupInfoW: copies both host tables and points FSF at the own copy.
    void SetStartupInfo(const far::PluginStartupInfo& info);
    // GetPluginInfoW: built once from GetMenus, then copied.
    void GetPluginInfo(far::PluginInfo& info);

    const far::PluginStartupInfo& StartupInfo() const { return StartupInfo_; }

    // Shows an exception to the user (silently drops EAbort); never raises.
    static void ReportException(const Exception& error, StringView functionName);

private:
    void FreePluginInfoCache();

    far::PluginStartupInfo StartupInfo_{};
    far::FarStandardFunctions StandardFunctions_{};
    bool PluginInfoCached_ = false;
    far::PluginInfo PluginInfoCache_{};
};

// Splits a text into lines at CR, LF or CR LF. Returns false when `position` reached `end`.
bool NextLine(const char16_t*& position, const char16_t* end, String& line);
std::vector<String> SplitLines(StringView text);

}  // namespace wm
