// Message numbers of the plugin's language files. Every number has its own line in each file,
// the unused ones included, so that the numbering never shifts.
#pragma once

#include <cstdint>

namespace wm {

enum TMessage : uint8_t {
    MTitle = 0,
    MOk = 1,
    MCancel = 2,
    MYes = 3,
    MNo = 4,
    MExceptionHeader = 5,  // one %s: the function name
    MWaymarkNotFound = 6,
    MCannotEnterDirectory = 7,
    MOverwriteBefore = 8,
    MOverwriteAfter = 9,
    MEmptyName = 10,
    MForbiddenCharacter = 11,
    MConfirmDelete = 12,
    MDeleteFailed = 13,
    MEditName = 14,
    MEditDescription = 15,
    MEditDirectory = 16,
    MEditPluginId = 17,
    MEditParam = 18,
    MEditHostFile = 19,
    MChooseName = 20,
    MWrongRootElement = 21,
    MItemWithoutName = 22,
    MItemEmptyName = 23,
    MItemWithoutDirectory = 24,
    MStoreFailed = 25,
    MExistingEntry = 26,
    MIncomingEntry = 27,
    MApplyToAll = 28,
    MOverwrite = 29,
    MSkip = 30,
    MUnused31 = 31,
    MOverwriteQuestion = 32,
    MDirectoryMarker = 33,
    MDateTimePattern = 34,
    MFileNotFound = 35,
    MGoUpToParent = 36,
    MUnused37 = 37,
    MNotAGroup = 38,
    MTargetIsGroup = 39,
    MOptSaveLastPanelDir = 40,
    MOptUseSubstEngines = 41,
    MOptUseSubstEngineKnown = 42,
    MOptUseSubstEnginesEnv = 43,
    MOptUseSubstEnginesBatchEnv = 44,
    MOptUseSubstEnginesReg = 45,
    MOptAllowPathSuffix = 46,
    MOptAllowPluginCalls = 47,
    MOptAllowFuzzySearch = 48,
    MOptAllowSearchOverDir = 49,
    MNotAFileName = 50,      // an exported name the file system cannot hold
    MFileWriteFailed = 51,   // an exchange file that could not be written
    MFileReadFailed = 52,    // an exchange file that could not be read
    MNoFolderToStore = 53,   // the active panel shows no folder (a plugin's panel)
    MStoreDamaged = 54,      // the registry answered that it is damaged
    MStoreOutOfMemory = 55,  // no memory to read or write the store
    MStoreBusy = 56,         // another program holds the store for writing
    MUnused57 = 57,
    MNoPreviousLocation = 58,
    MColumnName = 59,  // the panel's column titles
    MColumnDirectory = 60,
    MKeyEdit = 61,  // the panel's key bar: F4, F5, F6, F7, F8, Shift+F4
    MKeyExport = 62,
    MKeyExportMove = 63,
    MKeyNewGroup = 64,
    MKeyDelete = 65,
    MKeyAdd = 66,
    MReservedName = 67,          // "-" is the jump back's
    MThroughAnotherPlugin = 68,  // a jump this host cannot make, with the waymark's name
    MInvalidPluginId = 69,       // the edit dialog's identifier, with the text typed
    MFileTooLarge = 70,          // Format: the file's size, the largest an exchange file may be
    MFileItemsSkipped = 71,      // an import's report on one file, then its path
    MItemsSkippedCount = 72,     // Format: items passed over, items in the file
    MNothingToImport = 73,       // a well-formed file without a waymark, then its path
    MItemBadPluginId = 74,       // the reason: an identifier that is no GUID
    MReportContinue = 75,        // the report's buttons
    MReportQuiet = 76,
    MReportStop = 77,
    MItemReason = 78,  // Format: the item's number, the reason
    MNoMessage = 255,
};

// Every language file holds this many message lines.
constexpr int MessageCount = MItemReason + 1;

}  // namespace wm
