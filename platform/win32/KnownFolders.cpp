#include <shlobj.h>
#include <windows.h>

#include <memory>

#include "platform/KnownFolders.h"

namespace wm::platform {
namespace {

struct ItemListDeleter {
    void operator()(ITEMIDLIST* list) const { ILFree(list); }
};
using ItemList = std::unique_ptr<ITEMIDLIST, ItemListDeleter>;

}  // namespace

String KnownFolderPath(int folder) {
    ITEMIDLIST* raw = nullptr;
    if (FAILED(SHGetFolderLocation(nullptr, folder, nullptr, 0, &raw))) return {};
    const ItemList list(raw);
    wchar_t buffer[MAX_PATH + 1] = {};
    if (!SHGetPathFromIDListW(list.get(), buffer)) return {};
    const String path(buffer, buffer + wcsnlen(buffer, MAX_PATH + 1));
    // Some shells name a virtual folder ("::{GUID}") instead of failing: that is no path either.
    return path.starts_with(u"::") ? String() : path;
}

}  // namespace wm::platform
