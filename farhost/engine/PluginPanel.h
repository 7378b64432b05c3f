// A plugin's own panel on one side of the host: the items the host copied from GetFindDataW,
// the panel's info, the cursor and the marks, and the Control commands that read them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/String.h"
#include "farhost/engine/HostRules.h"
#include "farhost/engine/PanelItems.h"
#include "farhost/engine/PanelScreen.h"
#include "host/PluginW.h"

namespace farhost {

class Host;

class PluginPanel {
public:
    PluginPanel(Host& host, far::HANDLE handle);
    PluginPanel(const PluginPanel&) = delete;
    PluginPanel& operator=(const PluginPanel&) = delete;

    far::HANDLE Handle() const { return handle_; }
    // False once ClosePluginW has been called: the handle is not used again.
    bool IsOpen() const { return open_; }

    // Reads the items (GetFindDataW, then FreeFindDataW) and the panel's info again, keeping
    // the cursor on the same name where it can and, with `keepMarks`, the marks. False when
    // GetFindDataW fails; nothing changes then.
    bool Read(bool keepMarks);
    const rules::PanelInfo& Info() const { return info_; }
    const std::vector<PanelEntry>& Entries() const { return entries_; }
    int CurrentItem() const { return currentItem_; }
    int TopItem() const { return topItem_; }
    void SetCurrentItem(int index);
    // The index of the item shown or named `name`, or -1.
    int Find(wm::StringView name) const;
    void SetMarked(size_t index, bool marked) { entries_.at(index).marked = marked; }
    // Copies of the marked items, or of the current one unless it is "..".
    std::vector<PanelEntry> Chosen() const;
    // After a call that was handed `items` made from `handed`: unmarks the items whose
    // PPIF_SELECTED the plugin cleared.
    void Unmark(const std::vector<PanelEntry>& handed,
                const std::vector<far::PluginPanelItem>& items);
    wm::String ShownName(const PanelEntry& entry) const;
    PanelView View() const;

    // FCTL_GETPANELINFO, FCTL_GETPANELITEM, FCTL_GETSELECTEDPANELITEM, FCTL_GETPANELDIR,
    // FCTL_UPDATEPANEL and FCTL_REDRAWPANEL for this panel on the given side.
    int32_t Control(bool active, bool left, int32_t command, int32_t param1, far::LONG_PTR param2);

    // The calls the host makes to the plugin for this panel, each recorded in the Host.
    // ProcessKeyW for preprocessing, then (unless `preprocessOnly`) as it is; true when claimed.
    bool OfferKey(int32_t key, uint32_t controlState, bool preprocessOnly = false);
    void Redraw();
    void Focus(bool got);
    int32_t AskClose();
    void Close();

private:
    void ReadInfo();
    int32_t Event(int32_t event);
    std::string HandleText() const;

    Host& host_;
    far::HANDLE handle_;
    bool open_ = true;
    rules::PanelInfo info_;
    std::vector<PanelEntry> entries_;
    int currentItem_ = 0;
    int topItem_ = 0;
};

}  // namespace farhost
