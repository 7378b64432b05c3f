// The settings store: one open registry key below the host's per-plugin root key (in
// HKEY_CURRENT_USER), with typed reads and writes of its values. Registry failures are reported
// as false results or defaults; the store raises nothing of its own.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "framework/FarModule.h"
#include "platform/Registry.h"

namespace wm {

class TFarConfig : public TFarCommonModule {
public:
    // The base key is the plugin object's RootKey, "\" and `section`. Opens (creating) the base
    // key at once when `openNow` is true.
    TFarConfig(StringView section, bool openNow);
    virtual ~TFarConfig();
    TFarConfig(const TFarConfig&) = delete;
    TFarConfig& operator=(const TFarConfig&) = delete;

    // `path` is relative to the open key, or to the base key when it starts with "\"; the empty
    // path is the open key (the base key while closed). Note that the base key's full path is
    // followed directly by the resolved path: "folders" from the section "Waymarks" is the
    // sibling key "Waymarksfolders". With `readOnly` a missing key is not created.
    bool OpenKey(StringView path, bool readOnly);
    void CloseKey();
    bool IsOpen() const { return Key_.IsOpen(); }

    // Integers are REG_DWORD (zero-extended) or REG_QWORD; Booleans are integers (non-zero is
    // true); strings are REG_SZ, REG_EXPAND_SZ (unexpanded) or REG_MULTI_SZ (nulls kept). A value
    // of any other type counts as missing. The empty name is the key's default value.
    bool ReadInt64(StringView name, int64_t& value);
    int64_t ReadInt64Def(StringView name, int64_t defaultValue);
    bool ReadBool(StringView name, bool& value);
    bool ReadBoolDef(StringView name, bool defaultValue);
    bool ReadString(StringView name, String& value);
    String ReadStringDef(StringView name, StringView defaultValue);

    // REG_QWORD; when the registry refuses that, a value in 0 to 4294967295 goes as REG_DWORD.
    bool WriteInt64(StringView name, int64_t value);
    bool WriteBool(StringView name, bool value);
    // REG_SZ with its terminating null.
    bool WriteString(StringView name, StringView value);
    // Runs `writes` as one change where the registry can make it whole or not at all: kept when
    // they answer true, undone when they answer false or raise.
    bool WriteTogether(const std::function<bool()>& writes);

    // True when the value exists, whatever its type.
    bool ValueExists(StringView name);
    bool DeleteValue(StringView name);
    // Deletes a direct subkey that has no subkeys of its own; the store stays at the same key.
    bool DeleteKey(StringView name);
    // The names of the open key's subkeys in registry order; true when the whole list was read
    // (a refusal part way keeps the names read so far and gives false).
    bool EnumKeys(std::vector<String>& names);
    // The same names one at a time, without a list: `visit` answers false to stop (which still
    // counts as the whole list read) and must not use the store.
    bool EnumKeys(const std::function<bool(StringView)>& visit);
    // The open key's own name as it was created (the store's names ignore case).
    bool KeyName(String& name);
    // Every subkey of the open key whose name starts with `prefix` (without regard to case),
    // read with all its values at once: while `visit` runs, the reads above answer from that
    // subkey's values. `visit` answers false to stop and must not use the store otherwise. True
    // when the whole list was read.
    bool ReadSubKeys(StringView prefix, const std::function<bool(StringView)>& visit);
    // Reads every value of the open key at once; until the key is closed or written, the reads
    // above answer from what was read. False (and nothing kept) when the registry refused.
    bool LoadValues();

    // Why the store could not even look, when a registry call answered so since the store was
    // made or last asked with ClearBroken: a damaged registry (RegistryCorrupt) or no memory
    // (NotEnoughMemory), or another program holding it for writing (Busy). Ok otherwise.
    platform::RegistryStatus Broken() const { return Broken_; }
    void ClearBroken() { Broken_ = platform::RegistryStatus::Ok; }

    // Equal stamps of the same registry mean nothing in it changed in between; none where the
    // registry cannot tell (platform::Registry::ChangeStamp).
    struct TChangeStamp {
        const platform::Registry* Registry;
        uint64_t Stamp;
        bool operator==(const TChangeStamp&) const = default;
    };
    std::optional<TChangeStamp> ChangeStamp() const;

    const String& BaseKeyPath() const { return BaseKeyPath_; }
    // Relative to BaseKeyPath, without leading or trailing "\"; empty while closed.
    const String& CurrentPath() const { return CurrentPath_; }

    // The path `path` names when the open key is at `currentPath`.
    static String ResolveKeyPath(StringView currentPath, StringView path);

private:
    // Type and data of a value whose type is one of `accepted`; false otherwise.
    bool ReadTyped(StringView name, std::initializer_list<platform::RegistryType> accepted,
                   platform::RegistryType& type, std::vector<uint8_t>& data);

    // Passes the status on, keeping it as Broken when it says the registry could not look.
    platform::RegistryStatus Note(platform::RegistryStatus status);

    // The registry current when the store was made; it serves the store's whole life.
    platform::Registry& Registry_;
    platform::RegistryKey Key_;
    // The values LoadValues read, when it did.
    std::optional<std::vector<platform::RegistryValue>> Loaded_;
    String BaseKeyPath_;
    String CurrentPath_;
    platform::RegistryStatus Broken_ = platform::RegistryStatus::Ok;
};

}  // namespace wm
