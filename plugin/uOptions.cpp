#include "plugin/uOptions.h"

#include "core/Guid.h"
#include "platform/CharCase.h"
#include "plugin/uFunctions.h"
#include "plugin/uMessages.h"

namespace wm {
namespace {

// The options' value names, defaults and fields, in the order they are loaded and saved.
constexpr const char16_t* kLastPanelDir = u"LastPanelDir";
struct Switch {
    const char16_t* name;
    bool TOptions::*field;
    bool defaultValue;
};
constexpr Switch kSwitches[] = {
    {u"SaveLastPanelDir", &TOptions::SaveLastPanelDir, false},
    {u"UseSubstEngines", &TOptions::UseSubstEngines, false},
    {u"UseSubstEngine_Known", &TOptions::UseSubstEngine_Known, false},
    {u"UseSubstEngines_Env", &TOptions::UseSubstEngines_Env, false},
    {u"UseSubstEngines_BatchEnv", &TOptions::UseSubstEngines_BatchEnv, false},
    {u"UseSubstEngines_Reg", &TOptions::UseSubstEngines_Reg, false},
    {u"AllowPathSuffix", &TOptions::AllowPathSuffix, false},
    {u"AllowPluginCalls", &TOptions::AllowPluginCalls, false},
    {u"AllowFuzzySearch", &TOptions::AllowFuzzySearch, true},
    {u"AllowSearchOverDir", &TOptions::AllowSearchOverDir, false},
};

// The options key is the base key; entries are subkeys of "folders", which the store runs on to
// the base key's own name.
constexpr StringView kOptionsKey = u"\\";
constexpr StringView kEntriesKey = u"\\folders";

constexpr const char16_t* kDirectory = u"Directory";
constexpr const char16_t* kPluginId = u"PluginID";
constexpr const char16_t* kParam = u"Param";
constexpr const char16_t* kHostFile = u"HostFile";
constexpr const char16_t* kDescription = u"Description";
constexpr const char16_t* kFlags = u"Flags";

bool IsForbidden(char16_t c) {
    switch (c) {
        case u'*':
        case u':':
        case u'?':
        case u'\\':
        case u'^':
        case u'|':
            return true;
        default:
            return c <= 0x1F;
    }
}

// A name in normal form that ValidateName takes as it is, checked without copying it.
bool IsUsableName(StringView name) {
    if (name.empty()) return false;
    size_t start = 0;
    for (size_t i = 0; i <= name.size(); ++i) {
        if (i < name.size() && name[i] != u'/') {
            if (IsForbidden(name[i])) return false;
            continue;
        }
        const StringView component = name.substr(start, i - start);
        if (component.empty() || component == u"." || component == u"..") return false;
        start = i + 1;
    }
    return true;
}

// A registry that could not even look is said to be so, rather than taken for a missing or
// unstored entry.
void RaiseIfBroken(platform::RegistryStatus broken) {
    if (broken == platform::RegistryStatus::RegistryCorrupt) {
        throw EWaymarkError(MessageText(MStoreDamaged));
    }
    if (broken == platform::RegistryStatus::Busy) throw EWaymarkError(MessageText(MStoreBusy));
    if (broken == platform::RegistryStatus::NotEnoughMemory) {
        throw EWaymarkError(MessageText(MStoreOutOfMemory));
    }
}

// Closes the store's key on the way out, also when an error passes.
class KeyScope {
public:
    explicit KeyScope(TFarConfig& config) : config_(config) {}
    ~KeyScope() { config_.CloseKey(); }
    KeyScope(const KeyScope&) = delete;
    KeyScope& operator=(const KeyScope&) = delete;

private:
    TFarConfig& config_;
};

}  // namespace

TOptions::TOptions() : TFarConfig(u"Waymarks", false) {
    SetDefaults();
    Load();
}

void TOptions::SetDefaults() {
    LastPanelDir = kLastPanelDir;
    for (const Switch& option : kSwitches) this->*option.field = option.defaultValue;
}

void TOptions::Load() {
    if (!OpenKey(kOptionsKey, false)) return;
    const KeyScope scope(*this);
    // One reading of the key; where that is refused, each option is read on its own.
    LoadValues();
    LastPanelDir = ReadStringDef(kLastPanelDir, LastPanelDir);
    for (const Switch& option : kSwitches) {
        this->*option.field = ReadBoolDef(option.name, this->*option.field);
    }
}

bool TOptions::Save() {
    return WriteTogether([&] {
        if (!OpenKey(kOptionsKey, false)) return false;
        const KeyScope scope(*this);
        bool written = WriteString(kLastPanelDir, LastPanelDir);
        for (const Switch& option : kSwitches) {
            written = WriteBool(option.name, this->*option.field) && written;
        }
        return written;
    });
}

String TOptions::ValidateNewName(StringView name) {
    String normal = ValidateName(name);
    if (IsReservedName(normal)) throw EWaymarkError(MessageText(MReservedName));
    return normal;
}

bool TOptions::StoreLastPanelDir() {
    if (!OpenKey(kOptionsKey, false)) return false;
    const KeyScope scope(*this);
    return WriteString(kLastPanelDir, LastPanelDir);
}

String TOptions::ValidateName(StringView name) {
    String normal = TWaymarkInfo::NormalizeName(name);
    // A name of separators and dots alone would address the entries' own container key.
    if (normal.empty()) throw EWaymarkError(MessageText(MEmptyName));
    for (char16_t c : normal) {
        if (IsForbidden(c)) throw EWaymarkError(MessageText(MForbiddenCharacter));
    }
    return normal;
}

bool TOptions::OpenEntryKey(StringView normalName, bool readOnly) {
    return OpenKey(String(kEntriesKey) + u"\\" + String(normalName), readOnly);
}

std::unique_ptr<TWaymarkInfo> TOptions::ReadEntry(StringView name) {
    const String normal = ValidateName(name);
    ClearBroken();
    if (!OpenEntryKey(normal, true)) {
        RaiseIfBroken(Broken());
        return nullptr;
    }
    const KeyScope scope(*this);
    return ReadOpenEntry(OpenKeySpelling(normal));
}

std::optional<std::unique_ptr<TWaymarkInfo>> TOptions::ReadEntryStoredAs(StringView normalName) {
    if (!IsUsableName(normalName)) return std::nullopt;
    ClearBroken();
    if (!OpenEntryKey(normalName, true)) {
        RaiseIfBroken(Broken());
        return std::nullopt;
    }
    const KeyScope scope(*this);
    String stored;
    if (!KeyName(stored) || stored != normalName) return std::nullopt;
    return ReadOpenEntry(normalName);
}

String TOptions::StoredSpelling(StringView normalName) {
    if (!IsUsableName(normalName) || !OpenEntryKey(normalName, true)) return String(normalName);
    const KeyScope scope(*this);
    return OpenKeySpelling(normalName);
}

String TOptions::OpenKeySpelling(StringView normalName) {
    String stored;
    if (KeyName(stored) && platform::SameTextIgnoringCase(stored, normalName)) return stored;
    return String(normalName);
}

std::unique_ptr<TWaymarkInfo> TOptions::ReadOpenEntry(StringView normal) {
    // One reading of the key; where that is refused, each value is read on its own.
    LoadValues();
    return ReadLoadedEntry(normal);
}

std::unique_ptr<TWaymarkInfo> TOptions::ReadLoadedEntry(StringView normal) {
    String directory;
    if (!ReadString(kDirectory, directory)) {
        RaiseIfBroken(Broken());
        return nullptr;
    }

    auto info = std::make_unique<TWaymarkInfo>();
    info->Name = String(normal);  // already in normal form
    info->Directory = std::move(directory);
    String pluginId;
    if (ReadString(kPluginId, pluginId) && !pluginId.empty()) {
        info->PluginID = StringToGuid(pluginId);
    }
    info->Param = ReadStringDef(kParam, u"");
    info->HostFile = ReadStringDef(kHostFile, u"");
    info->Description = ReadStringDef(kDescription, u"");
    info->Flags = static_cast<int32_t>(ReadInt64Def(kFlags, 0));
    return info;
}

bool TOptions::WriteEntryValues(StringView normalName, const TWaymarkInfo& info) {
    if (!OpenEntryKey(normalName, false)) return false;
    const KeyScope scope(*this);
    // Nothing to delete is no failure. The first write that fails ends the store.
    const bool pluginWritten = IsNullGuid(info.PluginID)
                                   ? DeleteValue(kPluginId) || !ValueExists(kPluginId)
                                   : WriteString(kPluginId, GuidToString(info.PluginID));
    return pluginWritten && WriteString(kParam, info.Param) &&
           WriteString(kHostFile, info.HostFile) && WriteString(kDescription, info.Description) &&
           WriteInt64(kFlags, info.Flags) &&
           // Last: a key without its directory is no entry, so a new one cut off part way is
           // not read.
           WriteString(kDirectory, info.Directory);
}

bool TOptions::WriteEntry(const TWaymarkInfo& info) {
    String normal = ValidateName(info.Name);
    // "tools/b" beside a stored group "Tools" is its member: listed with it, deleted with it.
    if (const size_t slash = normal.rfind(u'/'); slash != String::npos) {
        normal = StoredSpelling(StringView(normal).substr(0, slash)) + normal.substr(slash);
    }
    std::unique_ptr<TWaymarkInfo> previous;
    try {
        previous = ReadEntry(normal);
    } catch (const Exception&) {
        // An entry that cannot be read has nothing to keep.
    }
    // The key and all its values, or nothing: where the registry can undo writes, a store that
    // fails or is cut off part way is undone whole.
    ClearBroken();
    if (WriteTogether([&] { return WriteEntryValues(normal, info); })) return true;
    const platform::RegistryStatus broken = Broken();
    // A busy store took none of the writes.
    if (broken == platform::RegistryStatus::Busy) RaiseIfBroken(broken);
    // Where it cannot, the old values are written back, or the new key is taken away again.
    if (previous) {
        WriteEntryValues(normal, *previous);
    } else if (OpenKey(kEntriesKey, false)) {
        const KeyScope scope(*this);
        DeleteKey(normal);
    }
    RaiseIfBroken(broken);
    return false;
}

bool TOptions::DeleteEntry(StringView name) {
    const String normal = ValidateName(name);
    if (!OpenKey(kEntriesKey, true)) return false;
    const KeyScope scope(*this);
    return DeleteKey(normal);
}

std::optional<std::vector<String>> TOptions::EnumEntryNames() {
    std::vector<String> names;
    if (!ForEachEntryName([&](StringView name) {
            names.emplace_back(name);
            return true;
        })) {
        return std::nullopt;
    }
    return names;
}

bool TOptions::ReadEntriesUnder(
    StringView prefix,
    const std::function<void(StringView, std::unique_ptr<TWaymarkInfo>)>& visit) {
    ClearBroken();
    if (!OpenKey(kEntriesKey, true)) return Broken() == platform::RegistryStatus::Ok;
    const KeyScope scope(*this);
    return ReadSubKeys(prefix, [&](StringView name) {
        if (!platform::StartsWithIgnoringCase(name, prefix) || !IsUsableName(name)) return true;
        std::unique_ptr<TWaymarkInfo> entry;
        try {
            entry = ReadLoadedEntry(name);
        } catch (const Exception&) {
            // Left for `visit` as an entry that cannot be read.
        }
        visit(name, std::move(entry));
        return true;
    });
}

bool TOptions::ForEachEntryName(const std::function<bool(StringView)>& visit) {
    if (!OpenKey(kEntriesKey, true)) return true;
    const KeyScope scope(*this);
    // A key that another tool named "x/../y" or "st*r" would be read as another entry, or
    // refused as if the user had typed a bad name: such keys are left alone and out.
    return EnumKeys([&](StringView name) { return !IsUsableName(name) || visit(name); });
}

}  // namespace wm
