// The plugin's settings and its stored entries. Options live in RootKey\Waymarks, entries as
// subkeys of its sibling RootKey\Waymarksfolders, one key per normal-form name ("/" included).
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "framework/FarConfig.h"
#include "plugin/uInfo.h"

namespace wm {

class TOptions : public TFarConfig {
public:
    // Sets the defaults, then loads every option (creating the options key when missing).
    TOptions();

    void SetDefaults();
    // Options that cannot be read keep their current values.
    void Load();
    // True when every option was written.
    bool Save();
    // Writes LastPanelDir alone; true when it was written.
    bool StoreLastPanelDir();

    // The normal form of an entry name. Raises EWaymarkError with message 10 for a name that is
    // empty or normalises to nothing, with message 11 for a forbidden character.
    static String ValidateName(StringView name);
    // The same for a name about to be made, which may not be "-" either (message 67): the
    // command line reads that as the jump back.
    static String ValidateNewName(StringView name);
    static bool IsReservedName(StringView normalName) { return normalName == u"-"; }

    // The entry, named as its key is spelt (the store's lookup ignores case), or null when there
    // is no key of that name with a string `Directory`. Raises
    // EWaymarkError for a bad name and EConvertError for a stored PluginID that is no GUID.
    std::unique_ptr<TWaymarkInfo> ReadEntry(StringView name);
    // Creates or overwrites the entry under its normal-form name, a member under its group's
    // stored spelling (so that it is listed with its group); true when every value was stored.
    bool WriteEntry(const TWaymarkInfo& info);
    bool DeleteEntry(StringView name);
    // The stored names in registry order, each as stored, leaving out keys whose names are not
    // in normal form or hold a forbidden character; empty when none was ever stored (or
    // the container key cannot be opened). Nothing when the registry refused part way through,
    // so that no caller acts on a list that lacks some entries.
    std::optional<std::vector<String>> EnumEntryNames();
    // The same names one at a time, without a list: `visit` answers false to stop early and
    // must not use the store. False when the registry refused part way through.
    bool ForEachEntryName(const std::function<bool(StringView)>& visit);
    // The entries whose stored names start with `prefix` (without regard to case, as the store
    // looks names up), read with their values from
    // one listing of the store, in registry order; names EnumEntryNames leaves out are left out
    // here too. `visit` gets each name and its entry, null when it cannot be read (no
    // directory, or a PluginID that is no GUID). False when the store refused part way.
    bool ReadEntriesUnder(
        StringView prefix,
        const std::function<void(StringView, std::unique_ptr<TWaymarkInfo>)>& visit);
    // ReadEntry of a name in normal form when a key is stored with exactly that spelling (the
    // store's lookup ignores case; a listing of the names would show it as typed); nothing when
    // none is, or when the store cannot say. Raises as ReadEntry does.
    std::optional<std::unique_ptr<TWaymarkInfo>> ReadEntryStoredAs(StringView normalName);
    // The name as the key stored under it is spelt (the store's lookup ignores case), or as
    // given when none is stored or the store cannot say.
    String StoredSpelling(StringView normalName);

    // Entry path of the group the panel showed last.
    String LastPanelDir;
    bool SaveLastPanelDir;
    bool UseSubstEngines;
    bool UseSubstEngine_Known;
    bool UseSubstEngines_Env;
    bool UseSubstEngines_BatchEnv;
    bool UseSubstEngines_Reg;
    bool AllowPathSuffix;
    bool AllowPluginCalls;
    bool AllowFuzzySearch;
    bool AllowSearchOverDir;

private:
    // The open key's name as stored, or `normalName` when the store cannot say.
    String OpenKeySpelling(StringView normalName);
    // The entry whose key is open.
    std::unique_ptr<TWaymarkInfo> ReadOpenEntry(StringView normal);
    // The entry from the values the store answers from now; null without a directory.
    std::unique_ptr<TWaymarkInfo> ReadLoadedEntry(StringView normal);
    // Writes every value of the entry into its key, the directory last.
    bool WriteEntryValues(StringView normalName, const TWaymarkInfo& info);
    // Opens the key of one entry; a failure leaves the store closed.
    bool OpenEntryKey(StringView normalName, bool readOnly);
};

}  // namespace wm
