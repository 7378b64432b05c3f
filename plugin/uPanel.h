// The waymarks panel: one group of the stored tree at a time, with ".." to go up. Waymarks
// leave it only as exchange files and enter it only from files and directories.
#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "framework/FarPanelManaged.h"
#include "plugin/uInfo.h"

namespace wm {

class TWaymarksPanel : public TFarPanelManaged {
public:
    struct TPanelItemInfo {
        String Path;  // the full entry path: the item's file name
        String ShortName;
        String Text;  // the item's description
        bool IsGroup = false;
    };
    using TPanelItemArray = std::vector<TPanelItemInfo>;

    // Opens at the group shown last when the options say to remember it and it is still a group.
    TWaymarksPanel();
    ~TWaymarksPanel() override;

    void GetOpenPluginInfo(far::OpenPluginInfo& info) override;
    String GetPanelTitle() override { return Title; }
    String GetCurrentDir() override { return CurrentDir; }
    bool GetFindData(int opMode, far::PluginPanelItem*& items, int& count) override;
    void FreeFindData(far::PluginPanelItem* items, int count) override;
    bool MakeDirectory(String& name) override;
    bool SetDirectory(StringView directory) override;
    bool BeginDeleteFiles(int count, int opMode) override;
    bool DeleteFile(far::PluginPanelItem& item, int opMode) override;
    bool BeginGetFiles(int count, int opMode) override;
    bool GetFile(far::PluginPanelItem& item, int opMode, StringView destPath, bool move) override;
    bool BeginPutFiles(int count, int opMode) override;
    int PutFile(far::PluginPanelItem& item, int opMode, StringView srcPath, bool move) override;
    int ProcessEvent(int event, void* param) override;
    bool ProcessKey(int key, unsigned controlState) override;

    // The item to put the cursor on after the host's next read or redraw.
    void SetPendingFocus(StringView path) { PendingFocus = String(path); }

private:
    enum class TActivation { Nothing, Up, Group, Jumped };

    void BuildListing();
    void ChangeDir(StringView path);
    void RememberDir();
    void Refresh();
    void FocusItem(StringView path);
    // The file name of the item under the cursor, and whether it is a group (or "..").
    String CurrentItemName(bool& group);
    // Enter on the current item: a jump of `target` for a waymark; a group or ".." is only named.
    TActivation ActivateCurrent(far::HANDLE target);
    // One level up, with the cursor on the group just left.
    void GoUp();
    int Control(int command, int param1, far::LONG_PTR param2);

    // Exchange files (uPanelExchange).
    bool ExportEntry(const TWaymarkInfo& entry, StringView destination, bool move, bool silent);
    bool WriteWaymarkFile(const TWaymarkInfo& waymark, const std::filesystem::path& file, bool move,
                          bool silent);
    bool ImportPath(const String& group, const std::filesystem::path& source, bool silent);
    bool ImportDirectory(const String& group, const std::filesystem::path& source, bool silent);
    bool ImportFile(const String& group, const std::filesystem::path& source, bool silent);
    // The batch's answer to an overwrite question: true to overwrite. Cancel raises EAbort.
    bool DecideOverwrite(int answer);
    bool MayOverwrite(const auto& ask) {
        if (OverwriteChoice != 0) return OverwriteChoice == 1;
        return DecideOverwrite(ask());
    }

    std::vector<far::PluginPanelItem> FindData;
    TPanelItemArray PanelItems;
    bool ItemsValid = false;
    String CurrentDir;
    String Title;
    String PendingFocus;
    uint8_t OverwriteChoice = 0;  // 0 ask, 1 overwrite all, 2 skip all
    // Entries stored by the import in progress.
    size_t StoredCount = 0;
};

}  // namespace wm
