#include "farhost/engine/FilePanels.h"

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

}  // namespace

FilePanel::FilePanel(wm::String directory) : directory_(std::move(directory)) {
    Refresh();
    Redraw();
}

void FilePanel::SetCurrentItem(int index) {
    currentItem_ = std::clamp(index, 0, std::max(0, static_cast<int>(entries_.size()) - 1));
}

int FilePanel::Find(wm::StringView name) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name) return static_cast<int>(i);
    }
    return -1;
}

std::vector<PanelEntry> FilePanel::Chosen() const {
    std::vector<PanelEntry> chosen;
    for (const size_t i : ChosenItems(entries_, currentItem_)) chosen.push_back(entries_[i]);
    return chosen;
}

PanelView FilePanel::View(bool shown) const {
    PanelView view;
    view.title = wm::ToUtf8(shown ? shownDirectory_ : directory_);
    for (const PanelEntry& entry : entries_)
        view.rows.push_back(
            {wm::ToUtf8(entry.name), entry.IsDirectory(), entry.marked, entry.size});
    view.current = currentItem_;
    return view;
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
    std::vector<wm::String> marked;
    for (const PanelEntry& entry : entries_) {
        if (entry.marked) marked.push_back(entry.name);
    }
    entries_.clear();
    const fs::path path(directory_);
    if (!IsRoot(path)) {
        PanelEntry parent;
        parent.name = u"..";
        parent.attributes = far::FILE_ATTRIBUTE_DIRECTORY;
        entries_.push_back(std::move(parent));
    }
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
        entry.creationTime = entry.lastAccessTime = entry.lastWriteTime;
        entry.marked = std::find(marked.begin(), marked.end(), entry.name) != marked.end();
        found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end(), ListedBefore);
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
        case far::FCTL_GETPANELINFO:
            return WritePanelInfo(panel.Entries(), panel.CurrentItem(), 0, false, active, left,
                                  param2);
        case far::FCTL_GETPANELDIR:
            return WritePanelText(panel.Directory(), param1, param2);
        case far::FCTL_GETPANELITEM:
            if (param1 < 0 || param1 >= static_cast<int32_t>(panel.Entries().size())) return 0;
            return WritePanelItem(panel.Entries()[static_cast<size_t>(param1)], param2);
        case far::FCTL_GETSELECTEDPANELITEM: {
            const auto chosen = ChosenItems(panel.Entries(), panel.CurrentItem());
            if (param1 < 0 || static_cast<size_t>(param1) >= chosen.size()) return 0;
            return WritePanelItem(panel.Entries()[chosen[static_cast<size_t>(param1)]], param2);
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
    return DrawPanels(panels_[0].View(), panels_[1].View(), active_ == 0, width, height);
}

}  // namespace farhost
