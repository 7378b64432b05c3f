// Snapshots of the host's file panels, read once.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/Guid.h"
#include "framework/FarModule.h"

namespace wm {

enum class TPanelSide { Passive = 0, Active = 1 };

class TFarPanel : public TFarCommonModule {
public:
    class TItem {
    public:
        TItem(TFarPanel& panel, int index);

        TFarPanel* Panel;
        int32_t Index;
        far::FILETIME CreationTime{}, LastAccessTime{}, LastWriteTime{};
        uint64_t FileSize = 0, PackSize = 0;
        String FileName, AlternateFileName;
        String Description, Owner;
        uint32_t Flags = 0;
        uint32_t FileAttributes = 0;
        uint32_t NumberOfLinks = 0;
        uint32_t CRC32 = 0;
    };

    TFarPanel(TPanelSide side, bool readItems);
    TFarPanel(far::HANDLE handle, bool readItems);
    TFarPanel(const TFarPanel&) = delete;
    TFarPanel& operator=(const TFarPanel&) = delete;

    int Count() const { return static_cast<int>(Items.size()); }
    const TItem& GetItem(int index) const;

    // Sends a panel to a plain directory in one host call; false without a call when the
    // target needs another plugin (a plugin id, a parameter or a host file).
    static bool SetPanelDirectory(far::HANDLE handle, StringView directory, const Guid& pluginId,
                                  StringView param, StringView hostFile);

    far::HANDLE Handle = nullptr;
    bool ItemsLoaded = false;
    std::vector<std::unique_ptr<TItem>> Items;
    int32_t Plugin = 0;
    uint32_t Flags = 0;
    far::RECT PanelRect{};
    int64_t SelectedCount = 0;
    int64_t CurrentItem = 0;
    int64_t TopPanelItem = 0;
    int64_t ViewMode = 0;
    int32_t SortMode = 0;
    int32_t PanelType = 0;
    String Directory;

private:
    static int Control(far::HANDLE handle, int command, int param1, far::LONG_PTR param2);
};

}  // namespace wm
