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

bool IsLinkedDirectory(StringView path) {
    const std::string native = ToUtf8(path);
    struct stat status {};
    if (::lstat(native.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) return false;
    return ::stat(native.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

bool IsValidFileName(StringView name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    if (name.find_first_of(StringView(u"/\0", 2)) != StringView::npos) return false;
    // File names are UTF-8 here: a surrogate without its pair has no spelling in it.
    for (size_t i = 0; i < name.size(); ++i) {
        const char16_t c = name[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < name.size() && name[i + 1] >= 0xDC00 &&
            name[i + 1] <= 0xDFFF) {
            ++i;
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) return false;
    }
    return true;
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
