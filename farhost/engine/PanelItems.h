// A panel's items as the host keeps them, and the records it hands the plugin for them.
#pragma once

#include <cstdint>
#include <vector>

#include "core/String.h"
#include "host/PluginW.h"

namespace farhost {

struct PanelEntry {
    wm::String name;
    uint32_t attributes = 0;
    uint64_t size = 0;
    far::FILETIME lastWriteTime{};
    far::FILETIME creationTime{};
    far::FILETIME lastAccessTime{};
    uint64_t packSize = 0;
    wm::String alternateName;
    wm::String description;
    wm::String owner;
    uint32_t flags = 0;
    uint32_t numberOfLinks = 1;
    uintptr_t userData = 0;
    uint32_t crc32 = 0;
    // Marked by the person (or by the plugin with PPIF_SELECTED).
    bool marked = false;

    bool IsDirectory() const { return (attributes & far::FILE_ATTRIBUTE_DIRECTORY) != 0; }
};

// The host's order: ".." first, then directories, then by name.
bool ListedBefore(const PanelEntry& a, const PanelEntry& b);

// The marked items, or else the current one unless it is "..".
std::vector<size_t> ChosenItems(const std::vector<PanelEntry>& entries, int current);

// A copy of a plugin's item; texts are copied, null ones become empty.
PanelEntry FromPluginItem(const far::PluginPanelItem& item);

// Writes FCTL_GETPANELINFO's record for a panel of these entries into `buffer` (no buffer: 0).
int32_t WritePanelInfo(const std::vector<PanelEntry>& entries, int current, int top, bool plugin,
                       bool active, bool left, far::LONG_PTR buffer);

// FCTL_GETPANELITEM's answer: the bytes needed for the item with its texts; with a buffer, the
// item is written into it, its texts right behind the record.
int32_t WritePanelItem(const PanelEntry& entry, far::LONG_PTR buffer);

// Items to hand to a plugin call; they point into the entries, which must outlive them. Marked
// entries carry PPIF_SELECTED.
std::vector<far::PluginPanelItem> ToPluginItems(const std::vector<PanelEntry>& entries);

// Writes FCTL_GETPANELDIR's answer: the characters needed with the terminating zero; the text,
// cut to fit, when there is a buffer of `capacity` characters.
int32_t WritePanelText(const wm::String& text, int32_t capacity, far::LONG_PTR buffer);

}  // namespace farhost
