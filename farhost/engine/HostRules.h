// How the host treats a plugin's panel: the rules farhost reproduces, each in one place.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "core/String.h"
#include "host/FarKeysW.h"
#include "host/PluginW.h"

namespace farhost::rules {

// Only INVALID_HANDLE_VALUE from OpenPluginW means "no panel"; any other value, null included,
// is a panel, read at once with GetFindDataW and closed with ClosePluginW when that fails.
inline bool IsPanelAnswer(far::HANDLE answer) {
    return answer != far::INVALID_HANDLE_VALUE;
}

// The host copies the items GetFindDataW hands out and gives them back with FreeFindDataW
// straight away, so every read is paired with one free.
constexpr int32_t kFindDataOpMode = 0;

// The host asks GetOpenPluginInfoW after every GetFindDataW, and takes the panel's title, CurDir
// (the command line's prompt, and what ".." and Ctrl+PgUp go up from) and flags from it. Without
// the export the panel has an empty title, no flags (the items' full file names are shown) and
// an empty CurDir.
// The key bar shows the plain labels of KeyBar where they are not null; a null label keeps the
// host's own.
struct PanelInfo {
    wm::String title;
    wm::String curDir;
    uint32_t flags = 0;
    // The name column shows the part of a file name after its last separator ("\\" or "/").
    bool namesOnly = false;
    // The column titles of the view the panel starts in; no description column when empty.
    wm::String nameTitle = u"Name";
    wm::String descriptionTitle;
    std::array<std::optional<wm::String>, 12> keyBar;
};

// The view the panel starts in is StartPanelMode ('0' to '9'). Where the plugin's
// PanelModesArray describes that mode (its ColumnTypes and ColumnWidths not null), its columns
// are shown: a name column shows names only when its type carries "O" ("NO"; OPIF_SHOWNAMESONLY
// does not change a plugin's own mode, seen in the real host), a "Z" column the items'
// descriptions, under the plugin's ColumnTitles where not null. Otherwise the host's own mode
// is shown: mode 6 has the descriptions, and OPIF_SHOWNAMESONLY makes names only.
constexpr int kDescriptionsMode = 6;
PanelInfo PanelInfoOf(const far::OpenPluginInfo& info);

inline wm::String ShownName(const wm::String& name, bool namesOnly) {
    if (!namesOnly) return name;
    const auto slash = name.find_last_of(u"\\/");
    return slash == wm::String::npos ? name : name.substr(slash + 1);
}

// The parent item.
inline bool IsParentItem(const wm::String& name) {
    return name == u"..";
}

// ".." (and Ctrl+PgUp, offered to ProcessKeyW first, with or without a ".." item) while the host
// believes CurDir is empty leaves the plugin (seen in the real host): FE_CLOSE, then ClosePluginW,
// and the side shows its file folder again. A nonzero FE_CLOSE answer keeps a panel the user
// is leaving; a close the plugin asked for (FCTL_CLOSEPLUGIN, FCTL_SETPANELDIR) is not refused.
inline bool ParentLeavesPlugin(const wm::String& curDir) {
    return curDir.empty();
}

// After SetDirectoryW("..") the cursor goes to the folder just left (the last part of the old
// CurDir) when it is listed; after entering a folder, to the first item.
inline wm::String FolderLeft(const wm::String& oldCurDir) {
    wm::String dir = oldCurDir;
    while (!dir.empty() && (dir.back() == u'\\' || dir.back() == u'/')) dir.pop_back();
    const auto slash = dir.find_last_of(u"\\/");
    return slash == wm::String::npos ? dir : dir.substr(slash + 1);
}

// Every key is offered to ProcessKeyW first, as a virtual key code and PKF_ control state:
// once with PKF_PREPROCESS added to the code, then as it is (Tab only the first time: the host
// switches sides itself). A nonzero answer means the plugin handled it and the host does
// nothing more.
inline int32_t PreprocessKey(int32_t key) {
    return key | far::PKF_PREPROCESS;
}
inline bool KeyClaimed(int32_t answer) {
    return answer != 0;
}

// The active side's plugin panel gets FE_KILLFOCUS when the other side becomes active, and a
// plugin panel FE_GOTFOCUS when its side does, a new panel before it is first read. A plugin
// panel that a new one replaces is closed (FE_CLOSE, ClosePluginW) before the new one is read.

// The batch operations answer 1 (done), 0 (failed) or -1 (aborted by the user); PutFilesW may
// also answer 2 (done, and the source items stay marked).
enum class Outcome { Done, Failed, Aborted, DoneKeepMarks };
inline Outcome OutcomeOf(int32_t answer) {
    switch (answer) {
        case 1:
            return Outcome::Done;
        case 2:
            return Outcome::DoneKeepMarks;
        case -1:
            return Outcome::Aborted;
        default:
            return Outcome::Failed;
    }
}
inline const char* OutcomeName(Outcome outcome) {
    switch (outcome) {
        case Outcome::Done:
            return "done";
        case Outcome::DoneKeepMarks:
            return "done, marks kept";
        case Outcome::Aborted:
            return "aborted";
        default:
            return "failed";
    }
}

// After a done GetFilesW or DeleteFilesW, a marked item whose PPIF_SELECTED the plugin cleared
// in the array it was handed is unmarked. After a done PutFilesW (1) the file panel's items that
// were put are unmarked; 2 keeps them.
inline bool UnmarksPluginItems(Outcome outcome) {
    return outcome == Outcome::Done;
}
inline bool UnmarksPutItems(Outcome outcome) {
    return outcome == Outcome::Done;
}

// After a command line command (one the plugin took, too) the host reads the active side again,
// and on Ctrl+R the side Ctrl+R is pressed on: a plugin panel with GetFindDataW and
// GetOpenPluginInfoW, keeping the cursor on the same item and the marks on the items still
// listed. A plugin panel on the passive side is not read again, not even when it becomes active;
// only a plugin's FCTL_UPDATEPANEL does that.
constexpr bool kRereadKeepsMarks = true;

// The plugin panel is read again after GetFilesW (a copy too), PutFilesW and DeleteFilesW,
// whatever the answer (a failed or aborted operation may have done part of its work);
// after MakeDirectoryW only when it is done, and then the cursor goes to the name the plugin
// left in *Name. The host asks for no confirmation of its own before DeleteFilesW.
inline bool RereadsAfterMakeDirectory(Outcome outcome) {
    return outcome == Outcome::Done;
}

// F4 on a plugin panel: GetFilesW of the current item with OPM_EDIT, no move, into a fresh
// temporary folder; the host edits the copy there, and does not read the panel again after
// (seen in the real host: a change the plugin made in GetFilesW stayed unseen until Ctrl+R). Enter
// on a file item does the same with OPM_SILENT | OPM_VIEW to run the copy, and reads the panel
// again.
constexpr int32_t kEditOpMode = far::OPM_EDIT;
constexpr int32_t kRunOpMode = far::OPM_SILENT | far::OPM_VIEW;

// PANEL_ACTIVE and PANEL_PASSIVE name sides; any other handle names the side whose plugin
// panel has it, the active side first.

// FCTL_GETPANELINFO's SelectedItemsNumber, and what FCTL_GETSELECTEDPANELITEM lists: the marked
// items, or else the current item unless it is "..". The same items are what F5, F6 and F8 act on.

// After FCTL_REDRAWPANEL, and whenever the host draws the panel anew after one of its own
// actions, the plugin gets ProcessEventW(FE_REDRAW, null).

}  // namespace farhost::rules
