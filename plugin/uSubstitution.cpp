#include "plugin/uSubstitution.h"

#include <algorithm>

#include "core/Format.h"
#include "platform/CharCase.h"
#include "platform/Environment.h"
#include "platform/Registry.h"
#include "plugin/uOptions.h"
#include "plugin/uSystem.h"

namespace wm {
namespace {

using platform::RegistryRoot;
using platform::RegistryStatus;
using platform::RegistryType;

struct KnownFolder {
    StringView name;
    int folder;
};

// The shell folders by the names of their CSIDL constants.
constexpr KnownFolder kKnownFolders[] = {
    {u"DESKTOP", 0},
    {u"INTERNET", 1},
    {u"PROGRAMS", 2},
    {u"CONTROLS", 3},
    {u"PRINTERS", 4},
    {u"PERSONAL", 5},
    {u"FAVORITES", 6},
    {u"STARTUP", 7},
    {u"RECENT", 8},
    {u"SENDTO", 9},
    {u"BITBUCKET", 10},
    {u"STARTMENU", 11},
    {u"MYMUSIC", 13},
    {u"MYVIDEO", 14},
    {u"DESKTOPDIRECTORY", 16},
    {u"DRIVES", 17},
    {u"NETWORK", 18},
    {u"NETHOOD", 19},
    {u"FONTS", 20},
    {u"TEMPLATES", 21},
    {u"COMMON_STARTMENU", 22},
    {u"COMMON_PROGRAMS", 23},
    {u"COMMON_STARTUP", 24},
    {u"COMMON_DESKTOPDIRECTORY", 25},
    {u"APPDATA", 26},
    {u"PRINTHOOD", 27},
    {u"LOCAL_APPDATA", 28},
    {u"ALTSTARTUP", 29},
    {u"COMMON_ALTSTARTUP", 30},
    {u"COMMON_FAVORITES", 31},
    {u"INTERNET_CACHE", 32},
    {u"COOKIES", 33},
    {u"HISTORY", 34},
    {u"COMMON_APPDATA", 35},
    {u"WINDOWS", 36},
    {u"SYSTEM", 37},
    {u"PROGRAM_FILES", 38},
    {u"MYPICTURES", 39},
    {u"PROFILE", 40},
    {u"SYSTEMX86", 41},
    {u"PROGRAM_FILESX86", 42},
    {u"PROGRAM_FILES_COMMON", 43},
    {u"PROGRAM_FILES_COMMONX86", 44},
    {u"COMMON_TEMPLATES", 45},
    {u"COMMON_DOCUMENTS", 46},
    {u"COMMON_ADMINTOOLS", 47},
    {u"ADMINTOOLS", 48},
    {u"CONNECTIONS", 49},
    {u"COMMON_MUSIC", 53},
    {u"COMMON_PICTURES", 54},
    {u"COMMON_VIDEO", 55},
    {u"RESOURCES", 56},
    {u"RESOURCES_LOCALIZED", 57},
    {u"COMMON_OEM_LINKS", 58},
    {u"CDBURN_AREA", 59},
    {u"COMPUTERSNEARME", 61},
};

struct RootName {
    StringView longName, shortName;
    RegistryRoot root;
};

constexpr RootName kRootNames[] = {
    {u"HKEY_CURRENT_USER", u"HKCU", RegistryRoot::CurrentUser},
    {u"HKEY_LOCAL_MACHINE", u"HKLM", RegistryRoot::LocalMachine},
    {u"HKEY_CLASSES_ROOT", u"HKCR", RegistryRoot::ClassesRoot},
    {u"HKEY_USERS", u"HKU", RegistryRoot::Users},
    {u"HKEY_PERFORMANCE_DATA", u"HKPD", RegistryRoot::PerformanceData},
    {u"HKEY_CURRENT_CONFIG", u"HKCC", RegistryRoot::CurrentConfig},
    {u"HKEY_DYN_DATA", u"HKDD", RegistryRoot::DynData},
};

// Read access as asked for, most to least.
constexpr uint32_t kReadAccess[] = {
    platform::KeyRead,
    platform::StandardRightsRead | platform::KeyQueryValue | platform::KeyEnumerateSubKeys,
    platform::KeyQueryValue,
};

}  // namespace

bool TSimpleSubstitutionEngine::MatchAt(StringView text, size_t position,
                                        StringView pattern) const {
    if (position > text.size() || text.size() - position < pattern.size()) return false;
    const bool caseSensitive = CaseSensitive();
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char16_t a = text[position + i], b = pattern[i];
        if (caseSensitive ? a != b : platform::UpperCaseChar(a) != platform::UpperCaseChar(b)) {
            return false;
        }
    }
    return true;
}

bool TSimpleSubstitutionEngine::TrySubstitute(StringView text, size_t& position, String& value) {
    if (position >= text.size()) return false;
    const StringView prefix = Prefix(), suffix = Suffix();
    if (prefix.empty() || suffix.empty() || !MatchAt(text, position, prefix)) return false;
    const size_t nameStart = position + prefix.size();
    const size_t longest = std::min(MaxNameLength(), text.size() - nameStart);
    size_t tried = 0;
    for (size_t end = nameStart; end - nameStart <= longest && tried < MaxNamesTried; ++end) {
        if (MatchAt(text, end, suffix)) {
            ++tried;
            String found;
            if (Lookup(text.substr(nameStart, end - nameStart), found)) {
                value = std::move(found);
                position = end + suffix.size();
                return true;
            }
        }
        // No name reaches into the next form.
        if (MatchAt(text, end, prefix)) break;
    }
    return false;
}

bool TEnvVarSubstitutionEngine::Lookup(StringView name, String& value) {
    if (name.empty()) return false;
    value = platform::EnvironmentValue(name);
    return true;
}

bool TBatchEnvVarSubstitutionEngine::Lookup(StringView name, String& value) {
    value = name.empty() ? String(u"%") : platform::EnvironmentValue(name);
    return true;
}

size_t TKnownFolderSubstitutionEngine::MaxNameLength() const {
    size_t longest = 0;
    for (const KnownFolder& known : kKnownFolders) longest = std::max(longest, known.name.size());
    return longest;
}

bool TKnownFolderSubstitutionEngine::Lookup(StringView name, String& value) {
    if (name.empty()) return false;
    const String upper = platform::UpperCaseText(name);
    const auto known = std::find_if(std::begin(kKnownFolders), std::end(kKnownFolders),
                                    [&](const KnownFolder& entry) { return entry.name == upper; });
    if (known == std::end(kKnownFolders)) return false;
    String path = GetKnownFolderPath(known->folder);
    if (path.empty()) return false;
    value = std::move(path);
    return true;
}

bool TRegistrySubstitutionEngine::Lookup(StringView name, String& value) {
    if (name.empty()) return false;
    String path(name);
    std::replace(path.begin(), path.end(), u'/', u'\\');

    RegistryRoot root = RegistryRoot::CurrentUser;
    if (const size_t separator = path.find(u'\\'); separator != String::npos) {
        const String rootName = platform::UpperCaseText(StringView(path).substr(0, separator));
        // An unknown root name is dropped all the same.
        const auto known = std::find_if(std::begin(kRootNames), std::end(kRootNames), [&](auto& r) {
            return rootName == r.longName || rootName == r.shortName;
        });
        if (known != std::end(kRootNames)) root = known->root;
        path.erase(0, separator + 1);
    }
    // "App:Path" and "App\\Path" name the same value; the separator belongs to neither part.
    const size_t separator = path.find_last_of(u"\\:");
    const String valueName = separator == String::npos ? path : path.substr(separator + 1);
    const String keyPath = separator == String::npos ? String() : path.substr(0, separator);

    auto& registry = platform::CurrentRegistry();
    platform::RegistryKey key;
    const bool opened =
        std::any_of(std::begin(kReadAccess), std::end(kReadAccess), [&](uint32_t access) {
            return registry.OpenKeyWithAccess(root, keyPath, access, key) == RegistryStatus::Ok;
        });
    RegistryType type;
    std::vector<uint8_t> data;
    if (!opened || registry.ReadValue(key, valueName, type, data) != RegistryStatus::Ok) {
        return false;
    }
    if (type != RegistryType::String && type != RegistryType::ExpandString) {
        throw ERegistryException(Format(u"Invalid data type for '%s'", {valueName}));
    }
    String text = platform::RegistryText(data);
    text.resize(std::min(text.size(), text.find(u'\0')));
    value = std::move(text);
    return true;
}

bool TSubstitutionEngines::AddEngine(std::unique_ptr<TSubstitutionEngine> engine) {
    if (!engine) return false;
    Engines_.push_back(std::move(engine));
    return true;
}

bool TSubstitutionEngines::SubstituteAt(StringView text, size_t& position, String& value) {
    return std::any_of(Engines_.begin(), Engines_.end(), [&](const auto& engine) {
        return engine->TrySubstitute(text, position, value);
    });
}

String TSubstitutionEngines::Substitute(StringView text) {
    String result, value;
    result.reserve(text.size());
    // The text after a form is looked at from the form's end; values are not scanned again.
    for (size_t position = 0; position < text.size();) {
        if (SubstituteAt(text, position, value)) {
            result += value;
        } else {
            result += text[position++];
        }
    }
    return result;
}

std::unique_ptr<TSubstitutionEngines> CreateEngines(const TOptions& options) {
    if (!options.UseSubstEngines) return nullptr;
    try {
        auto engines = std::make_unique<TSubstitutionEngines>();
        if (options.UseSubstEngines_Env) engines->AddEngineClass<TEnvVarSubstitutionEngine>();
        if (options.UseSubstEngines_BatchEnv) {
            engines->AddEngineClass<TBatchEnvVarSubstitutionEngine>();
        }
        if (options.UseSubstEngine_Known) {
            engines->AddEngineClass<TKnownFolderSubstitutionEngine>();
            engines->AddEngineClass<TKnownFolderSubstitutionEngine2>();
        }
        if (options.UseSubstEngines_Reg) engines->AddEngineClass<TRegistrySubstitutionEngine>();
        return engines;
    } catch (const Exception&) {
        return nullptr;
    }
}

std::unique_ptr<TSubstitutionEngines> CreateEngines() {
    return CreateEngines(TOptions());
}

String ExpandDirectory(StringView directory) {
    const auto engines = CreateEngines();
    return engines ? engines->Substitute(directory) : String(directory);
}

}  // namespace wm
