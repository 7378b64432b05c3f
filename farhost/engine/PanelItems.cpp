#include "farhost/engine/PanelItems.h"

#include <algorithm>
#include <cstring>

#include "farhost/engine/HostText.h"

namespace farhost {
namespace {

far::HostText ToHost(const wm::String& text) {
    return reinterpret_cast<far::HostText>(text.c_str());
}

size_t TextBytes(const wm::String& text) {
    return (text.size() + 1) * sizeof(char16_t);
}

}  // namespace

bool ListedBefore(const PanelEntry& a, const PanelEntry& b) {
    const bool aParent = a.name == u"..", bParent = b.name == u"..";
    if (aParent != bParent) return aParent;
    if (a.IsDirectory() != b.IsDirectory()) return a.IsDirectory();
    return a.name < b.name;
}

std::vector<size_t> ChosenItems(const std::vector<PanelEntry>& entries, int current) {
    std::vector<size_t> chosen;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].marked) chosen.push_back(i);
    }
    if (chosen.empty() && current >= 0 && static_cast<size_t>(current) < entries.size() &&
        entries[static_cast<size_t>(current)].name != u"..") {
        chosen.push_back(static_cast<size_t>(current));
    }
    return chosen;
}

PanelEntry FromPluginItem(const far::PluginPanelItem& item) {
    PanelEntry entry;
    const far::FAR_FIND_DATA& data = item.FindData;
    entry.name = FromHostText(data.lpwszFileName);
    entry.alternateName = FromHostText(data.lpwszAlternateFileName);
    entry.attributes = data.dwFileAttributes;
    entry.size = data.nFileSize;
    entry.packSize = data.nPackSize;
    entry.lastWriteTime = data.ftLastWriteTime;
    entry.creationTime = data.ftCreationTime;
    entry.lastAccessTime = data.ftLastAccessTime;
    entry.description = FromHostText(item.Description);
    entry.owner = FromHostText(item.Owner);
    entry.flags = item.Flags;
    entry.numberOfLinks = item.NumberOfLinks;
    entry.userData = item.UserData;
    entry.crc32 = item.CRC32;
    entry.marked = (item.Flags & far::PPIF_SELECTED) != 0;
    return entry;
}

namespace {

far::PluginPanelItem Record(const PanelEntry& entry) {
    far::PluginPanelItem item{};
    far::FAR_FIND_DATA& data = item.FindData;
    data.dwFileAttributes = entry.attributes;
    data.ftCreationTime = entry.creationTime;
    data.ftLastAccessTime = entry.lastAccessTime;
    data.ftLastWriteTime = entry.lastWriteTime;
    data.nFileSize = entry.size;
    data.nPackSize = entry.packSize;
    item.Flags = (entry.flags & ~far::PPIF_SELECTED) | (entry.marked ? far::PPIF_SELECTED : 0);
    item.NumberOfLinks = entry.numberOfLinks;
    item.UserData = entry.userData;
    item.CRC32 = entry.crc32;
    return item;
}

}  // namespace

int32_t WritePanelInfo(const std::vector<PanelEntry>& entries, int current, int top, bool plugin,
                       bool active, bool left, far::LONG_PTR buffer) {
    if (buffer == 0) return 0;
    far::PanelInfo info{};
    info.PanelType = 0;
    info.Plugin = plugin ? 1 : 0;
    info.PanelRect = left ? far::RECT{0, 1, 39, 22} : far::RECT{40, 1, 79, 22};
    info.ItemsNumber = static_cast<int32_t>(entries.size());
    info.SelectedItemsNumber = static_cast<int32_t>(ChosenItems(entries, current).size());
    info.CurrentItem = current;
    info.TopPanelItem = top;
    info.Visible = 1;
    info.Focus = active ? 1 : 0;
    info.ViewMode = 2;
    info.SortMode = 1;
    std::memcpy(reinterpret_cast<void*>(buffer), &info, sizeof info);
    return 1;
}

int32_t WritePanelItem(const PanelEntry& entry, far::LONG_PTR buffer) {
    // The texts in order behind the record; description and owner only when there is one.
    const wm::String* texts[] = {&entry.name, &entry.alternateName, &entry.description,
                                 &entry.owner};
    size_t needed = sizeof(far::PluginPanelItem);
    for (size_t i = 0; i < 4; ++i) {
        if (i < 2 || !texts[i]->empty()) needed += TextBytes(*texts[i]);
    }
    if (buffer == 0) return static_cast<int32_t>(needed);
    auto* bytes = reinterpret_cast<unsigned char*>(buffer);
    std::memset(bytes, 0, needed);
    far::HostText placed[4] = {};
    size_t offset = sizeof(far::PluginPanelItem);
    for (size_t i = 0; i < 4; ++i) {
        if (i >= 2 && texts[i]->empty()) continue;
        std::memcpy(bytes + offset, texts[i]->c_str(), TextBytes(*texts[i]));
        placed[i] = reinterpret_cast<far::HostText>(bytes + offset);
        offset += TextBytes(*texts[i]);
    }
    far::PluginPanelItem item = Record(entry);
    item.FindData.lpwszFileName = placed[0];
    item.FindData.lpwszAlternateFileName = placed[1];
    item.Description = placed[2];
    item.Owner = placed[3];
    std::memcpy(bytes, &item, sizeof item);
    return static_cast<int32_t>(needed);
}

std::vector<far::PluginPanelItem> ToPluginItems(const std::vector<PanelEntry>& entries) {
    std::vector<far::PluginPanelItem> items;
    items.reserve(entries.size());
    for (const PanelEntry& entry : entries) {
        far::PluginPanelItem item = Record(entry);
        item.FindData.lpwszFileName = ToHost(entry.name);
        item.FindData.lpwszAlternateFileName = ToHost(entry.alternateName);
        item.Description = entry.description.empty() ? nullptr : ToHost(entry.description);
        item.Owner = entry.owner.empty() ? nullptr : ToHost(entry.owner);
        items.push_back(item);
    }
    return items;
}

int32_t WritePanelText(const wm::String& text, int32_t capacity, far::LONG_PTR buffer) {
    if (buffer != 0 && capacity > 0) {
        const size_t count = std::min<size_t>(text.size(), static_cast<size_t>(capacity) - 1);
        auto* out = reinterpret_cast<far::HostChar*>(buffer);
        std::memcpy(out, text.data(), count * sizeof(char16_t));
        out[count] = 0;
    }
    return static_cast<int32_t>(text.size() + 1);
}

}  // namespace farhost
