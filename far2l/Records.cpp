#include "far2l/Records.h"

#include <algorithm>
#include <cstring>

namespace wm::bridge {
namespace {

size_t AlignUp(size_t value, size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

}  // namespace

far::PluginPanelItem ToPluginItem(const far2l::PluginPanelItem& item, TTexts16& texts) {
    far::PluginPanelItem result{};
    const far2l::FAR_FIND_DATA& data = item.FindData;
    result.FindData.dwFileAttributes = data.dwFileAttributes;
    result.FindData.ftCreationTime = data.ftCreationTime;
    result.FindData.ftLastAccessTime = data.ftLastAccessTime;
    result.FindData.ftLastWriteTime = data.ftLastWriteTime;
    result.FindData.nFileSize = data.nFileSize;
    result.FindData.nPackSize = data.nPhysicalSize;
    result.FindData.lpwszFileName = texts.Add(data.lpwszFileName);
    result.Flags = item.Flags;
    result.NumberOfLinks = item.NumberOfLinks;
    result.Description = texts.Add(item.Description);
    result.Owner = texts.Add(item.Owner);
    result.UserData = item.UserData;
    result.CRC32 = item.CRC32;
    // Custom columns are the plugin's own texts: it never reads them back.
    return result;
}

far2l::PluginPanelItem ToHostItem(const far::PluginPanelItem& item, TTexts32& texts) {
    far2l::PluginPanelItem result{};
    far2l::FAR_FIND_DATA& data = result.FindData;
    data.dwFileAttributes = item.FindData.dwFileAttributes;
    data.dwUnixMode =
        (item.FindData.dwFileAttributes & far::FILE_ATTRIBUTE_DIRECTORY) ? kFolderMode : kFileMode;
    data.ftCreationTime = item.FindData.ftCreationTime;
    data.ftLastAccessTime = item.FindData.ftLastAccessTime;
    data.ftLastWriteTime = item.FindData.ftLastWriteTime;
    data.nFileSize = item.FindData.nFileSize;
    data.nPhysicalSize = item.FindData.nPackSize;
    data.lpwszFileName = texts.Add(item.FindData.lpwszFileName);
    result.UserData = item.UserData;
    result.Flags = item.Flags;
    result.NumberOfLinks = item.NumberOfLinks;
    result.Description = texts.Add(item.Description);
    result.Owner = texts.Add(item.Owner);
    if (item.CustomColumnNumber > 0) {
        result.CustomColumnData = texts.AddArray(item.CustomColumnData, item.CustomColumnNumber);
        if (result.CustomColumnData != nullptr) result.CustomColumnNumber = item.CustomColumnNumber;
    }
    result.CRC32 = item.CRC32;
    return result;
}

TPluginItems::TPluginItems(const far2l::PluginPanelItem* items, int count) {
    if (items == nullptr || count <= 0) return;
    items_.reserve(static_cast<size_t>(count));
    for (int k = 0; k < count; ++k) items_.push_back(ToPluginItem(items[k], texts_));
}

size_t PackPluginItem(const far2l::PluginPanelItem& item, void* out) {
    TTexts16 texts;
    far::PluginPanelItem record = ToPluginItem(item, texts);
    far::HostText* const fields[] = {&record.FindData.lpwszFileName, &record.Description,
                                     &record.Owner};
    const auto bytes = [](far::HostText text) {
        return (std::char_traits<char16_t>::length(text) + 1) * sizeof(char16_t);
    };
    size_t size = sizeof record;
    for (const far::HostText* field : fields) {
        if (*field != nullptr) size += bytes(*field);
    }
    size = AlignUp(size, alignof(far::PluginPanelItem));
    if (out == nullptr) return size;

    // The texts after the record, the record's pointers moved onto them.
    auto* block = static_cast<unsigned char*>(out);
    size_t at = sizeof record;
    for (far::HostText* field : fields) {
        if (*field == nullptr) continue;
        const size_t length = bytes(*field);
        std::memcpy(block + at, *field, length);
        *field = reinterpret_cast<far::HostText>(block + at);
        at += length;
    }
    std::memcpy(block, &record, sizeof record);
    return size;
}

far::PanelInfo ToPluginPanelInfo(const far2l::PanelInfo& info) {
    far::PanelInfo result{};
    result.PanelType = info.PanelType;
    result.Plugin = info.Plugin;
    result.PanelRect = info.PanelRect;
    result.ItemsNumber = info.ItemsNumber;
    result.SelectedItemsNumber = info.SelectedItemsNumber;
    result.CurrentItem = info.CurrentItem;
    result.TopPanelItem = info.TopPanelItem;
    result.Visible = info.Visible;
    result.Focus = info.Focus;
    result.ViewMode = info.ViewMode;
    result.SortMode = info.SortMode;
    result.Flags = info.Flags;
    return result;
}

void ToHostPluginInfo(const far::PluginInfo& from, far2l::PluginInfo& to, TTexts32& texts) {
    texts.Clear();
    to.Flags = from.Flags;
    to.DiskMenuStrings = texts.AddArray(from.DiskMenuStrings, from.DiskMenuStringsNumber);
    to.DiskMenuStringsNumber = to.DiskMenuStrings ? from.DiskMenuStringsNumber : 0;
    to.PluginMenuStrings = texts.AddArray(from.PluginMenuStrings, from.PluginMenuStringsNumber);
    to.PluginMenuStringsNumber = to.PluginMenuStrings ? from.PluginMenuStringsNumber : 0;
    to.PluginConfigStrings =
        texts.AddArray(from.PluginConfigStrings, from.PluginConfigStringsNumber);
    to.PluginConfigStringsNumber = to.PluginConfigStrings ? from.PluginConfigStringsNumber : 0;
    to.CommandPrefix = texts.Add(from.CommandPrefix);
}

void THostPanelInfo::Fill(const far::OpenPluginInfo& from, void* to) {
    using Common = far2l::OpenPluginInfo<112>;
    constexpr size_t kCommonEnd = offsetof(Common, Reserved);
    auto* record = static_cast<unsigned char*>(to);
    int32_t structSize = 0;
    std::memcpy(&structSize, record, sizeof structSize);
    if (structSize < static_cast<int32_t>(sizeof(Common))) return;

    texts_.Clear();
    modes_.clear();
    Common info{};
    info.StructSize = structSize;
    info.Flags = from.Flags;
    info.HostFile = texts_.Add(from.HostFile);
    info.CurDir = texts_.Add(from.CurDir);
    info.Format = texts_.Add(from.Format);
    info.PanelTitle = texts_.Add(from.PanelTitle);
    // The plugin's info lines have no layout of their own here: none are passed on.
    info.DescrFiles = texts_.AddArray(from.DescrFiles, from.DescrFilesNumber);
    info.DescrFilesNumber = info.DescrFiles ? from.DescrFilesNumber : 0;
    if (from.PanelModesArray != nullptr && from.PanelModesNumber > 0) {
        for (int k = 0; k < from.PanelModesNumber; ++k) {
            const far::PanelMode& mode = from.PanelModesArray[k];
            far2l::PanelMode& own = modes_.emplace_back();
            own.ColumnTypes = texts_.Add(mode.ColumnTypes);
            own.ColumnWidths = texts_.Add(mode.ColumnWidths);
            // The titles go with the column types: as many as there are columns, at most.
            if (mode.ColumnTitles != nullptr && mode.ColumnTypes != nullptr) {
                const StringView types(mode.ColumnTypes);
                const int columns =
                    static_cast<int>(std::count(types.begin(), types.end(), u',')) + 1;
                own.ColumnTitles = texts_.AddArray(mode.ColumnTitles, columns);
            }
            own.FullScreen = mode.FullScreen;
            own.DetailedStatus = mode.DetailedStatus;
            own.AlignExtensions = mode.AlignExtensions;
            own.CaseConversion = mode.CaseConversion;
            own.StatusColumnTypes = texts_.Add(mode.StatusColumnTypes);
            own.StatusColumnWidths = texts_.Add(mode.StatusColumnWidths);
        }
        info.PanelModesArray = modes_.data();
        info.PanelModesNumber = from.PanelModesNumber;
    }
    info.StartPanelMode = from.StartPanelMode;
    info.StartSortMode = from.StartSortMode;
    info.StartSortOrder = from.StartSortOrder;
    if (from.KeyBar != nullptr) {
        const auto row = [&](const far::HostText(&in)[12], HostText32(&out)[12]) {
            for (size_t k = 0; k < 12; ++k) out[k] = texts_.Add(in[k]);
        };
        row(from.KeyBar->Titles, keyBar_.Titles);
        row(from.KeyBar->CtrlTitles, keyBar_.CtrlTitles);
        row(from.KeyBar->AltTitles, keyBar_.AltTitles);
        row(from.KeyBar->ShiftTitles, keyBar_.ShiftTitles);
        row(from.KeyBar->CtrlShiftTitles, keyBar_.CtrlShiftTitles);
        row(from.KeyBar->AltShiftTitles, keyBar_.AltShiftTitles);
        row(from.KeyBar->CtrlAltTitles, keyBar_.CtrlAltTitles);
        info.KeyBar = &keyBar_;
    }
    info.ShortcutData = texts_.Add(from.ShortcutData);
    // Whatever later versions put after the common part (CurURL, CurPath, Reserved) is empty.
    std::memcpy(record, &info, kCommonEnd);
    std::memset(record + kCommonEnd, 0, static_cast<size_t>(structSize) - kCommonEnd);
}

}  // namespace wm::bridge
