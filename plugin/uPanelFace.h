// What the host shows of the waymarks panel besides its items: a view mode of its own with the
// name and directory columns, and the key bar's labels for the panel's own commands.
#pragma once

#include <array>

#include "core/String.h"
#include "host/PluginW.h"

namespace wm {

class TWaymarksPanelFace {
public:
    // The host's mode number the panel starts in: the slot of the host's own descriptions view,
    // so that Ctrl+6 comes back to it and the other view keys keep the host's modes.
    static constexpr int ModeNumber = 6;

    // Takes the texts from the language file.
    TWaymarksPanelFace();
    TWaymarksPanelFace(const TWaymarksPanelFace&) = delete;
    TWaymarksPanelFace& operator=(const TWaymarksPanelFace&) = delete;

    // Points the host's record at the modes, the start mode and the key bar, which live as long
    // as the face.
    void Fill(far::OpenPluginInfo& info) const;

private:
    std::array<String, 2> ColumnTitleTexts;
    std::array<far::HostText, 2> ColumnTitles{};
    std::array<far::PanelMode, ModeNumber + 1> Modes{};
    std::array<String, 6> KeyTexts;
    far::KeyBarTitles KeyBar{};
};

}  // namespace wm
