#include "framework/FarPlugin.h"

#include <cstring>

#include "platform/MessageBox.h"
#include "platform/Module.h"

namespace wm {
namespace {

// The single plugin object: empty until the plugin's own unit registers one.
constinit std::unique_ptr<TFarPlugin> g_plugin;

far::HostText const* NewHostStringArray(const TFarPlugin::TFarPluginMenu& menu) {
    if (menu.empty()) return nullptr;
    auto* strings = new far::HostText[menu.size()];
    for (size_t i = 0; i < menu.size(); ++i) {
        strings[i] = TFarModule::NewHostString(menu[i].Caption);
    }
    return strings;
}

void FreeHostStringArray(far::HostText const*& strings, int32_t count) {
    if (strings == nullptr) return;
    for (int32_t i = 0; i < count; ++i) {
        auto* text = const_cast<far::HostChar*>(strings[i]);
        TFarModule::FreeHostString(text);
    }
    delete[] strings;
    strings = nullptr;
}

}  // namespace

TFarPlugin::TFarPlugin() = default;

TFarPlugin::~TFarPlugin() {
    FreePluginInfoCache();
}

void TFarPlugin::FreePluginInfoCache() {
    if (!PluginInfoCached_) return;
    FreeHostStringArray(PluginInfoCache_.DiskMenuStrings, PluginInfoCache_.DiskMenuStringsNumber);
    FreeHostStringArray(PluginInfoCache_.PluginMenuStrings,
                        PluginInfoCache_.PluginMenuStringsNumber);
    FreeHostStringArray(PluginInfoCache_.PluginConfigStrings,
                        PluginInfoCache_.PluginConfigStringsNumber);
    auto* prefix = const_cast<far::HostChar*>(PluginInfoCache_.CommandPrefix);
    FreeHostString(prefix);
    PluginInfoCache_ = {};
    PluginInfoCached_ = false;
}

uint32_t TFarPlugin::GetMinHostVersion() {
    return far::MakeFarVersion(2, 0, 1847);
}
void TFarPlugin::Startup() {}
void TFarPlugin::Exit() {}
bool TFarPlugin::Configure(const Guid* /*guid*/, int /*itemNumber*/) {
    return false;
}
void TFarPlugin::Log(StringView /*text*/) {}

void TFarPlugin::GetStandardText(TFarStandardText id, String& text) {
    switch (id) {
        case TFarStandardText::Title: {
            String description, author;
            GetInfoStrings(text, description, author);
            break;
        }
        case TFarStandardText::ExceptionHeader:
            text = u"Exception occurred in function %s";
            break;
        case TFarStandardText::Ok:
            text = u"&OK";
            break;
        case TFarStandardText::Cancel:
            text = u"&Cancel";
            break;
        case TFarStandardText::Yes:
            text = u"&Yes";
            break;
        case TFarStandardText::No:
            text = u"&No";
            break;
    }
}

uint32_t TFarPlugin::GetVersion() {
    const auto version = platform::ReadFileVersion(platform::ModuleFileName());
    if (!version) return far::MakeFarVersion(0, 0, 0);
    return far::MakeFarVersion(version->mostSignificant >> 16, version->mostSignificant & 0xFFFF,
                               version->leastSignificant >> 16);
}

TFarPlugin& TFarPlugin::Instance() {
    if (!g_plugin) throw EFarPluginError(u"The plugin has not been initialized yet");
    return *g_plugin;
}

bool TFarPlugin::IsRegistered() {
    return g_plugin != nullptr;
}

void TFarPlugin::Register(std::unique_ptr<TFarPlugin> plugin) {
    if (g_plugin) throw EFarPluginError(u"The plugin has already been initialized");
    g_plugin = std::move(plugin);
}

std::unique_ptr<TFarPlugin> TFarPlugin::Unregister() {
    return std::move(g_plugin);
}

void TFarPlugin::SetStartupInfo(const far::PluginStartupInfo& info) {
    std::memcpy(&StartupInfo_, &info, sizeof StartupInfo_);
    if (info.FSF != nullptr) {
        std::memcpy(&StandardFunctions_, info.FSF, sizeof StandardFunctions_);
    } else {
        StandardFunctions_ = {};
    }
    StartupInfo_.FSF = &StandardFunctions_;
    Startup();
}

void TFarPlugin::GetPluginInfo(far::PluginInfo& info) {
    if (!PluginInfoCached_) {
        uint32_t flags = 0;
        TFarPluginMenu pluginMenu, configMenu, diskMenu;
        String prefix;
        GetMenus(flags, pluginMenu, configMenu, diskMenu, prefix);

        far::PluginInfo cache{};
        cache.StructSize = sizeof(far::PluginInfo);
        cache.Flags = flags;
        cache.DiskMenuStrings = NewHostStringArray(diskMenu);
        cache.DiskMenuStringsNumber = static_cast<int32_t>(diskMenu.size());
        cache.PluginMenuStrings = NewHostStringArray(pluginMenu);
        cache.PluginMenuStringsNumber = static_cast<int32_t>(pluginMenu.size());
        cache.PluginConfigStrings = NewHostStringArray(configMenu);
        cache.PluginConfigStringsNumber = static_cast<int32_t>(configMenu.size());
        cache.CommandPrefix = prefix.empty() ? nullptr : NewHostString(prefix);
        PluginInfoCache_ = cache;
        PluginInfoCached_ = true;
    }
    std::memcpy(&info, &PluginInfoCache_, sizeof info);
}

void TFarPlugin::ReportException(const Exception& error, StringView functionName) {
    if (dynamic_cast<const EAbort*>(&error) != nullptr) return;
    // Before the host has handed its tables over, only the system's message box can tell.
    if (!IsRegistered() || Instance().StartupInfo().Message == nullptr) {
        const String text = u"Exception occurred in " + String(functionName) + u"\r\n" +
                            error.ClassName() + u"\r\n" + error.Message();
        platform::ShowLastResortMessage(
            u"Plugin error", text, platform::MessageBoxTaskModal | platform::MessageBoxIconError);
        return;
    }
    const String name(functionName);
    try {
        LogFmt(u"%s: Exception %s: %s", {name, error.ClassName(), error.Message()});
        std::vector<String> lines{
            TFarModule::GetStandardText(TFarStandardText::Title),
            Format(TFarModule::GetStandardText(TFarStandardText::ExceptionHeader), {name}),
            error.ClassName()};
        for (auto& line : SplitLines(error.Message())) lines.push_back(std::move(line));
        lines.push_back(TFarModule::GetStandardText(TFarStandardText::Ok));
        ShowMessage(lines, far::FMSG_WARNING, 1);
    } catch (...) {
        try {
            ShowMessage(
                {TFarModule::GetStandardText(TFarStandardText::Title),
                 Format(TFarModule::GetStandardText(TFarStandardText::ExceptionHeader), {name}),
                 error.ClassName(), error.Message(),
                 TFarModule::GetStandardText(TFarStandardText::Ok)},
                far::FMSG_WARNING, 1);
        } catch (...) {
            // Nothing is left to report with; the export still returns its failure result.
        }
    }
}

bool NextLine(const char16_t*& position, const char16_t* end, String& line) {
    if (position >= end) return false;
    const char16_t* start = position;
    while (position < end && *position != u'\r' && *position != u'\n') ++position;
    line.assign(start, position);
    if (position < end) {
        if (*position++ == u'\r' && position < end && *position == u'\n') ++position;
    }
    return true;
}

std::vector<String> SplitLines(StringView text) {
    std::vector<String> lines;
    const char16_t* position = text.data();
    const char16_t* end = text.data() + text.size();
    String line;
    while (NextLine(position, end, line)) lines.push_back(line);
    return lines;
}

}  // namespace wm
