// The operations that run the edit dialog: editing and renaming a stored waymark or group, and
// adding one for a panel's directory.
#include "framework/FarModule.h"
#include "platform/CharCase.h"
#include "plugin/uEditUI.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"
#include "plugin/uOptions.h"
#include "plugin/uTasks.h"

namespace wm {
namespace {

// Runs the dialog until it is cancelled (false) or confirmed with a name that may be made and an
// identifier that is one (true), the fields in `waymark`; a refused name or identifier is said
// and the dialog comes back with everything typed.
bool RunUntilNamed(TEditWaymarkDialog& dialog, StringView prefix, TWaymarkInfo& waymark) {
    for (;;) {
        if (!dialog.Run()) return false;
        if (dialog.Name.empty()) {
            TFarModule::ShowError(MessageText(MEmptyName));
            continue;
        }
        if (!dialog.TypedPluginID()) {
            TFarModule::ShowErrorLines({MessageText(MInvalidPluginId), dialog.PluginID});
            continue;
        }
        TWaymarks::DialogToInfo(dialog, prefix, waymark);
        if (!TOptions::IsReservedName(waymark.Name)) return true;
        TFarModule::ShowError(MessageText(MReservedName));
    }
}

// A renamed waymark may replace a waymark of the new name, never a group; a renamed group may
// not land on a waymark either, or its entries would sit below a waymark.
bool RenameTargetIsFree(const String& newName, bool movingGroup) {
    const auto stored = TWaymarks::Find(newName, false);
    if (!stored) return true;
    if (stored->IsGroup()) {
        TFarModule::ShowError(MessageText(MTargetIsGroup));
        return false;
    }
    if (!movingGroup) return true;
    TFarModule::ShowErrorLines({MessageText(MNotAGroup), newName});
    return false;
}

// A rename that changes only the letter case: the store ignores case, so the new spelling would
// be written into the old key and the removal of the old name would then take it away. Each key
// is made again instead, as one change where the store can make it whole; where a write fails,
// the old entries are written back.
bool RenameLetterCase(const std::vector<TWaymarkInfo>& before,
                      const std::vector<TWaymarkInfo>& after) {
    const bool renamed = TOptions().WriteTogether([&] {
        for (size_t i = 0; i < before.size(); ++i) {
            if (TWaymarks::RemoveStored(before[i].Name) && TWaymarks::Store(after[i])) continue;
            for (size_t j = 0; j <= i; ++j) {
                TWaymarks::RemoveStored(after[j].Name);
                TWaymarks::Store(before[j]);
            }
            return false;
        }
        return true;
    });
    return renamed || ReportStoreFailed(after.front().Name);
}

// Moves the group and everything below it to the new name. A new name writes every entry first
// and only then removes the old ones; when a write fails, what was written is removed again and
// the old entries stay.
bool MoveGroup(const TWaymarkInfo& old, const TWaymarkInfo& group, bool caseOnly) {
    size_t start = 0;
    const auto children = TWaymarks::ListChildren(old.Name, true, start);
    if (!children) return ReportStoreFailed(group.Name);
    std::vector<TWaymarkInfo> before{old}, moved{group};
    TOptions options;
    for (const String& child : *children) {
        auto entry = options.ReadEntry(child);
        if (!entry) return ReportStoreFailed(group.Name);
        before.push_back(*entry);
        entry->Name = group.Name + u"/" + child.substr(start - 1);
        moved.push_back(std::move(*entry));
    }
    if (caseOnly) return RenameLetterCase(before, moved);
    for (size_t written = 0; written < moved.size(); ++written) {
        if (TWaymarks::Store(moved[written])) continue;
        while (written-- > 0) TWaymarks::RemoveStored(moved[written].Name);
        return ReportStoreFailed(moved.front().Name);
    }
    for (auto it = children->rbegin(); it != children->rend(); ++it) TWaymarks::RemoveStored(*it);
    TWaymarks::RemoveStored(old.Name);
    return true;
}

}  // namespace

bool TWaymarks::EditByName(StringView name) {
    const auto stored = Find(name, false);
    return stored && Edit(*stored);
}

bool TWaymarks::Edit(const TWaymarkInfo& waymark) {
    auto dialog = TFarDialog::New<TEditWaymarkDialog>();
    String prefix;
    InfoToDialog(waymark, *dialog, prefix);
    TWaymarkInfo edited = waymark;
    if (!RunUntilNamed(*dialog, prefix, edited)) return false;

    const String& oldName = waymark.Name;
    if (oldName.empty() || edited.Name == oldName) {
        return Store(edited) || ReportStoreFailed(edited.Name);
    }
    // The same name to the store, which ignores case: only the spelling changes.
    const bool caseOnly = platform::SameTextIgnoringCase(edited.Name, oldName);
    if (!caseOnly && !RenameTargetIsFree(edited.Name, waymark.IsGroup())) return false;
    if (waymark.IsGroup()) return MoveGroup(waymark, edited, caseOnly);
    if (caseOnly) return RenameLetterCase({waymark}, {edited});
    // The old entry goes only once the new one is stored.
    if (!Store(edited)) return ReportStoreFailed(edited.Name);
    RemoveStored(oldName);
    return true;
}

bool TWaymarks::AddFromPanel(StringView prefix, far::HANDLE panel) {
    TWaymarkInfo waymark = *InfoFromPanel(panel);
    for (;;) {
        auto dialog = TFarDialog::New<TEditWaymarkDialog>();
        String unused;
        InfoToDialog(waymark, *dialog, unused);
        if (!RunUntilNamed(*dialog, prefix, waymark)) return false;
        if (const auto stored = Find(waymark.Name, false)) {
            if (stored->IsGroup()) {
                TFarModule::ShowError(MessageText(MTargetIsGroup));
                return false;
            }
            const int answer = AskYesNoCancel({MessageText(MTitle), MessageText(MOverwriteBefore),
                                               stored->Directory, MessageText(MOverwriteAfter)});
            if (answer == 1) continue;  // the dialog again, with the values just entered
            if (answer != 0) return false;
        }
        return Store(waymark) || ReportStoreFailed(waymark.Name);
    }
}

void TWaymarks::InfoToDialog(const TWaymarkInfo& waymark, TEditWaymarkDialog& dialog,
                             String& prefix) {
    prefix = ExtractParentPath(waymark.Name);
    if (!prefix.empty()) prefix.pop_back();  // its separator
    dialog.Name = ExtractLastComponent(waymark.Name);
    dialog.Directory = waymark.Directory;
    dialog.PluginID = IsNullGuid(waymark.PluginID) ? String() : GuidToString(waymark.PluginID);
    dialog.Param = waymark.Param;
    dialog.HostFile = waymark.HostFile;
    dialog.Description = waymark.Description;
}

void TWaymarks::DialogToInfo(const TEditWaymarkDialog& dialog, StringView prefix,
                             TWaymarkInfo& waymark) {
    waymark.SetName(prefix.empty() ? dialog.Name : String(prefix) + u"/" + dialog.Name);
    waymark.Directory = dialog.Directory;
    waymark.PluginID = dialog.TypedPluginID().value_or(waymark.PluginID);
    waymark.Param = dialog.Param;
    waymark.HostFile = dialog.HostFile;
    waymark.Description = dialog.Description;
}

}  // namespace wm
