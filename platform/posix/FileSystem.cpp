#include <sys/stat.h>

#include <cerrno>

#include "platform/FileSystem.h"

namespace wm::platform {

bool IsMissingPath(StringView path) {
    if (path.empty() || path.front() != u'/') return false;
    const std::string native = ToUtf8(path);
    struct stat status {};
    if (::stat(native.c_str(), &status) == 0) return false;
    return errno == ENOENT || errno == ENOTDIR;
}

}  // namespace wm::platform
