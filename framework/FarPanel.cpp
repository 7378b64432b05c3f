#include "framework/FarPanel.h"

#include <algorithm>

#include "core/Exceptions.h"

namespace wm {
namespace {

far::HANDLE HandleOfSide(TPanelSide side) {
    static const far::HANDLE handles[] = {far::PANEL_PASSIVE, far::PANEL_ACTIVE};
    return handles[static_cast<int>(side)];
}

}  // namespace

int TFarPanel::Control(far::HANDLE handle, int command, int param1, far::LONG_PTR param2) {
    const auto& startup = Startup();
    return CallHost(startup.Control, 0, handle, command, param1, param2);
}

TFarPanel::TFarPanel(TPanelSide side, bool readItems) : TFarPanel(HandleOfSide(side), readItems) {}

TFarPanel::TFarPanel(far::HANDLE handle, bool readItems) {
    far::PanelInfo info{};
    if (Control(handle, far::FCTL_GETPANELINFO, 0, reinterpret_cast<far::LONG_PTR>(&info)) == 0) {
        return;
    }
    Handle = handle;
    Plugin = info.Plugin;
    Flags = info.Flags;
    PanelRect = info.PanelRect;
    SelectedCount = info.SelectedItemsNumber;
    CurrentItem = info.CurrentItem;
    TopPanelItem = info.TopPanelItem;
    ViewMode = info.ViewMode;
    SortMode = info.SortMode;
    PanelType = info.PanelType;
    Items.clear();
    if (readItems) {
        ItemsLoaded = true;
        for (int index = 0; index < info.ItemsNumber; ++index) {
            Items.push_back(std::make_unique<TItem>(*this, index));
        }
    }
    const int length = Control(handle, far::FCTL_GETPANELDIR, 0, 0);
    if (length > 0) {
        std::vector<far::HostChar> buffer(static_cast<size_t>(length) + 1, 0);
        Control(handle, far::FCTL_GETPANELDIR, length,
                reinterpret_cast<far::LONG_PTR>(buffer.data()));
        Directory = FromHostString(buffer.data());
    }
}

const TFarPanel::TItem& TFarPanel::GetItem(int index) const {
    if (index < 0 || index >= Count()) {
        throw EListError(Format(u"List index out of bounds (%d)", {index}));
    }
    return *Items[static_cast<size_t>(index)];
}

TFarPanel::TItem::TItem(TFarPanel& panel, int index) : Panel(&panel), Index(index) {
    const int size = TFarPanel::Control(panel.Handle, far::FCTL_GETPANELITEM, index, 0);
    if (size <= 0) return;
    // Zero-filled and aligned for the record at its start; the texts follow in the same buffer.
    const size_t words = (static_cast<size_t>(size) + sizeof(uint64_t) - 1) / sizeof(uint64_t);
    std::vector<uint64_t> buffer(std::max(words, (sizeof(far::PluginPanelItem) + 7) / 8), 0);
    TFarPanel::Control(panel.Handle, far::FCTL_GETPANELITEM, index,
                       reinterpret_cast<far::LONG_PTR>(buffer.data()));
    const auto& item = *reinterpret_cast<const far::PluginPanelItem*>(buffer.data());
    CreationTime = item.FindData.ftCreationTime;
    LastAccessTime = item.FindData.ftLastAccessTime;
    LastWriteTime = item.FindData.ftLastWriteTime;
    FileSize = item.FindData.nFileSize;
    PackSize = item.FindData.nPackSize;
    FileName = FromHostString(item.FindData.lpwszFileName);
    AlternateFileName = FromHostString(item.FindData.lpwszAlternateFileName);
    Description = FromHostString(item.Description);
    Owner = FromHostString(item.Owner);
    Flags = item.Flags;
    FileAttributes = item.FindData.dwFileAttributes;
    NumberOfLinks = item.NumberOfLinks;
    CRC32 = item.CRC32;
}

bool TFarPanel::SetPanelDirectory(far::HANDLE handle, StringView directory, const Guid& pluginId,
                                  StringView param, StringView hostFile) {
    if (!IsNullGuid(pluginId) || !param.empty() || !hostFile.empty()) return false;
    const String text(directory);
    if (Control(handle, far::FCTL_SETPANELDIR, 0,
                reinterpret_cast<far::LONG_PTR>(ToHostString(text))) == 0)
        return false;
    // The host moves the panel without drawing it; the user must see where it went.
    Control(handle, far::FCTL_REDRAWPANEL, 0, 0);
    return true;
}

}  // namespace wm
