#include "framework/FarConfig.h"

#include <algorithm>

#include "framework/FarPlugin.h"
#include "platform/CharCase.h"

namespace wm {

using platform::CurrentRegistry;
using platform::RegistryRoot;
using platform::RegistryStatus;
using platform::RegistryType;

namespace {

constexpr RegistryRoot kHive = RegistryRoot::CurrentUser;

// Little-endian bytes, zero-extended; false when they do not fit in `width` bytes.
bool UnsignedFromBytes(const std::vector<uint8_t>& data, size_t width, uint64_t& value) {
    if (data.size() > width) return false;
    value = 0;
    for (size_t i = data.size(); i-- > 0;) value = value << 8 | data[i];
    return true;
}

template <typename T>
std::span<const uint8_t> BytesOf(const T& value) {
    return {reinterpret_cast<const uint8_t*>(&value), sizeof value};
}

}  // namespace

TFarConfig::TFarConfig(StringView section, bool openNow) : Registry_(CurrentRegistry()) {
    BaseKeyPath_ = FromHostString(TFarPlugin::Instance().StartupInfo().RootKey);
    if (BaseKeyPath_.empty() || BaseKeyPath_.back() != u'\\') BaseKeyPath_ += u'\\';
    BaseKeyPath_ += section;
    if (openNow) OpenKey(u"", false);
}

TFarConfig::~TFarConfig() {
    CloseKey();
}

String TFarConfig::ResolveKeyPath(StringView currentPath, StringView path) {
    String result(currentPath);
    if (!path.empty()) {
        if (path.front() == u'\\') {
            result.clear();
            path.remove_prefix(std::min(path.find_first_not_of(u'\\'), path.size()));
        }
        if (!path.empty()) {
            if (!result.empty()) result += u'\\';
            result += path;
        }
    }
    while (!result.empty() && result.back() == u'\\') result.pop_back();
    return result;
}

bool TFarConfig::OpenKey(StringView path, bool readOnly) {
    String resolved = ResolveKeyPath(CurrentPath_, path);
    if (IsOpen() && CurrentPath_ == resolved) return true;
    CloseKey();
    const String fullPath = BaseKeyPath_ + resolved;
    const RegistryStatus status = readOnly ? Note(Registry_.OpenKey(kHive, fullPath, Key_))
                                           : Note(Registry_.CreateKey(kHive, fullPath, Key_));
    if (status != RegistryStatus::Ok) {
        Key_.Close();
        return false;
    }
    CurrentPath_ = std::move(resolved);
    return true;
}

void TFarConfig::CloseKey() {
    Loaded_.reset();
    Key_.Close();
    CurrentPath_.clear();
}

std::optional<TFarConfig::TChangeStamp> TFarConfig::ChangeStamp() const {
    const auto stamp = Registry_.ChangeStamp();
    if (!stamp) return std::nullopt;
    return TChangeStamp{&Registry_, *stamp};
}

RegistryStatus TFarConfig::Note(RegistryStatus status) {
    if (status == RegistryStatus::RegistryCorrupt || status == RegistryStatus::NotEnoughMemory ||
        status == RegistryStatus::Busy) {
        Broken_ = status;
    }
    return status;
}

bool TFarConfig::ReadTyped(StringView name, std::initializer_list<RegistryType> accepted,
                           RegistryType& type, std::vector<uint8_t>& data) {
    if (!IsOpen()) return false;
    const auto isAccepted = [&](RegistryType t) {
        return std::find(accepted.begin(), accepted.end(), t) != accepted.end();
    };
    if (Loaded_) {
        // The registry ignores everything from a null character on.
        const StringView wanted = name.substr(0, name.find(u'\0'));
        const auto found = std::find_if(Loaded_->begin(), Loaded_->end(), [&](const auto& value) {
            return platform::SameTextIgnoringCase(value.name, wanted);
        });
        if (found == Loaded_->end() || !isAccepted(found->type)) return false;
        type = found->type;
        data = found->data;
        return true;
    }
    return Note(Registry_.ReadValue(Key_, name, type, data)) == RegistryStatus::Ok &&
           isAccepted(type);
}

bool TFarConfig::LoadValues() {
    Loaded_.reset();
    if (!IsOpen()) return false;
    std::vector<platform::RegistryValue> values;
    if (Note(Registry_.ReadValues(Key_, values)) != RegistryStatus::Ok) return false;
    Loaded_ = std::move(values);
    return true;
}

bool TFarConfig::ReadSubKeys(StringView prefix, const std::function<bool(StringView)>& visit) {
    Loaded_.reset();
    if (!IsOpen()) return false;
    struct Forget {
        std::optional<std::vector<platform::RegistryValue>>& loaded;
        ~Forget() { loaded.reset(); }
    } forget{Loaded_};
    const RegistryStatus status = Registry_.ReadSubKeys(
        Key_, prefix, [&](StringView name, std::vector<platform::RegistryValue>& values) {
            Loaded_ = std::move(values);
            return visit(name);
        });
    return Note(status) == RegistryStatus::Ok;
}

bool TFarConfig::KeyName(String& name) {
    return IsOpen() && Note(Registry_.KeyName(Key_, name)) == RegistryStatus::Ok;
}

bool TFarConfig::ReadInt64(StringView name, int64_t& value) {
    RegistryType type;
    std::vector<uint8_t> data;
    if (!ReadTyped(name, {RegistryType::Dword, RegistryType::Qword}, type, data)) return false;
    uint64_t bits = 0;
    if (!UnsignedFromBytes(data, type == RegistryType::Dword ? 4 : 8, bits)) return false;
    value = static_cast<int64_t>(bits);
    return true;
}

int64_t TFarConfig::ReadInt64Def(StringView name, int64_t defaultValue) {
    int64_t value = 0;
    return ReadInt64(name, value) ? value : defaultValue;
}

bool TFarConfig::ReadBool(StringView name, bool& value) {
    int64_t number = 0;
    if (!ReadInt64(name, number)) return false;
    value = number != 0;
    return true;
}

bool TFarConfig::ReadBoolDef(StringView name, bool defaultValue) {
    bool value = false;
    return ReadBool(name, value) ? value : defaultValue;
}

bool TFarConfig::ReadString(StringView name, String& value) {
    RegistryType type;
    std::vector<uint8_t> data;
    if (!ReadTyped(name,
                   {RegistryType::String, RegistryType::ExpandString, RegistryType::MultiString},
                   type, data)) {
        return false;
    }
    String text = platform::RegistryText(data);
    if (type != RegistryType::MultiString && !text.empty() && text.back() == u'\0') {
        text.pop_back();
    }
    value = std::move(text);
    return true;
}

String TFarConfig::ReadStringDef(StringView name, StringView defaultValue) {
    String value;
    return ReadString(name, value) ? value : String(defaultValue);
}

bool TFarConfig::WriteInt64(StringView name, int64_t value) {
    if (!IsOpen()) return false;
    Loaded_.reset();
    if (Note(Registry_.WriteValue(Key_, name, RegistryType::Qword, BytesOf(value))) ==
        RegistryStatus::Ok) {
        return true;
    }
    if (value < 0 || value > 0xFFFFFFFF) return false;
    const auto low = static_cast<uint32_t>(value);
    return Note(Registry_.WriteValue(Key_, name, RegistryType::Dword, BytesOf(low))) ==
           RegistryStatus::Ok;
}

bool TFarConfig::WriteBool(StringView name, bool value) {
    return WriteInt64(name, value ? 1 : 0);
}

bool TFarConfig::WriteString(StringView name, StringView value) {
    if (!IsOpen()) return false;
    Loaded_.reset();
    const String text(value);  // with its terminating null
    const std::span<const uint8_t> bytes(reinterpret_cast<const uint8_t*>(text.c_str()),
                                         (text.size() + 1) * sizeof(char16_t));
    return Note(Registry_.WriteValue(Key_, name, RegistryType::String, bytes)) ==
           RegistryStatus::Ok;
}

bool TFarConfig::WriteTogether(const std::function<bool()>& writes) {
    platform::RegistryWriteGroup group(Registry_);
    // A store another program holds for writing would make every write wait in turn.
    if (Note(group.StartStatus()) == RegistryStatus::Busy) return false;
    if (!writes()) return false;
    return !group.Started() || group.Commit() == RegistryStatus::Ok;
}

bool TFarConfig::ValueExists(StringView name) {
    platform::RegistryType type;
    uint32_t size = 0;
    return IsOpen() && Note(Registry_.QueryValue(Key_, name, type, size)) == RegistryStatus::Ok;
}

bool TFarConfig::DeleteValue(StringView name) {
    Loaded_.reset();
    return IsOpen() && Note(Registry_.DeleteValue(Key_, name)) == RegistryStatus::Ok;
}

bool TFarConfig::DeleteKey(StringView name) {
    if (!IsOpen()) return false;
    const String path = CurrentPath_;
    const bool deleted = Note(Registry_.DeleteSubKey(Key_, name)) == RegistryStatus::Ok;
    OpenKey(u"\\" + path, false);
    return deleted;
}

bool TFarConfig::EnumKeys(std::vector<String>& names) {
    names.clear();
    return EnumKeys([&](StringView name) {
        names.emplace_back(name);
        return true;
    });
}

bool TFarConfig::EnumKeys(const std::function<bool(StringView)>& visit) {
    return IsOpen() && Note(Registry_.ListSubKeys(Key_, visit)) == RegistryStatus::Ok;
}

}  // namespace wm
