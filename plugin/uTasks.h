// What the user does with waymarks: the jump from the command line (name resolution, path
// suffix, substitution, the jump back, the walk up to an existing parent), the command grammar,
// storing the panel's directory, and the operations on stored entries.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "core/String.h"
#include "host/PluginW.h"
#include "plugin/uInfo.h"

namespace wm {

class TEditWaymarkDialog;
class TWaymarksPanel;

class TWaymarks {
public:
    // The text after the prefix: ":" and a name stores the active panel's directory; anything
    // else is a name to jump to. False for an empty text and for whatever did not happen.
    static bool ExecuteCommandLine(StringView text);

    // Jumps `panel` to the waymark a typed name resolves to; "-" jumps back.
    // A name typed on the command line, where "-" is the jump back, or one read from the store.
    enum class TNameSource { Typed, Stored };
    static bool JumpByName(StringView name, far::HANDLE panel, bool searchAllowed,
                           TNameSource source = TNameSource::Typed);
    // How JumpTo reads a directory: through the substitution engines, or as it stands (a
    // folder a panel showed, whose name may look like a substitution form).
    enum class TDirectoryText { Expanded, Literal };
    // Jumps `panel` to the waymark's directory with `suffix` appended, offering to walk up to an
    // existing parent when it cannot be entered.
    static bool JumpTo(const TWaymarkInfo& waymark, far::HANDLE panel, StringView suffix,
                       bool pluginCallsAllowed, TDirectoryText text = TDirectoryText::Expanded);
    // The waymark a typed name resolves to (asking with a menu when several match), or null.
    // A search raises EWaymarkError when the stored names cannot all be listed.
    static std::unique_ptr<TWaymarkInfo> Find(StringView name, bool searchAllowed);
    // An unnamed waymark holding the panel's current directory.
    static std::unique_ptr<TWaymarkInfo> InfoFromPanel(far::HANDLE panel);

    static bool StoreCurrentDirectory(StringView name, far::HANDLE panel);
    // Stores after making sure of the groups on its path and asking before an overwrite.
    static bool StoreWithConfirmation(const TWaymarkInfo& waymark);
    // Makes sure every leading part of the path exists as a group, creating missing ones.
    static bool EnsureGroups(StringView path);
    static bool Store(const TWaymarkInfo& waymark);
    static bool RemoveStored(StringView name);
    // Deletes a waymark, or a group with everything below it.
    static bool Delete(StringView name);
    // The stored names below `parent` (direct children only unless recursive), in store order;
    // `start` is the position where the child part of each name begins. Nothing when the stored
    // names cannot all be listed.
    static std::optional<std::vector<String>> ListChildren(StringView parent, bool recursive,
                                                           size_t& start);

    // Edits the stored waymark of that name in the edit dialog; false when none is stored.
    static bool EditByName(StringView name);
    // Runs the edit dialog on a stored waymark and stores the result. A new name within the group
    // renames it; a renamed group takes everything below it along. True when saved.
    static bool Edit(const TWaymarkInfo& waymark);
    // A new waymark in the group `prefix` for the panel's directory, named in the edit dialog.
    static bool AddFromPanel(StringView prefix, far::HANDLE panel);
    // The waymark into the dialog's fields; `prefix` gets the group part of its name.
    static void InfoToDialog(const TWaymarkInfo& waymark, TEditWaymarkDialog& dialog,
                             String& prefix);
    // The dialog's fields into the waymark, its name below `prefix`; the flags stay, and so does
    // the identifier when the one typed is no GUID.
    static void DialogToInfo(const TEditWaymarkDialog& dialog, StringView prefix,
                             TWaymarkInfo& waymark);

    // A new waymarks panel; with a start directory, at that group, or at its parent group with
    // the cursor on it.
    static std::unique_ptr<TWaymarksPanel> CreatePanel(StringView startDir);

    // Where the last successful jump from a file panel started; null before the first one.
    static const TWaymarkInfo* PreviousLocation();
    static void ForgetPreviousLocation();
};

}  // namespace wm
