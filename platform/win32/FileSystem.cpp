#include <windows.h>

#include <string>

#include "platform/FileSystem.h"

namespace wm::platform {
namespace {

// "X:\..." only: a network path is never probed here (it can stall the host's main thread for
// the network's time-out), and a relative one depends on the panel's folder.
bool IsLocalAbsolute(StringView path) {
    return path.size() > 2 && path[1] == u':' && (path[2] == u'\\' || path[2] == u'/');
}

}  // namespace

bool IsMissingPath(StringView path) {
    if (!IsLocalAbsolute(path)) return false;
    const std::wstring wide(path.begin(), path.end());
    if (GetFileAttributesW(wide.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

}  // namespace wm::platform
