#include "plugin/uTasks.h"

#include <algorithm>

#include "core/Format.h"
#include "framework/FarModule.h"
#include "framework/FarPanel.h"
#include "framework/FarPanelManaged.h"
#include "platform/CharCase.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "plugin/uEntryNames.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"
#include "plugin/uOptions.h"
#include "plugin/uSubstitution.h"

namespace wm {
namespace {

// Where the last successful jump started.
std::unique_ptr<TWaymarkInfo> g_previousLocation;

// The length of the "\\server\share" part of a UNC path, or 0 for any other path.
size_t UncRootLength(StringView path) {
    if (path.size() <= 2 || path.substr(0, 2) != u"\\\\") return 0;
    const auto server = path.find(u'\\', 2);
    if (server == StringView::npos) return path.size();
    const auto share = path.find(u'\\', server + 1);
    return share == StringView::npos ? path.size() : share;
}

// One level up for the walk to an existing parent: the path up to and including its last
// separator (or drive colon), less a trailing separator; a UNC path stops at its share and the
// Linux root stays "/". Empty, or the path itself, when there is no level above.
String ParentLevel(StringView path) {
    const auto cut = path.find_last_of(platform::ParentCutCharacters);
    if (cut == StringView::npos) return {};
    String parent(path.substr(0, cut + 1));
    if (parent.size() > 1 && (parent.back() == u'\\' || parent.back() == u'/') &&
        platform::ParentCutCharacters.find(parent.back()) != StringView::npos) {
        parent.pop_back();
    }
    const size_t uncRoot = UncRootLength(path);
    if (uncRoot > 0 && parent.size() < uncRoot) return String(path);
    return parent;
}

// The lines that ask before a stored waymark is overwritten.
std::vector<String> OverwriteQuestion(const TWaymarkInfo& stored) {
    std::vector<String> lines{MessageText(MTitle), MessageText(MOverwriteBefore), stored.Directory};
    if (!IsNullGuid(stored.PluginID)) {
        lines.push_back(GuidToString(stored.PluginID));
        lines.push_back(stored.Param);
        lines.push_back(stored.HostFile);
    }
    lines.push_back(MessageText(MOverwriteAfter));
    return lines;
}

}  // namespace

const TWaymarkInfo* TWaymarks::PreviousLocation() {
    return g_previousLocation.get();
}
void TWaymarks::ForgetPreviousLocation() {
    g_previousLocation.reset();
}

bool TWaymarks::ExecuteCommandLine(StringView text) {
    if (text.empty()) return false;
    if (text.front() == u':') {
        const bool stored = StoreCurrentDirectory(Trim(text.substr(1)), far::PANEL_ACTIVE);
        // A waymarks panel open on the other side shows the new entry at once.
        if (stored) TFarPanelManaged::UpdateLivePanels();
        return stored;
    }
    return JumpByName(Trim(text), far::PANEL_ACTIVE, true);
}

bool TWaymarks::JumpByName(StringView typed, far::HANDLE panel, bool searchAllowed,
                           TNameSource source) {
    bool allowSuffix = false, allowPluginCalls = false;
    {
        const TOptions options;
        allowSuffix = options.AllowPathSuffix;
        allowPluginCalls = options.AllowPluginCalls;
    }
    String name(typed), suffix;
    if (allowSuffix) {
        const auto backslash = name.find(u'\\');
        if (backslash != String::npos) {
            suffix = platform::NativeSeparators(StringView(name).substr(backslash));
            name.resize(backslash);
        }
    }
    // A plugin panel's folder is no place to come back to.
    auto origin = InfoFromPanel(far::PANEL_ACTIVE);
    const bool fromFilePanel = TFarPanel(TPanelSide::Active, false).Plugin == 0;
    bool jumped = false;
    if (name == u"-" && source == TNameSource::Typed) {
        if (!g_previousLocation) {
            TFarModule::ShowError(MessageText(MNoPreviousLocation));
            return false;
        }
        jumped =
            JumpTo(*g_previousLocation, far::PANEL_ACTIVE, suffix, true, TDirectoryText::Literal);
    } else {
        const auto found = Find(name, searchAllowed);
        if (!found) {
            TFarModule::ShowError(MessageText(MWaymarkNotFound));
            return false;
        }
        jumped = JumpTo(*found, panel, suffix, allowPluginCalls);
    }
    if (jumped && fromFilePanel) g_previousLocation = std::move(origin);
    return jumped;
}

std::unique_ptr<TWaymarkInfo> TWaymarks::Find(StringView typed, bool searchAllowed) {
    const String key = TWaymarkInfo::NormalizeName(typed);
    TOptions options;
    if (!searchAllowed || (!options.AllowFuzzySearch && !options.AllowSearchOverDir)) {
        return options.ReadEntry(key);
    }

    // A name stored exactly as typed ends the walk wherever it comes: no listing is needed.
    if (auto exact = options.ReadEntryStoredAs(key)) return std::move(*exact);

    const auto names = TEntryNames::Read(options);
    if (!names) throw EWaymarkError(u"The stored waymarks could not be listed");
    if (names->Contains(key)) return options.ReadEntry(key);

    std::vector<String> candidates;
    // The names whose last component is the key, and where the first of them is.
    size_t lastComponentHits = 0, firstHit = 0;
    if (options.AllowSearchOverDir) {
        for (const size_t place : names->LastComponentStartingWith(key)) {
            const String& name = names->Names()[place];
            if (LastComponent(name) == key) {
                if (lastComponentHits++ == 0) firstHit = candidates.size();
                candidates.push_back(name);
            } else if (options.AllowFuzzySearch) {
                candidates.push_back(name);
            }
        }
    } else {
        for (const size_t place : names->StartingWith(key)) {
            candidates.push_back(names->Names()[place]);
        }
    }
    // Exactly one name whose last component is the key wins over every other candidate.
    if (lastComponentHits == 1) return options.ReadEntry(candidates[firstHit]);
    if (candidates.empty()) return nullptr;
    if (candidates.size() == 1) return options.ReadEntry(candidates.front());

    size_t width = 0;
    for (const String& name : candidates) width = std::max(width, name.size());
    const String lineFormat = Format(u"%%%0:d.%0:ds   %%s", {static_cast<int>(width)});
    std::vector<String> lines;
    std::vector<const String*> lineNames;
    for (const String& name : candidates) {
        std::unique_ptr<TWaymarkInfo> entry;
        try {
            entry = options.ReadEntry(name);
        } catch (const Exception&) {
            // An entry that cannot be read gets no line.
        }
        if (!entry || entry->IsGroup()) continue;
        lines.push_back(Format(lineFormat, {name, entry->DisplayText()}));
        lineNames.push_back(&name);
    }
    if (lines.empty()) return nullptr;
    if (lines.size() == 1) return options.ReadEntry(*lineNames.front());
    int chosen = -1;
    if (!TFarModule::ShowMenu(0, MessageText(MChooseName), u"ChooseNameMenu", lines, chosen)) {
        return nullptr;
    }
    if (chosen < 0 || static_cast<size_t>(chosen) >= lineNames.size()) return nullptr;
    return options.ReadEntry(*lineNames[static_cast<size_t>(chosen)]);
}

bool TWaymarks::JumpTo(const TWaymarkInfo& waymark, far::HANDLE panel, StringView suffix,
                       bool pluginCallsAllowed, TDirectoryText text) {
    if (waymark.IsGroup()) {
        TFarModule::ShowError(MessageText(MWaymarkNotFound));
        return false;
    }
    // This host hands a panel a path and nothing else: no other plugin, parameter or host file.
    if (!IsNullGuid(waymark.PluginID) || !waymark.Param.empty() || !waymark.HostFile.empty()) {
        TFarModule::ShowErrorLines({MessageText(MThroughAnotherPlugin), waymark.Name});
        return false;
    }
    String target =
        text == TDirectoryText::Expanded ? ExpandDirectory(waymark.Directory) : waymark.Directory;
    target += suffix;
    if (pluginCallsAllowed && TFarModule::IsPluginCommand(target)) {
        return TFarMacro::ExecuteCommand(target);
    }
    // A UNC target goes to the panel like any other directory; the walk up stops at its share.
    // A folder known to be missing is not offered to the host, which would show a box of its
    // own for it before the question below, and again at every missing level of the walk.
    bool asked = false;
    for (;;) {
        if (!platform::IsMissingPath(target) &&
            TFarPanel::SetPanelDirectory(panel, target, NullGuid, u"", u"")) {
            return true;
        }
        if (!asked) {
            asked = true;
            if (AskYesNoCancel({MessageText(MTitle), MessageText(MCannotEnterDirectory), target,
                                MessageText(MGoUpToParent)}) != 0) {
                return false;
            }
        }
        const String parent = ParentLevel(target);
        if (parent.empty() || parent == target) {
            TFarModule::ShowError(MessageText(MCannotEnterDirectory));
            return false;
        }
        target = parent;
    }
}

std::unique_ptr<TWaymarkInfo> TWaymarks::InfoFromPanel(far::HANDLE panel) {
    const TFarPanel snapshot(panel, false);
    auto info = std::make_unique<TWaymarkInfo>();
    info->Directory = snapshot.Directory;
    return info;
}

bool TWaymarks::StoreCurrentDirectory(StringView name, far::HANDLE panel) {
    auto waymark = InfoFromPanel(panel);
    // A plugin's panel, this plugin's own among them, answers no folder.
    if (waymark->Directory.empty()) {
        TFarModule::ShowError(MessageText(MNoFolderToStore));
        return false;
    }
    waymark->Name = TOptions::ValidateNewName(name);
    if (const auto stored = Find(name, false)) waymark->Description = stored->Description;
    return StoreWithConfirmation(*waymark);
}

bool TWaymarks::StoreWithConfirmation(const TWaymarkInfo& waymark) {
    const String parent = ExtractParentPath(waymark.Name);
    if (!parent.empty() && !EnsureGroups(parent)) return false;
    if (const auto stored = Find(waymark.Name, false)) {
        if (stored->IsGroup()) {
            TFarModule::ShowError(MessageText(MTargetIsGroup));
            return false;
        }
        if (AskYesNoCancel(OverwriteQuestion(*stored)) != 0) return false;
    }
    // The store can refuse (a name too long for a key, a read-only registry): say so.
    return Store(waymark) || ReportStoreFailed(waymark.Name);
}

bool TWaymarks::EnsureGroups(StringView path) {
    const auto ensure = [](const String& part) {
        if (const auto stored = Find(part, false)) {
            if (stored->IsGroup()) return true;
        } else {
            TWaymarkInfo group;
            group.Name = part;
            group.SetIsGroup(true);
            if (Store(group)) return true;
        }
        TFarModule::ShowErrorLines({MessageText(MNotAGroup), part});
        return false;
    };
    // Every leading part of the normal form, shortest first.
    const String normal = TWaymarkInfo::NormalizeName(path);
    for (size_t end = normal.find(u'/'); end != String::npos; end = normal.find(u'/', end + 1)) {
        if (!ensure(normal.substr(0, end))) return false;
    }
    return normal.empty() || ensure(normal);
}

bool TWaymarks::Store(const TWaymarkInfo& waymark) {
    return TOptions().WriteEntry(waymark);
}

bool TWaymarks::RemoveStored(StringView name) {
    return TOptions().DeleteEntry(name);
}

bool TWaymarks::Delete(StringView name) {
    const auto stored = Find(name, false);
    if (!stored) {
        TFarModule::ShowError(MessageText(MWaymarkNotFound));
        return false;
    }
    if (stored->IsGroup()) {
        size_t start = 0;
        // Deleting only the children listed would leave the rest without their group.
        const auto children = ListChildren(TWaymarkInfo::NormalizeName(name), true, start);
        if (!children) {
            TFarModule::ShowError(MessageText(MDeleteFailed));
            return false;
        }
        // What cannot be deleted is named; the rest goes, but for the groups that still hold
        // something, so that the panel keeps showing it.
        std::vector<String> kept;
        const auto holdsKept = [&](const String& group) {
            return std::any_of(kept.begin(), kept.end(), [&](const String& name) {
                return name.size() > group.size() &&
                       platform::StartsWithIgnoringCase(name, group + u"/");
            });
        };
        for (auto it = children->rbegin(); it != children->rend(); ++it) {
            if (holdsKept(*it) || RemoveStored(*it)) continue;
            kept.push_back(*it);
        }
        if (!kept.empty()) {
            std::vector<String> lines{MessageText(MDeleteFailed)};
            lines.insert(lines.end(), kept.rbegin(), kept.rend());
            TFarModule::ShowErrorLines(lines);
            return false;
        }
    }
    if (!RemoveStored(name)) {
        TFarModule::ShowError(MessageText(MDeleteFailed));
        return false;
    }
    return true;
}

std::optional<std::vector<String>> TWaymarks::ListChildren(StringView parent, bool recursive,
                                                           size_t& start) {
    const String normal = TWaymarkInfo::NormalizeName(parent);
    const String prefix = normal.empty() ? String() : normal + u"/";
    start = prefix.size() + 1;
    const auto names = TOptions().EnumEntryNames();
    if (!names) return std::nullopt;
    std::vector<String> children;
    for (auto it = names->rbegin(); it != names->rend(); ++it) {
        // Members stored in another letter case than their group are its members all the same.
        if (!platform::StartsWithIgnoringCase(*it, prefix)) continue;
        const StringView child = StringView(*it).substr(prefix.size());
        if (child.empty()) continue;
        if (!recursive && child.find_first_of(u"/\\") != StringView::npos) continue;
        children.push_back(*it);
    }
    std::reverse(children.begin(), children.end());
    return children;
}

}  // namespace wm
