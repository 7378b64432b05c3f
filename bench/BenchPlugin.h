// The plugin object a benchmark registers so that the settings store finds a host.
#pragma once

#include "framework/FarPlugin.h"

namespace wm::bench {

class BenchPlugin : public TFarPlugin {
public:
    Guid GetPluginId() override { return NullGuid; }
    void GetInfoStrings(String& title, String& description, String& author) override {
        title = description = author = u"bench";
    }
    void GetMenus(uint32_t&, TFarPluginMenu&, TFarPluginMenu&, TFarPluginMenu&, String&) override {}
    far::HANDLE Open(int, const Guid*, far::INT_PTR) override { return nullptr; }
};

}  // namespace wm::bench
