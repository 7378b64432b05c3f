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

bool IsLinkedDirectory(StringView path) {
    const std::wstring wide(path.begin(), path.end());
    const DWORD attributes = GetFileAttributesW(wide.c_str());
    constexpr DWORD kLinkedDirectory = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & kLinkedDirectory) == kLinkedDirectory;
}

bool IsValidFileName(StringView name) {
    if (name.empty() || name == u"." || name == u"..") return false;
    for (char16_t c : name) {
        if (c < 0x20 || StringView(u"<>:\"/\\|?*").find(c) != StringView::npos) return false;
    }
    // The system drops a trailing dot or blank, so the file would get another name.
    if (name.back() == u'.' || name.back() == u' ') return false;
    // Device names are reserved with any extension: "nul.wmk" is the device too.
    String stem(name.substr(0, name.find(u'.')));
    while (!stem.empty() && stem.back() == u' ') stem.pop_back();
    for (auto& c : stem) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    static constexpr StringView devices[] = {u"CON", u"PRN", u"AUX", u"NUL"};
    for (StringView device : devices) {
        if (stem == device) return false;
    }
    const bool numbered = stem.size() == 4 && stem[3] >= u'1' && stem[3] <= u'9';
    return !(numbered && (stem.starts_with(u"COM") || stem.starts_with(u"LPT")));
}

}  // namespace wm::platform

namespace wm::platform {

std::optional<FileEntry> FindFileEntry(StringView path) {
    if (path.empty()) return std::nullopt;
    const std::wstring wide(path.begin(), path.end());
    WIN32_FIND_DATAW found{};
    const HANDLE search = FindFirstFileW(wide.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return std::nullopt;
    FindClose(search);
    FileEntry entry;
    entry.directory = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.size = entry.directory ? 0 : (uint64_t{found.nFileSizeHigh} << 32) | found.nFileSizeLow;
    FILETIME local{};
    SYSTEMTIME parts{};
    if (FileTimeToLocalFileTime(&found.ftLastWriteTime, &local) &&
        FileTimeToSystemTime(&local, &parts)) {
        entry.lastWrite = {parts.wYear, parts.wMonth,  parts.wDay,
                           parts.wHour, parts.wMinute, parts.wSecond};
    }
    return entry;
}

}  // namespace wm::platform
