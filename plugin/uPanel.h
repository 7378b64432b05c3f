// The waymarks panel: one group of the stored tree at a time, with ".." to go up. Waymarks
// leave it only as exchange files and enter it only from files and directories.
#pragma once

#include <cstdint>
#include <filesystem>
#include <list>
#include <memory>
#include <optional>
#include <vector>

#include "framework/FarPanelManaged.h"
#include "plugin/uImportReport.h"
#include "plugin/uInfo.h"
#include "plugin/uPanelFace.h"

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
    bool SetDirectory(StringView directory, int opMode) override;
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
    enum class TActivation { Nothing, Group, Jumped };

    // A listing handed to the host, kept until the host gives it back with FreeFindData (the
    // host's search reads groups within groups before it gives the outer ones back).
    struct THandedListing {
        std::shared_ptr<const TPanelItemArray> Items;
        std::vector<far::PluginPanelItem> FindData;
        // What the host is handed: null for an empty listing.
        far::PluginPanelItem* Array() { return FindData.empty() ? nullptr : FindData.data(); }
    };

    // The members of CurrentDir as the store holds them now; nothing when it cannot be read.
    std::optional<TPanelItemArray> ReadListing();
    // `remember` is false while the host walks the panel for a search.
    void ChangeDir(StringView path, bool remember = true);
    void RememberDir();
    void FocusItem(StringView path);
    // The file name of the item under the cursor, and whether it is a group (or "..").
    String CurrentItemName(bool& group);
    // Enter on the current item: a jump of `target` for a waymark; a group or ".." is only named.
    TActivation ActivateCurrent(far::HANDLE target);
    int Control(int command, int param1, far::LONG_PTR param2);

    // Exchange files (uPanelExchange).
    bool ExportEntry(const TWaymarkInfo& entry, StringView destination, bool move, bool silent);
    bool WriteWaymarkFile(const TWaymarkInfo& waymark, const std::filesystem::path& file, bool move,
                          bool silent);
    // `chosen`: the user marked the source; otherwise it was found in a folder being imported.
    bool ImportPath(const String& group, const std::filesystem::path& source, bool silent,
                    bool chosen);
    bool ImportDirectory(const String& group, const std::filesystem::path& source, bool silent);
    bool ImportFile(const String& group, const std::filesystem::path& source, bool silent);
    // The batch's answer to an overwrite question: true to overwrite. Cancel raises EAbort.
    bool DecideOverwrite(int answer);
    bool MayOverwrite(const auto& ask) {
        if (OverwriteChoice != 0) return OverwriteChoice == 1;
        return DecideOverwrite(ask());
    }

    // The last listing read: handed out again when the store cannot be read.
    std::shared_ptr<const TPanelItemArray> PanelItems;
    std::list<THandedListing> Handed;
    TWaymarksPanelFace Face;
    String CurrentDir;
    String Title;
    String PendingFocus;
    uint8_t OverwriteChoice = 0;  // 0 ask, 1 overwrite all, 2 skip all
    // Entries stored by the import in progress.
    size_t StoredCount = 0;
    TImportReports Reports;
};

}  // namespace wm
