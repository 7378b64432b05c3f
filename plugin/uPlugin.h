// The plugin object: who the plugin is, its menus and prefix, and its language texts.
#pragma once

#include "framework/FarPlugin.h"

namespace wm {

class TPlugin : public TFarPlugin {
public:
    Guid GetPluginId() override;
    void GetInfoStrings(String& title, String& description, String& author) override;
    void GetMenus(uint32_t& flags, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                  TFarPluginMenu& diskMenu, String& prefix) override;
    far::HANDLE Open(int openFrom, const Guid* guid, far::INT_PTR item) override;
    bool Configure(const Guid* guid, int itemNumber) override;
    void Log(StringView text) override;
    void GetStandardText(TFarStandardText id, String& text) override;
};

}  // namespace wm
