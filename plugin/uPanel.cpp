#include "plugin/uPanel.h"

#include <algorithm>

#include "framework/FarPanel.h"
#include "host/FarKeysW.h"
#include "plugin/uFunctions.h"
#include "plugin/uMakeDirUI.h"
#include "plugin/uMessages.h"
#include "plugin/uOptions.h"
#include "plugin/uTasks.h"

namespace wm {
namespace {

constexpr StringView kUp = u"..";

// The group the panel showed last, when it is to be remembered and is still a group.
String RememberedGroup() {
    TOptions options;
    if (!options.SaveLastPanelDir || options.LastPanelDir.empty()) return {};
    try {
        const auto stored = options.ReadEntry(options.LastPanelDir);
        if (stored && stored->IsGroup()) return stored->Name;
    } catch (const Exception&) {
        // A name that is no longer valid: the root.
    }
    return {};
}

}  // namespace

std::unique_ptr<TWaymarksPanel> TWaymarks::CreatePanel(StringView startDir) {
    auto panel = std::make_unique<TWaymarksPanel>();
    if (!startDir.empty() && !panel->SetDirectory(startDir, 0) &&
        panel->SetDirectory(ExtractParentPath(startDir), 0)) {
        panel->SetPendingFocus(startDir);
    }
    return panel;
}

TWaymarksPanel::TWaymarksPanel() {
    ChangeDir(u"/" + RememberedGroup());
}

TWaymarksPanel::~TWaymarksPanel() {
    try {
        RememberDir();
    } catch (...) {
        // Closing the panel never fails.
    }
}

void TWaymarksPanel::GetOpenPluginInfo(far::OpenPluginInfo& info) {
    info.Flags |= far::OPIF_RAWSELECTION | far::OPIF_SHOWNAMESONLY | far::OPIF_SHOWRIGHTALIGNNAMES |
                  far::OPIF_SHOWPRESERVECASE;
    Face.Fill(info);
}

bool TWaymarksPanel::GetFindData(int /*opMode*/, far::PluginPanelItem*& items, int& count) {
    // Read afresh every time: another panel or process may have changed the store.
    if (auto read = ReadListing()) {
        PanelItems = std::make_shared<const TPanelItemArray>(std::move(*read));
    } else if (!PanelItems) {
        PanelItems = std::make_shared<const TPanelItemArray>();
    }
    THandedListing& handed = Handed.emplace_back();
    handed.Items = PanelItems;
    handed.FindData.assign(PanelItems->size(), far::PluginPanelItem{});
    for (size_t i = 0; i < PanelItems->size(); ++i) {
        const TPanelItemInfo& info = (*PanelItems)[i];
        far::PluginPanelItem& item = handed.FindData[i];
        item.FindData.lpwszFileName = ToHostString(info.Path);
        item.Description = ToHostString(info.Text);
        item.FindData.dwFileAttributes =
            info.IsGroup ? far::FILE_ATTRIBUTE_DIRECTORY : far::FILE_ATTRIBUTE_NORMAL;
    }
    items = handed.Array();
    count = static_cast<int>(handed.FindData.size());
    return true;
}

void TWaymarksPanel::FreeFindData(far::PluginPanelItem* items, int /*count*/) {
    const auto given = std::find_if(Handed.begin(), Handed.end(), [&](THandedListing& listing) {
        return listing.Array() == items;
    });
    if (given != Handed.end()) Handed.erase(given);
    if (PendingFocus.empty()) return;
    const String path = std::move(PendingFocus);
    PendingFocus.clear();
    FocusItem(path);
}

std::optional<TWaymarksPanel::TPanelItemArray> TWaymarksPanel::ReadListing() {
    const String prefix = CurrentDir.empty() ? String() : CurrentDir + u"/";
    TPanelItemArray items;
    if (!CurrentDir.empty()) items.push_back({String(kUp), String(kUp), {}, true});
    // The members, not what lies deeper; an entry that cannot be read is left out.
    const bool whole = TOptions().ReadEntriesUnder(
        prefix, [&](StringView path, std::unique_ptr<TWaymarkInfo> entry) {
            const StringView member = path.substr(prefix.size());
            if (!entry || member.empty() || member.find_first_of(u"/\\") != StringView::npos)
                return;
            items.push_back({String(path), String(member), entry->DisplayText(), entry->IsGroup()});
        });
    if (!whole) return std::nullopt;
    return items;
}

void TWaymarksPanel::ChangeDir(StringView path, bool remember) {
    CurrentDir = ResolvePath(CurrentDir, path);
    Title = MessageText(MTitle) + u": /" + CurrentDir;
    if (remember) RememberDir();
}

void TWaymarksPanel::RememberDir() {
    TOptions options;
    if (!options.SaveLastPanelDir || options.LastPanelDir == CurrentDir) return;
    options.LastPanelDir = CurrentDir;
    options.StoreLastPanelDir();
}

bool TWaymarksPanel::SetDirectory(StringView directory, int opMode) {
    const bool remember = (opMode & far::OPM_FIND) == 0;
    const String target = directory == kUp ? ResolvePath(CurrentDir, kUp)
                                           : ResolvePath(CurrentDir, u"/" + String(directory));
    if (target.empty()) {
        ChangeDir(u"/", remember);
        return true;
    }
    const auto stored = TWaymarks::Find(target, false);
    if (!stored || !stored->IsGroup()) return false;
    ChangeDir(u"/" + stored->Name, remember);  // as the group is spelt
    return true;
}

int TWaymarksPanel::Control(int command, int param1, far::LONG_PTR param2) {
    return CallHost(Startup().Control, 0, Handle(), command, param1, param2);
}

void TWaymarksPanel::FocusItem(StringView path) {
    const String name = TWaymarkInfo::NormalizeName(path);
    const TFarPanel shown(Handle(), true);
    for (int index = 0; index < shown.Count(); ++index) {
        if (shown.GetItem(index).FileName != name) continue;
        far::PanelRedrawInfo position{index, index};
        Control(far::FCTL_REDRAWPANEL, 0, reinterpret_cast<far::LONG_PTR>(&position));
        return;
    }
}

int TWaymarksPanel::ProcessEvent(int event, void* /*param*/) {
    if (event == far::FE_REDRAW && !PendingFocus.empty()) {
        const String path = std::move(PendingFocus);
        PendingFocus.clear();
        FocusItem(path);
    }
    return 0;
}

String TWaymarksPanel::CurrentItemName(bool& group) {
    group = false;
    // Only the current item is read; the host answers an index out of range with nothing.
    TFarPanel active(TPanelSide::Active, false);
    if (active.Handle == nullptr || active.CurrentItem < 0) return {};
    const TFarPanel::TItem current(active, static_cast<int>(active.CurrentItem));
    group = (current.FileAttributes & far::FILE_ATTRIBUTE_DIRECTORY) != 0;
    return current.FileName;
}

TWaymarksPanel::TActivation TWaymarksPanel::ActivateCurrent(far::HANDLE target) {
    bool group = false;
    const String name = CurrentItemName(group);
    if (name.empty()) return TActivation::Nothing;
    if (group) return TActivation::Group;
    // A jump of this panel closes it: the host deletes the panel before the call returns.
    TWaymarks::JumpByName(name, target, false, TWaymarks::TNameSource::Stored);
    return TActivation::Jumped;
}

bool TWaymarksPanel::ProcessKey(int key, unsigned controlState) {
    const unsigned state = controlState & (far::PKF_CONTROL | far::PKF_ALT | far::PKF_SHIFT);
    // A group and ".." are the host's to enter, through SetDirectory.
    if (key == far::VK_RETURN && state == 0) {
        return ActivateCurrent(Handle()) != TActivation::Group;
    }
    if (key == far::VK_RETURN && state == far::PKF_SHIFT) {
        ActivateCurrent(far::PANEL_PASSIVE);
        return true;
    }
    // F4 edits here, for groups and waymarks alike: the host's edit command would show a
    // group's file attributes, and after it the host does not read the panel again, so a
    // changed name or text would stay unseen.
    if (key == far::VK_F4 && state == 0) {
        bool group = false;
        const String name = CurrentItemName(group);
        if (name.empty() || name == kUp) return false;
        if (TWaymarks::EditByName(name)) Update();
        return true;
    }
    if (key == far::VK_F4 && state == far::PKF_SHIFT) {
        if (TWaymarks::AddFromPanel(CurrentDir, far::PANEL_PASSIVE)) Update();
        return true;
    }
    return false;
}

bool TWaymarksPanel::BeginDeleteFiles(int /*count*/, int opMode) {
    if ((opMode & far::OPM_SILENT) != 0) return true;
    return AskYesNoCancel({MessageText(MTitle), MessageText(MConfirmDelete)}) == 0;
}

// The host reads the panel again once the whole batch is deleted.
bool TWaymarksPanel::DeleteFile(far::PluginPanelItem& item, int /*opMode*/) {
    return TWaymarks::Delete(FromHostString(item.FindData.lpwszFileName));
}

bool TWaymarksPanel::MakeDirectory(String& name) {
    String typed = name;
    if (!TMakeDirDialog::AskName(typed)) throw EAbort();
    String path;
    try {
        TOptions::ValidateName(typed);
        path = TOptions::ValidateNewName(ResolvePath(CurrentDir, typed));
    } catch (const EWaymarkError& error) {
        TFarModule::ShowError(error.Message());
        return false;
    }
    if (!TWaymarks::EnsureGroups(path)) return false;
    PendingFocus = path;
    return true;
}

bool TWaymarksPanel::BeginGetFiles(int /*count*/, int /*opMode*/) {
    OverwriteChoice = 0;
    return true;
}

bool TWaymarksPanel::BeginPutFiles(int count, int opMode) {
    OverwriteChoice = 0;
    Reports.Begin((opMode & far::OPM_SILENT) != 0);
    if (count > 1) Reports.SetBatch();
    return true;
}

}  // namespace wm
