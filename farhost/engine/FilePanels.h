// The host's two file panels over the real file system, as the plugin sees them through
// Control: their geometry, directory and items, and changing directory.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/String.h"
#include "farhost/engine/PanelItems.h"
#include "farhost/engine/PanelScreen.h"
#include "host/PluginW.h"

namespace farhost {

class FilePanel {
public:
    explicit FilePanel(wm::String directory);

    const wm::String& Directory() const { return directory_; }
    // The folder the screen shows: FCTL_SETPANELDIR moves the panel without drawing it again,
    // as the host does; drawing (the host's own commands, FCTL_REDRAWPANEL) shows the move.
    const wm::String& ShownDirectory() const { return shownDirectory_; }
    void Redraw() { shownDirectory_ = directory_; }
    const std::vector<PanelEntry>& Entries() const { return entries_; }
    int CurrentItem() const { return currentItem_; }
    void SetCurrentItem(int index);
    // The index of the item called `name`, or -1.
    int Find(wm::StringView name) const;
    void SetMarked(size_t index, bool marked) { entries_.at(index).marked = marked; }
    // The marked items, or the current one.
    std::vector<PanelEntry> Chosen() const;
    PanelView View(bool shown = true) const;

    // Shows `directory` when it exists; false (and nothing changes) otherwise.
    bool SetDirectory(wm::StringView directory);
    // Reads the directory again, keeping the cursor and the marks on the same names where it can.
    void Refresh();

private:
    wm::String directory_;
    wm::String shownDirectory_;
    std::vector<PanelEntry> entries_;
    int currentItem_ = 0;
};

class FilePanels {
public:
    // Both panels start in `directory`; the left one is active.
    explicit FilePanels(wm::String directory);

    FilePanel& Active() { return panels_[active_]; }
    FilePanel& Passive() { return panels_[1 - active_]; }
    FilePanel& Left() { return panels_[0]; }
    FilePanel& Right() { return panels_[1]; }
    // Side 0 is the left panel, side 1 the right one.
    FilePanel& Side(size_t side) { return panels_.at(side); }
    const FilePanel& Side(size_t side) const { return panels_.at(side); }
    size_t ActiveSide() const { return active_; }
    void SetActiveSide(size_t side) { active_ = side == 0 ? 0 : 1; }
    bool LeftIsActive() const { return active_ == 0; }
    void SwitchActive() { active_ = 1 - active_; }

    // Answers the panel commands of Control for PANEL_ACTIVE and PANEL_PASSIVE.
    int32_t Control(far::HANDLE panel, int32_t command, int32_t param1, far::LONG_PTR param2);

    // Both panels side by side as text, `width` columns in all.
    std::string Draw(int width = 80, int height = 12) const;

private:
    std::array<FilePanel, 2> panels_;
    size_t active_ = 0;
};

}  // namespace farhost
