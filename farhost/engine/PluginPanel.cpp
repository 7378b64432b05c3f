#include "farhost/engine/PluginPanel.h"

#include <algorithm>
#include <cstring>

#include "farhost/engine/Host.h"

namespace farhost {
PluginPanel::PluginPanel(Host& host, far::HANDLE handle) : host_(host), handle_(handle) {}

std::string PluginPanel::HandleText() const {
    return std::to_string(reinterpret_cast<intptr_t>(handle_));
}

bool PluginPanel::Read(bool keepMarks) {
    const PluginExports& exports = host_.Exports();
    if (!open_ || !exports.GetFindDataW) return false;
    far::PluginPanelItem* items = nullptr;
    int32_t count = 0;
    host_.RecordPluginCall("GetFindDataW", {HandleText(), std::to_string(rules::kFindDataOpMode)});
    if (!exports.GetFindDataW(handle_, &items, &count, rules::kFindDataOpMode)) return false;
    std::vector<PanelEntry> read;
    for (int32_t i = 0; items && i < count; ++i) read.push_back(FromPluginItem(items[i]));
    host_.RecordPluginCall("FreeFindDataW", {HandleText(), std::to_string(count)});
    if (exports.FreeFindDataW) exports.FreeFindDataW(handle_, items, count);

    const wm::String current = currentItem_ < static_cast<int>(entries_.size())
                                   ? entries_[static_cast<size_t>(currentItem_)].name
                                   : wm::String();
    if (keepMarks) {
        for (PanelEntry& entry : read) {
            const auto old =
                std::find_if(entries_.begin(), entries_.end(),
                             [&](const PanelEntry& e) { return e.name == entry.name; });
            if (old != entries_.end() && old->marked) entry.marked = true;
        }
    }
    std::stable_sort(read.begin(), read.end(), ListedBefore);
    entries_ = std::move(read);
    const int same = Find(current);
    SetCurrentItem(same >= 0 ? same : currentItem_);
    ReadInfo();
    return true;
}

void PluginPanel::ReadInfo() {
    info_ = {};
    const auto getInfo = host_.Exports().GetOpenPluginInfoW;
    if (!getInfo || !open_) return;
    far::OpenPluginInfo info{};
    info.StructSize = sizeof info;
    host_.RecordPluginCall("GetOpenPluginInfoW", {HandleText()});
    getInfo(handle_, &info);
    info_ = rules::PanelInfoOf(info);
}

void PluginPanel::SetCurrentItem(int index) {
    currentItem_ = std::clamp(index, 0, std::max(0, static_cast<int>(entries_.size()) - 1));
    topItem_ = std::min(topItem_, currentItem_);
}

int PluginPanel::Find(wm::StringView name) const {
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].name == name || ShownName(entries_[i]) == name) return static_cast<int>(i);
    }
    return -1;
}

std::vector<PanelEntry> PluginPanel::Chosen() const {
    std::vector<PanelEntry> chosen;
    for (const size_t i : ChosenItems(entries_, currentItem_)) chosen.push_back(entries_[i]);
    return chosen;
}

void PluginPanel::Unmark(const std::vector<PanelEntry>& handed,
                         const std::vector<far::PluginPanelItem>& items) {
    for (size_t i = 0; i < handed.size() && i < items.size(); ++i) {
        if (!handed[i].marked || (items[i].Flags & far::PPIF_SELECTED)) continue;
        const int index = Find(handed[i].name);
        if (index >= 0) entries_[static_cast<size_t>(index)].marked = false;
    }
}

wm::String PluginPanel::ShownName(const PanelEntry& entry) const {
    return rules::ShownName(entry.name, info_.namesOnly);
}

PanelView PluginPanel::View() const {
    PanelView view;
    view.title = wm::ToUtf8(info_.title);
    view.nameTitle = wm::ToUtf8(info_.nameTitle);
    view.descriptionTitle = wm::ToUtf8(info_.descriptionTitle);
    for (const PanelEntry& entry : entries_)
        view.rows.push_back({wm::ToUtf8(ShownName(entry)), entry.IsDirectory(), entry.marked,
                             entry.size, wm::ToUtf8(entry.description)});
    view.current = currentItem_;
    return view;
}

int32_t PluginPanel::Control(bool active, bool left, int32_t command, int32_t param1,
                             far::LONG_PTR param2) {
    switch (command) {
        case far::FCTL_GETPANELINFO:
            return WritePanelInfo(entries_, currentItem_, topItem_, true, active, left, param2);
        case far::FCTL_GETPANELITEM:
            if (param1 < 0 || param1 >= static_cast<int32_t>(entries_.size())) return 0;
            return WritePanelItem(entries_[static_cast<size_t>(param1)], param2);
        case far::FCTL_GETSELECTEDPANELITEM: {
            const auto chosen = ChosenItems(entries_, currentItem_);
            if (param1 < 0 || static_cast<size_t>(param1) >= chosen.size()) return 0;
            return WritePanelItem(entries_[chosen[static_cast<size_t>(param1)]], param2);
        }
        case far::FCTL_GETPANELDIR:
            return WritePanelText(info_.curDir, param1, param2);
        case far::FCTL_UPDATEPANEL:
            return Read(param1 != 0) ? 1 : 0;
        case far::FCTL_REDRAWPANEL:
            if (param2 != 0) {
                far::PanelRedrawInfo redraw{};
                std::memcpy(&redraw, reinterpret_cast<const void*>(param2), sizeof redraw);
                SetCurrentItem(redraw.CurrentItem);
                topItem_ = std::clamp(redraw.TopPanelItem, 0, currentItem_);
            }
            Redraw();
            return 1;
        default:
            return 0;
    }
}

bool PluginPanel::OfferKey(int32_t key, uint32_t controlState, bool preprocessOnly) {
    const auto processKey = host_.Exports().ProcessKeyW;
    const auto offer = [&](int32_t code) {
        if (!processKey || !open_) return false;
        host_.RecordPluginCall("ProcessKeyW",
                               {HandleText(), std::to_string(code), std::to_string(controlState)});
        return rules::KeyClaimed(processKey(handle_, code, controlState));
    };
    if (offer(rules::PreprocessKey(key))) return true;
    return !preprocessOnly && offer(key);
}

int32_t PluginPanel::Event(int32_t event) {
    const auto processEvent = host_.Exports().ProcessEventW;
    if (!processEvent || !open_) return 0;
    host_.RecordPluginCall("ProcessEventW", {HandleText(), std::to_string(event)});
    return processEvent(handle_, event, nullptr);
}

void PluginPanel::Redraw() {
    Event(far::FE_REDRAW);
}

void PluginPanel::Focus(bool got) {
    Event(got ? far::FE_GOTFOCUS : far::FE_KILLFOCUS);
}

int32_t PluginPanel::AskClose() {
    return Event(far::FE_CLOSE);
}

void PluginPanel::Close() {
    if (!open_) return;
    open_ = false;
    host_.RecordPluginCall("ClosePluginW", {HandleText()});
    if (host_.Exports().ClosePluginW) host_.Exports().ClosePluginW(handle_);
}

}  // namespace farhost
