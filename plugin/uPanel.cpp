#include "plugin/uPanel.h"

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
    if (!startDir.empty() && !panel->SetDirectory(startDir) &&
        panel->SetDirectory(ExtractParentPath(startDir))) {
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
    info.StartPanelMode = u'6';
}

bool TWaymarksPanel::GetFindData(int /*opMode*/, far::PluginPanelItem*& items, int& count) {
    if (!ItemsValid) BuildListing();
    items = FindData.empty() ? nullptr : FindData.data();
    count = static_cast<int>(FindData.size());
    return true;
}

void TWaymarksPanel::FreeFindData(far::PluginPanelItem* /*items*/, int /*count*/) {
    if (PendingFocus.empty()) return;
    const String path = std::move(PendingFocus);
    PendingFocus.clear();
    FocusItem(path);
}

void TWaymarksPanel::BuildListing() {
    size_t start = 0;
    const auto children = TWaymarks::ListChildren(CurrentDir, false, start);
    if (children) {
        TPanelItemArray items;
        items.reserve(children->size() + 1);
        if (!CurrentDir.empty()) items.push_back({String(kUp), String(kUp), {}, true});
        TOptions options;
        for (const String& path : *children) {
            String rest = path.substr(start - 1), shortName;
            if (!SplitFirstComponent(rest, shortName) || shortName.empty()) continue;
            std::unique_ptr<TWaymarkInfo> entry;
            try {
                entry = options.ReadEntry(path);
            } catch (const Exception&) {
                // An entry that cannot be read is left out.
            }
            if (!entry) continue;
            items.push_back({path, std::move(shortName), entry->DisplayText(), entry->IsGroup()});
        }
        PanelItems = std::move(items);
        FindData.assign(PanelItems.size(), far::PluginPanelItem{});
        for (size_t i = 0; i < PanelItems.size(); ++i) {
            const TPanelItemInfo& info = PanelItems[i];
            far::PluginPanelItem& item = FindData[i];
            item.FindData.lpwszFileName = ToHostString(info.Path);
            item.Description = ToHostString(info.Text);
            item.FindData.dwFileAttributes =
                info.IsGroup ? far::FILE_ATTRIBUTE_DIRECTORY : far::FILE_ATTRIBUTE_NORMAL;
        }
    }
    ItemsValid = true;
}

void TWaymarksPanel::ChangeDir(StringView path) {
    CurrentDir = ResolvePath(CurrentDir, path);
    Title = MessageText(MTitle) + u": " + CurrentDir;
    ItemsValid = false;
    RememberDir();
}

void TWaymarksPanel::RememberDir() {
    TOptions options;
    if (!options.SaveLastPanelDir) return;
    options.LastPanelDir = CurrentDir;
    options.Save();
}

bool TWaymarksPanel::SetDirectory(StringView directory) {
    const String target = directory == kUp ? ResolvePath(CurrentDir, kUp)
                                           : ResolvePath(CurrentDir, u"/" + String(directory));
    if (target.empty()) {
        ChangeDir(u"/");
        return true;
    }
    const auto stored = TWaymarks::Find(target, false);
    if (!stored || !stored->IsGroup()) return false;
    ChangeDir(u"/" + target);
    return true;
}

int TWaymarksPanel::Control(int command, int param1, far::LONG_PTR param2) {
    return CallHost(Startup().Control, 0, Handle(), command, param1, param2);
}

void TWaymarksPanel::Refresh() {
    ItemsValid = false;
    Control(far::FCTL_UPDATEPANEL, 1, 0);
    Control(far::FCTL_REDRAWPANEL, 0, 0);
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
    if (name == kUp) return TActivation::Up;
    if (group) return TActivation::Group;
    // A jump of this panel closes it: the host deletes the panel before the call returns.
    TWaymarks::JumpByName(name, target, false);
    return TActivation::Jumped;
}

void TWaymarksPanel::GoUp() {
    const String left = CurrentDir;
    ChangeDir(kUp);
    PendingFocus = left;
    Refresh();
}

bool TWaymarksPanel::ProcessKey(int key, unsigned controlState) {
    const unsigned state = controlState & (far::PKF_CONTROL | far::PKF_ALT | far::PKF_SHIFT);
    if (key == far::VK_RETURN && state == 0) {
        switch (ActivateCurrent(Handle())) {
            // The host takes ".." at its top as leaving the plugin, and the host sees every
            // group as its top: the panel goes up itself.
            case TActivation::Up:
                GoUp();
                return true;
            case TActivation::Group:
                return false;
            default:
                return true;
        }
    }
    if (key == far::VK_RETURN && state == far::PKF_SHIFT) {
        ActivateCurrent(far::PANEL_PASSIVE);
        return true;
    }
    // The host's edit command edits waymarks only; on a group it would show file attributes.
    if (key == far::VK_F4 && state == 0) {
        bool group = false;
        const String name = CurrentItemName(group);
        if (!group || name == kUp) return false;
        if (TWaymarks::EditByName(name)) Refresh();
        return true;
    }
    if (key == far::VK_F4 && state == far::PKF_SHIFT) {
        if (TWaymarks::AddFromPanel(CurrentDir, far::PANEL_PASSIVE)) Refresh();
        return true;
    }
    return false;
}

bool TWaymarksPanel::BeginDeleteFiles(int /*count*/, int opMode) {
    if ((opMode & far::OPM_SILENT) != 0) return true;
    return AskYesNoCancel({MessageText(MTitle), MessageText(MConfirmDelete)}) == 0;
}

bool TWaymarksPanel::DeleteFile(far::PluginPanelItem& item, int /*opMode*/) {
    const bool deleted = TWaymarks::Delete(FromHostString(item.FindData.lpwszFileName));
    if (deleted) Refresh();
    return deleted;
}

bool TWaymarksPanel::MakeDirectory(String& name) {
    ItemsValid = false;
    String typed = name;
    if (!TMakeDirDialog::AskName(typed)) throw EAbort();
    String path;
    try {
        TOptions::ValidateName(typed);
        path = TOptions::ValidateName(ResolvePath(CurrentDir, typed));
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

bool TWaymarksPanel::BeginPutFiles(int /*count*/, int /*opMode*/) {
    OverwriteChoice = 0;
    return true;
}

}  // namespace wm
