#include "plugin/uPlugin.h"

#include <iterator>

#include "plugin/uMessages.h"
#include "plugin/uOptionsUI.h"
#include "plugin/uPanel.h"
#include "plugin/uPluginConsts.h"
#include "plugin/uTasks.h"

namespace wm {

Guid TPlugin::GetPluginId() {
    return PluginId;
}

void TPlugin::GetInfoStrings(String& title, String& description, String& author) {
    title = PluginTitle;
    description = PluginTitle;
    author = PluginAuthor;
}

void TPlugin::GetMenus(uint32_t& /*flags*/, TFarPluginMenu& pluginMenu, TFarPluginMenu& configMenu,
                       TFarPluginMenu& diskMenu, String& prefix) {
    const String title = GetMessageText(MTitle);
    pluginMenu = {{title, PluginMenuId}};
    configMenu = {{title, ConfigMenuId}};
    diskMenu = pluginMenu;
    prefix = CommandPrefix;
}

// The host takes every answer but INVALID_HANDLE_VALUE, the null handle included, as a new
// plugin panel: an open that makes no panel must answer INVALID_HANDLE_VALUE.
far::HANDLE TPlugin::Open(int openFrom, const Guid* /*guid*/, far::INT_PTR item) {
    switch (openFrom) {
        case far::OPEN_COMMANDLINE: {
            const String command = FromHostString(reinterpret_cast<const far::HostChar*>(item));
            if (command.empty()) break;
            TWaymarks::ExecuteCommandLine(command);
            return far::INVALID_HANDLE_VALUE;
        }
        case far::OPEN_PLUGINSMENU:
        case far::OPEN_DISKMENU:
        case far::OPEN_SHORTCUT:
            break;
        default:
            return far::INVALID_HANDLE_VALUE;
    }
    // The host owns the panel from here and deletes it through ClosePluginW.
    return TWaymarks::CreatePanel({}).release()->Handle();
}

bool TPlugin::Configure(const Guid* /*guid*/, int /*itemNumber*/) {
    return TOptionsDialog::ConfigureOptions();
}

// The log lines go nowhere.
void TPlugin::Log(StringView /*text*/) {}

void TPlugin::GetStandardText(TFarStandardText id, String& text) {
    // Indexed by the standard text's id.
    static constexpr TMessage messages[] = {MTitle, MExceptionHeader, MOk, MCancel, MYes, MNo};
    const auto index = static_cast<size_t>(id);
    if (index < std::size(messages)) {
        text = GetMessageText(messages[index]);
    } else {
        TFarPlugin::GetStandardText(id, text);
    }
}

}  // namespace wm
