#include <sys/stat.h>

#include <cerrno>
#include <ctime>

#include "platform/FileSystem.h"

namespace wm::platform {

bool IsMissingPath(StringView path) {
    if (path.empty() || path.front() != u'/') return false;
    const std::string native = ToUtf8(path);
    struct stat status {};
    if (::stat(native.c_str(), &status) == 0) return false;
    return errno == ENOENT || errno == ENOTDIR;
}

bool IsValidFileName(StringView name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    return name.find_first_of(StringView(u"/\0", 2)) == StringView::npos;
}

}  // namespace wm::platform

namespace wm::platform {

std::optional<FileEntry> FindFileEntry(StringView path) {
    struct stat status {};
    if (path.empty() || ::lstat(ToUtf8(path).c_str(), &status) != 0) return std::nullopt;
    FileEntry entry;
    entry.directory = S_ISDIR(status.st_mode);
    entry.size = entry.directory ? 0 : static_cast<uint64_t>(status.st_size);
    struct tm local {};
    const time_t seconds = status.st_mtime;
    if (::localtime_r(&seconds, &local) != nullptr) {
        entry.lastWrite = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                           local.tm_hour,        local.tm_min,     local.tm_sec};
    }
    return entry;
}

}  // namespace wm::platform
