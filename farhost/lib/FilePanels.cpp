#include "farhost/lib/FilePanels.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace farhost {
namespace fs = std::filesystem;
namespace {

far::FILETIME ToFileTime(fs::file_time_type time) {
    // FILETIME counts 100-nanosecond steps since 1601-01-01.
    constexpr int64_t kUnixEpochIn100ns = 116444736000000000LL;
    const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(
        std::chrono::file_clock::to_sys(time).time_since_epoch());
    const auto value = static_cast<uint64_t>(since.count() / 100 + kUnixEpochIn100ns);
    return {static_cast<uint32_t>(value), static_cast<uint32_t>(value >> 32)};
}

bool IsRoot(const fs::path& path) {
    return path == path.root_path();
}

// Aligned size of a text with its terminating zero.
size_t TextBytes(const wm::String& text) {
    return (text.size() + 1) * sizeof(char16_t);
}

}  // namespace

FilePanel::FilePanel(wm::String directory) : directory_(std::move(directory)) {
    Refresh();
    Redraw();
}

void FilePanel::SetCurrentItem(int index) {
    currentItem_ = std::clamp(index, 0, std::max(0, static_cast<int>(entries_.size()) - 1));
}

bool FilePanel::SetDirectory(wm::StringView directory) {
    std::error_code error;
    const fs::path path = fs::path(wm::String(directory));
    if (directory.empty() || !fs::is_directory(path, error)) return false;
    directory_ = fs::absolute(path, error).lexically_normal().u16string();
    // A trailing separator is kept only on a root.
    while (directory_.size() > 1 && (directory_.back() == u'/' || directory_.back() == u'\\') &&
           !IsRoot(fs::path(directory_))) {
        directory_.pop_back();
    }
    currentItem_ = 0;
    Refresh();
    return true;
}

void FilePanel::Refresh() {
    const wm::String current =
        currentItem_ < static_cast<int>(entries_.size()) ? entries_[currentItem_].name : u"";
    entries_.clear();
    const fs::path path(directory_);
    if (!IsRoot(path)) entries_.push_back({u"..", far::FILE_ATTRIBUTE_DIRECTORY, 0, {}});
    std::error_code error;
    std::vector<PanelEntry> found;
    for (fs::directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
        PanelEntry entry;
        entry.name = it->path().filename().u16string();
        std::error_code ignored;
        const bool directory = it->is_directory(ignored);
        entry.attributes = directory ? far::FILE_ATTRIBUTE_DIRECTORY : far::FILE_ATTRIBUTE_NORMAL;
        if (!directory) entry.size = it->file_size(ignored);
        const auto written = it->last_write_time(ignored);
        if (!ignored) entry.lastWriteTime = ToFileTime(written);
        found.push_back(std::move(entry));
    }
    // Directories first, then by name, as the host sorts by default.
    std::sort(found.begin(), found.end(), [](const PanelEntry& a, const PanelEntry& b) {
        const bool aDir = a.attributes & far::FILE_ATTRIBUTE_DIRECTORY;
        const bool bDir = b.attributes & far::FILE_ATTRIBUTE_DIRECTORY;
        return aDir != bDir ? aDir : a.name < b.name;
    });
    entries_.insert(entries_.end(), found.begin(), found.end());
    const auto same = std::find_if(entries_.begin(), entries_.end(),
                                   [&](const PanelEntry& e) { return e.name == current; });
    SetCurrentItem(same != entries_.end() ? static_cast<int>(same - entries_.begin()) : 0);
}

FilePanels::FilePanels(wm::String directory)
    : panels_{FilePanel(directory), FilePanel(directory)} {}

int32_t FilePanels::Control(far::HANDLE handle, int32_t command, int32_t param1,
                            far::LONG_PTR param2) {
    if (handle != far::PANEL_ACTIVE && handle != far::PANEL_PASSIVE) return 0;
    const bool active = handle == far::PANEL_ACTIVE;
    FilePanel& panel = active ? Active() : Passive();
    const bool left = &panel == &panels_[0];
    switch (command) {
        case far::FCTL_GETPANELINFO: {
            if (param2 == 0) return 0;
            far::PanelInfo info{};
            info.PanelType = 0;
            info.Plugin = 0;
            info.PanelRect = left ? far::RECT{0, 1, 39, 22} : far::RECT{40, 1, 79, 22};
            info.ItemsNumber = static_cast<int32_t>(panel.Entries().size());
            info.CurrentItem = panel.CurrentItem();
            info.Visible = 1;
            info.Focus = active ? 1 : 0;
            info.ViewMode = 2;
            info.SortMode = 1;
            std::memcpy(reinterpret_cast<void*>(param2), &info, sizeof info);
            return 1;
        }
        case far::FCTL_GETPANELDIR: {
            const wm::String& directory = panel.Directory();
            const auto needed = static_cast<int32_t>(directory.size() + 1);
            if (param2 != 0 && param1 > 0) {
                const size_t count =
                    std::min<size_t>(directory.size(), static_cast<size_t>(param1) - 1);
                auto* buffer = reinterpret_cast<far::HostChar*>(param2);
                std::memcpy(buffer, directory.data(), count * sizeof(char16_t));
                buffer[count] = 0;
            }
            return needed;
        }
        case far::FCTL_GETPANELITEM: {
            if (param1 < 0 || param1 >= static_cast<int32_t>(panel.Entries().size())) return 0;
            const PanelEntry& entry = panel.Entries()[static_cast<size_t>(param1)];
            const size_t needed =
                sizeof(far::PluginPanelItem) + TextBytes(entry.name) + sizeof(char16_t);
            if (param2 != 0) {
                auto* bytes = reinterpret_cast<unsigned char*>(param2);
                std::memset(bytes, 0, needed);
                auto* name = reinterpret_cast<far::HostChar*>(bytes + sizeof(far::PluginPanelItem));
                std::memcpy(name, entry.name.c_str(), TextBytes(entry.name));
                auto* empty = name + entry.name.size() + 1;
                far::PluginPanelItem item{};
                item.FindData.dwFileAttributes = entry.attributes;
                item.FindData.ftLastWriteTime = entry.lastWriteTime;
                item.FindData.ftCreationTime = entry.lastWriteTime;
                item.FindData.ftLastAccessTime = entry.lastWriteTime;
                item.FindData.nFileSize = entry.size;
                item.FindData.lpwszFileName = name;
                item.FindData.lpwszAlternateFileName = empty;
                item.Description = nullptr;
                item.Owner = nullptr;
                item.NumberOfLinks = 1;
                std::memcpy(bytes, &item, sizeof item);
            }
            return static_cast<int32_t>(needed);
        }
        case far::FCTL_SETPANELDIR:
            if (param2 == 0) return 0;
            return panel.SetDirectory(reinterpret_cast<const char16_t*>(param2)) ? 1 : 0;
        case far::FCTL_UPDATEPANEL:
            panel.Refresh();
            return 1;
        case far::FCTL_REDRAWPANEL:
            panel.Redraw();
            if (param2 != 0) {
                far::PanelRedrawInfo redraw{};
                std::memcpy(&redraw, reinterpret_cast<const void*>(param2), sizeof redraw);
                panel.SetCurrentItem(redraw.CurrentItem);
            }
            return 1;
        default:
            return 0;
    }
}

std::string FilePanels::Draw(int width, int height) const {
    const int half = std::max(10, width / 2);
    const auto column = [&](const FilePanel& panel, bool active, int row) -> std::string {
        std::string text;
        if (row == 0) {
            text = (active ? "[" : " ") + wm::ToUtf8(panel.ShownDirectory()) + (active ? "]" : " ");
        } else if (row - 1 < static_cast<int>(panel.Entries().size())) {
            const auto& entry = panel.Entries()[static_cast<size_t>(row - 1)];
            const bool current = active && row - 1 == panel.CurrentItem();
            text = std::string(current ? ">" : " ") + wm::ToUtf8(entry.name) +
                   ((entry.attributes & far::FILE_ATTRIBUTE_DIRECTORY) ? "/" : "");
        }
        // Cut or pad by code points so UTF-8 texts keep whole characters.
        std::string out;
        int cells = 0;
        for (size_t i = 0; i < text.size() && cells < half - 1; ++cells) {
            size_t length = 1;
            while (i + length < text.size() &&
                   (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80)
                ++length;
            out += text.substr(i, length);
            i += length;
        }
        return out + std::string(static_cast<size_t>(half - 1 - cells), ' ');
    };
    std::string screen;
    for (int row = 0; row < height; ++row) {
        screen +=
            column(panels_[0], active_ == 0, row) + "|" + column(panels_[1], active_ == 1, row);
        while (!screen.empty() && screen.back() == ' ') screen.pop_back();
        screen += "\n";
    }
    return screen;
}

}  // namespace farhost
