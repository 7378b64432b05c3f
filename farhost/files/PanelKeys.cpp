#include "farhost/files/PanelKeys.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <random>
#include <stdexcept>

#include "farhost/engine/Host.h"
#include "farhost/engine/HostRules.h"
#include "farhost/engine/HostText.h"
#include "host/FarKeysW.h"

namespace farhost {
namespace fs = std::filesystem;
namespace {

std::string HandleText(far::HANDLE handle) {
    return std::to_string(reinterpret_cast<intptr_t>(handle));
}

far::HostText ToHost(const wm::String& text) {
    return reinterpret_cast<far::HostText>(text.c_str());
}

// A fresh folder below the temporary folder, removed with everything in it.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::random_device random;
        path_ = fs::temp_directory_path() /
                ("farhost-edit-" + std::to_string(random()) + std::to_string(random()));
        fs::create_directories(path_);
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;
    const fs::path& Path() const { return path_; }

private:
    fs::path path_;
};

// Reads the panel again and draws it, unless the plugin closed it meanwhile.
void Reread(PluginPanel& panel, bool keepMarks) {
    if (!panel.IsOpen()) return;
    panel.Read(keepMarks);
    panel.Redraw();
}

}  // namespace

std::shared_ptr<PluginPanel> PanelKeys::ActivePlugin() const {
    return host_.PluginPanelOn(host_.Panels().ActiveSide());
}

bool PanelKeys::Claimed(PluginPanel& panel, int key, uint32_t controlState) {
    // A panel the plugin closed while handling the key is gone: nothing more either.
    return panel.OfferKey(key, controlState) || !panel.IsOpen();
}

void PanelKeys::Note(const char* function, int answer) {
    notes_ << "(" << function << " answered " << answer << ": "
           << rules::OutcomeName(rules::OutcomeOf(answer)) << ")\n";
}

void PanelKeys::Enter(bool shift) {
    const auto panel = ActivePlugin();
    if (!panel) {
        FilePanel& files = host_.Panels().Active();
        if (shift || files.Entries().empty()) return;
        const PanelEntry& entry = files.Entries()[static_cast<size_t>(files.CurrentItem())];
        if (!entry.IsDirectory()) return;
        if (rules::IsParentItem(entry.name)) {
            FolderUp();
            return;
        }
        files.SetDirectory((fs::path(files.Directory()) / entry.name).u16string());
        files.Redraw();
        return;
    }
    if (Claimed(*panel, far::VK_RETURN, shift ? far::PKF_SHIFT : 0) || shift) return;
    if (panel->Entries().empty()) return;
    const PanelEntry entry = panel->Entries()[static_cast<size_t>(panel->CurrentItem())];
    if (!entry.IsDirectory()) {
        if (CopyOut(*panel, entry, rules::kRunOpMode))
            notes_ << "(the host runs " << wm::ToUtf8(entry.name) << "; that is not modelled)\n";
        Reread(*panel, true);
        return;
    }
    if (rules::IsParentItem(entry.name)) {
        PluginUp(*panel);
        return;
    }
    const auto setDirectory = host_.Exports().SetDirectoryW;
    if (!setDirectory) return;
    host_.RecordPluginCall("SetDirectoryW",
                           {HandleText(panel->Handle()), wm::ToUtf8(entry.name), "0"});
    if (!setDirectory(panel->Handle(), ToHost(entry.name), 0) || !panel->IsOpen()) return;
    panel->Read(false);
    panel->SetCurrentItem(0);
    panel->Redraw();
}

void PanelKeys::Up() {
    const auto panel = ActivePlugin();
    if (!panel) {
        FolderUp();
        return;
    }
    if (!Claimed(*panel, far::VK_PRIOR, far::PKF_CONTROL)) PluginUp(*panel);
}

void PanelKeys::FolderUp() {
    FilePanel& files = host_.Panels().Active();
    const wm::String left = fs::path(files.Directory()).filename().u16string();
    files.SetDirectory((fs::path(files.Directory()) / "..").u16string());
    files.SetCurrentItem(std::max(0, files.Find(left)));
    files.Redraw();
}

void PanelKeys::PluginUp(PluginPanel& panel) {
    const wm::String oldCurDir = panel.Info().curDir;
    if (rules::ParentLeavesPlugin(oldCurDir)) {
        if (!host_.ClosePluginPanel(host_.Panels().ActiveSide(), true))
            notes_ << "(the plugin kept its panel open)\n";
        return;
    }
    const auto setDirectory = host_.Exports().SetDirectoryW;
    if (!setDirectory) return;
    const wm::String up = u"..";
    host_.RecordPluginCall("SetDirectoryW", {HandleText(panel.Handle()), "..", "0"});
    if (!setDirectory(panel.Handle(), ToHost(up), 0) || !panel.IsOpen()) return;
    panel.Read(false);
    panel.SetCurrentItem(std::max(0, panel.Find(rules::FolderLeft(oldCurDir))));
    panel.Redraw();
}

bool PanelKeys::CopyOut(PluginPanel& panel, const PanelEntry& entry, int32_t opMode) {
    const auto getFiles = host_.Exports().GetFilesW;
    if (!getFiles) return false;
    const TemporaryFolder folder;
    const wm::String destination = folder.Path().u16string();
    far::HostText destinationText = ToHost(destination);
    const std::vector<PanelEntry> chosen{entry};
    auto items = ToPluginItems(chosen);
    host_.RecordPluginCall("GetFilesW", {HandleText(panel.Handle()), "1", "0",
                                         wm::ToUtf8(destination), std::to_string(opMode)});
    const int answer = getFiles(panel.Handle(), items.data(), 1, 0, &destinationText, opMode);
    Note("GetFilesW", answer);
    if (rules::OutcomeOf(answer) != rules::Outcome::Done) return false;
    const wm::String name = rules::ShownName(entry.name, true);
    std::ifstream in(fs::path(FromHostText(destinationText)) / name, std::ios::binary);
    if (!in) {
        notes_ << "(no " << wm::ToUtf8(name) << " in the temporary folder)\n";
        return false;
    }
    lastCopy_ = Edited{name, std::string(std::istreambuf_iterator<char>(in), {})};
    return true;
}

std::optional<fs::path> PanelKeys::ViewedFile() {
    if (const auto panel = ActivePlugin()) {
        Claimed(*panel, far::VK_F3, 0);
        return std::nullopt;
    }
    const FilePanel& files = host_.Panels().Active();
    if (files.Entries().empty()) return std::nullopt;
    const PanelEntry& entry = files.Entries()[static_cast<size_t>(files.CurrentItem())];
    if (entry.IsDirectory()) return std::nullopt;
    return fs::path(files.Directory()) / entry.name;
}

void PanelKeys::Edit(bool shift) {
    const auto panel = ActivePlugin();
    if (!panel) throw std::runtime_error("the editor on a file panel is not modelled");
    if (Claimed(*panel, far::VK_F4, shift ? far::PKF_SHIFT : 0) || shift) return;
    if (panel->Entries().empty()) return;
    const PanelEntry entry = panel->Entries()[static_cast<size_t>(panel->CurrentItem())];
    if (entry.IsDirectory() || !CopyOut(*panel, entry, rules::kEditOpMode)) return;
    lastEdited_ = lastCopy_;
    notes_ << "(the host edits " << wm::ToUtf8(lastEdited_->name) << ", "
           << lastEdited_->content.size() << " bytes; the editor is not modelled)\n";
}

void PanelKeys::Copy(bool move) {
    FilePanels& sides = host_.Panels();
    const size_t active = sides.ActiveSide();
    const auto from = host_.PluginPanelOn(active);
    const auto to = host_.PluginPanelOn(1 - active);
    const int key = move ? far::VK_F6 : far::VK_F5;
    if (from) {
        if (Claimed(*from, key, 0)) return;
        if (to) throw std::runtime_error("copying between two plugin panels is not modelled");
        const auto chosen = from->Chosen();
        const auto getFiles = host_.Exports().GetFilesW;
        if (chosen.empty() || !getFiles) return;
        FilePanel& target = sides.Side(1 - active);
        const wm::String destination = target.Directory();
        far::HostText destinationText = ToHost(destination);
        auto items = ToPluginItems(chosen);
        const auto count = static_cast<int32_t>(items.size());
        host_.RecordPluginCall("GetFilesW", {HandleText(from->Handle()), std::to_string(count),
                                             move ? "1" : "0", wm::ToUtf8(destination), "0"});
        const int answer =
            getFiles(from->Handle(), items.data(), count, move ? 1 : 0, &destinationText, 0);
        Note("GetFilesW", answer);
        if (from->IsOpen() && rules::UnmarksPluginItems(rules::OutcomeOf(answer)))
            from->Unmark(chosen, items);
        Reread(*from, true);
        target.Refresh();
        target.Redraw();
        return;
    }
    if (!to) {
        fileKeys_.Copy(move);
        return;
    }
    FilePanel& source = sides.Side(active);
    const auto chosen = source.Chosen();
    const auto putFiles = host_.Exports().PutFilesW;
    if (chosen.empty() || !putFiles) return;
    const wm::String folder = source.Directory();
    auto items = ToPluginItems(chosen);
    const auto count = static_cast<int32_t>(items.size());
    host_.RecordPluginCall("PutFilesW", {HandleText(to->Handle()), std::to_string(count),
                                         move ? "1" : "0", wm::ToUtf8(folder), "0"});
    const int answer = putFiles(to->Handle(), items.data(), count, move ? 1 : 0, ToHost(folder), 0);
    Note("PutFilesW", answer);
    if (rules::UnmarksPutItems(rules::OutcomeOf(answer))) {
        for (const PanelEntry& entry : chosen) {
            if (const int index = source.Find(entry.name); index >= 0)
                source.SetMarked(static_cast<size_t>(index), false);
        }
    }
    Reread(*to, true);
    source.Refresh();
}

void PanelKeys::MakeFolder(const wm::String& proposed) {
    const auto panel = ActivePlugin();
    if (!panel) {
        fileKeys_.MakeFolder(proposed);
        return;
    }
    if (Claimed(*panel, far::VK_F7, 0)) return;
    const auto makeDirectory = host_.Exports().MakeDirectoryW;
    if (!makeDirectory) return;
    const wm::String name = proposed;
    far::HostText nameText = ToHost(name);
    host_.RecordPluginCall("MakeDirectoryW", {HandleText(panel->Handle()), wm::ToUtf8(name), "0"});
    const int answer = makeDirectory(panel->Handle(), &nameText, 0);
    const wm::String made = FromHostText(nameText);
    Note("MakeDirectoryW", answer);
    if (!panel->IsOpen() || !rules::RereadsAfterMakeDirectory(rules::OutcomeOf(answer))) return;
    panel->Read(true);
    if (const int index = panel->Find(made); index >= 0) panel->SetCurrentItem(index);
    panel->Redraw();
}

void PanelKeys::Delete() {
    const auto panel = ActivePlugin();
    if (!panel) {
        fileKeys_.Delete();
        return;
    }
    if (Claimed(*panel, far::VK_F8, 0)) return;
    const auto chosen = panel->Chosen();
    const auto deleteFiles = host_.Exports().DeleteFilesW;
    if (chosen.empty() || !deleteFiles) return;
    auto items = ToPluginItems(chosen);
    const auto count = static_cast<int32_t>(items.size());
    host_.RecordPluginCall("DeleteFilesW",
                           {HandleText(panel->Handle()), std::to_string(count), "0"});
    const int answer = deleteFiles(panel->Handle(), items.data(), count, 0);
    Note("DeleteFilesW", answer);
    if (panel->IsOpen() && rules::UnmarksPluginItems(rules::OutcomeOf(answer)))
        panel->Unmark(chosen, items);
    Reread(*panel, true);
}

}  // namespace farhost
