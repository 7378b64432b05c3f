// The file system as the plugin sees it.
#pragma once

#include <cstdint>
#include <optional>

#include "core/String.h"

namespace wm::platform {

// A moment in the local time zone.
struct LocalTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One directory entry as a search for it finds it, all attributes included.
struct FileEntry {
    bool directory = false;
    uint64_t size = 0;
    LocalTime lastWrite;
};

// The entry at `path`, or nothing when no entry matches.
std::optional<FileEntry> FindFileEntry(StringView path);

// True only when the path is a local absolute one and the system says that nothing exists there
// (the path or one of its parents is missing). Relative and network paths, and paths the
// system cannot answer for (no access, a bad device), are not known to be missing.
[[nodiscard]] bool IsMissingPath(StringView path);

// True when `name` can be one entry's name in a directory of this system: not empty, not "." or
// "..", and none of the characters or (on Windows) device names the system refuses.
[[nodiscard]] bool IsValidFileName(StringView name);

// True when `path` is a symbolic link or (on Windows) a junction or other reparse point that
// leads to a directory: a walk that entered it could come round to where it started.
[[nodiscard]] bool IsLinkedDirectory(StringView path);

}  // namespace wm::platform
