// A plugin object for in-process framework tests, registered for the life of a fixture, with
// farhost playing the host.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "farhost/engine/Host.h"
#include "framework/FarPlugin.h"

namespace wm::test {

class TestPlugin : public TFarPlugin {
public:
    Guid GetPluginId() override { return NullGuid; }
    void GetInfoStrings(String& title, String& description, String& author) override {
        title = u"Test title";
        description = u"Test plugin";
        author = u"Tests";
    }
    void GetMenus(uint32_t& flagsOut, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                  TFarPluginMenu& diskMenu, String& prefixOut) override {
        ++getMenusCalls;
        flagsOut = flags;
        pluginMenu = pluginItems;
        configMenu = configItems;
        diskMenu = diskItems;
        prefixOut = prefix;
    }
    far::HANDLE Open(int openFrom, const Guid*, far::INT_PTR item) override {
        return open ? open(openFrom, item) : nullptr;
    }
    void Log(StringView text) override { logLines.emplace_back(text); }
    void GetStandardText(TFarStandardText id, String& text) override {
        if (failOkTextOnce && id == TFarStandardText::Ok) {
            failOkTextOnce = false;
            throw EFarError(u"no OK text");
        }
        TFarPlugin::GetStandardText(id, text);
    }

    uint32_t flags = 0;
    TFarPluginMenu pluginItems, configItems, diskItems;
    String prefix;
    int getMenusCalls = 0;
    std::vector<String> logLines;
    std::function<far::HANDLE(int, far::INT_PTR)> open;
    bool failOkTextOnce = false;
};

class FrameworkTest : public ::testing::Test {
protected:
    explicit FrameworkTest(farhost::Host::Options options = {}) : host(std::move(options)) {
        auto owned = std::make_unique<TestPlugin>();
        plugin = owned.get();
        TFarPlugin::Register(std::move(owned));
        plugin->SetStartupInfo(host.StartupInfo());
    }
    ~FrameworkTest() override { TFarPlugin::Unregister(); }

    farhost::Host host;
    TestPlugin* plugin = nullptr;
};

}  // namespace wm::test
