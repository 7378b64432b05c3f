// One stored entry: a waymark (a named directory shortcut) or a group of entries.
#pragma once

#include <cstdint>

#include "core/Guid.h"
#include "core/String.h"

namespace wm {

class TWaymarkInfo {
public:
    static constexpr int32_t GroupFlag = 16;

    // The normal form of an entry name: components split at "\" and "/", empty and "."
    // components dropped, ".." removing the one before, joined with "/".
    static String NormalizeName(StringView text);

    void SetName(StringView text) { Name = NormalizeName(text); }
    // The description, or the directory when there is none.
    const String& DisplayText() const { return Description.empty() ? Directory : Description; }
    bool IsGroup() const { return (Flags & GroupFlag) != 0; }
    void SetIsGroup(bool group) { Flags = group ? Flags | GroupFlag : Flags & ~GroupFlag; }

    String Name;
    // May hold substitution forms, expanded only for a jump.
    String Directory;
    String Param;
    // The host plugin that reaches the directory; the null GUID for none.
    Guid PluginID = NullGuid;
    String HostFile;
    String Description;
    // Only the group bit has a meaning; all bits are kept as stored.
    int32_t Flags = 0;
};

}  // namespace wm
