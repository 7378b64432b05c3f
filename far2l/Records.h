// The records that carry texts, converted between FAR 2's layout (the plugin's) and far2l's.
#pragma once

#include <cstddef>
#include <vector>

#include "far2l/Texts.h"

namespace wm::bridge {

// far2l shows an item with a Unix mode as a folder or a file by that mode.
constexpr far::DWORD kFolderMode = 040755;
constexpr far::DWORD kFileMode = 0100644;

far::PluginPanelItem ToPluginItem(const far2l::PluginPanelItem& item, TTexts16& texts);
far2l::PluginPanelItem ToHostItem(const far::PluginPanelItem& item, TTexts32& texts);

// Items far2l hands over (marked files, files to delete or copy) as the plugin's records.
class TPluginItems {
public:
    TPluginItems(const far2l::PluginPanelItem* items, int count);
    far::PluginPanelItem* Data() { return items_.empty() ? nullptr : items_.data(); }
    int Count() const { return static_cast<int>(items_.size()); }

private:
    TTexts16 texts_;
    std::vector<far::PluginPanelItem> items_;
};

// FCTL_GETPANELITEM's block in FAR 2's form: the record, then what its pointers point to.
// Returns the block's size; writes the block when `out` is not null.
size_t PackPluginItem(const far2l::PluginPanelItem& item, void* out);

far::PanelInfo ToPluginPanelInfo(const far2l::PanelInfo& info);

// The plugin's answer in far2l's layout; the texts live in `texts` until the next answer.
void ToHostPluginInfo(const far::PluginInfo& from, far2l::PluginInfo& to, TTexts32& texts);

// The plugin's answer about an open panel, kept until the host asks again or the panel closes.
class THostPanelInfo {
public:
    // Fills far2l's record, whose StructSize the host has set, as far as that size goes.
    void Fill(const far::OpenPluginInfo& from, void* to);

private:
    TTexts32 texts_;
    std::vector<far2l::PanelMode> modes_;
    far2l::KeyBarTitles keyBar_{};
};

}  // namespace wm::bridge
