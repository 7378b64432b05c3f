#include "platform/RegistryFaults.h"

#include <algorithm>

namespace wm::platform {

void FaultyRegistry::FailWhen(Match match, RegistryStatus status) {
    faults_.push_back({std::move(match), status});
}

void FaultyRegistry::Fail(RegistryCall call, RegistryStatus status) {
    FailWhen([call](const RegistryCallInfo& info) { return info.call == call; }, status);
}

size_t FaultyRegistry::CallCount(RegistryCall call) const {
    return static_cast<size_t>(std::count_if(
        calls_.begin(), calls_.end(), [call](const auto& info) { return info.call == call; }));
}

RegistryStatus FaultyRegistry::Intercept(RegistryCallInfo info) {
    calls_.push_back(std::move(info));
    for (const Fault& fault : faults_) {
        if (fault.match(calls_.back())) return fault.status;
    }
    return RegistryStatus::Ok;
}

RegistryStatus FaultyRegistry::OpenKey(RegistryRoot root, StringView path, RegistryKey& key) {
    key.Close();
    const auto status =
        Intercept({.call = RegistryCall::OpenKey, .root = root, .name = String(path)});
    return status != RegistryStatus::Ok ? status : inner_.OpenKey(root, path, key);
}

RegistryStatus FaultyRegistry::OpenKeyWithAccess(RegistryRoot root, StringView path,
                                                 uint32_t access, RegistryKey& key) {
    key.Close();
    const auto status = Intercept({.call = RegistryCall::OpenKeyWithAccess,
                                   .root = root,
                                   .name = String(path),
                                   .access = access});
    return status != RegistryStatus::Ok ? status
                                        : inner_.OpenKeyWithAccess(root, path, access, key);
}

RegistryStatus FaultyRegistry::OpenSubKey(const RegistryKey& parent, StringView path,
                                          RegistryKey& key) {
    // `parent` may be `key` itself: it is passed on before `key` is closed.
    const auto status = Intercept({.call = RegistryCall::OpenSubKey, .name = String(path)});
    if (status != RegistryStatus::Ok) {
        key.Close();
        return status;
    }
    return inner_.OpenSubKey(parent, path, key);
}

RegistryStatus FaultyRegistry::CreateKey(RegistryRoot root, StringView path, RegistryKey& key) {
    key.Close();
    const auto status =
        Intercept({.call = RegistryCall::CreateKey, .root = root, .name = String(path)});
    return status != RegistryStatus::Ok ? status : inner_.CreateKey(root, path, key);
}

RegistryStatus FaultyRegistry::QueryValue(const RegistryKey& key, StringView name,
                                          RegistryType& type, uint32_t& size) {
    const auto status = Intercept({.call = RegistryCall::QueryValue, .name = String(name)});
    return status != RegistryStatus::Ok ? status : inner_.QueryValue(key, name, type, size);
}

RegistryStatus FaultyRegistry::ReadValue(const RegistryKey& key, StringView name,
                                         RegistryType& type, std::vector<uint8_t>& data) {
    const auto status = Intercept({.call = RegistryCall::ReadValue, .name = String(name)});
    return status != RegistryStatus::Ok ? status : inner_.ReadValue(key, name, type, data);
}

RegistryStatus FaultyRegistry::WriteValue(const RegistryKey& key, StringView name,
                                          RegistryType type, std::span<const uint8_t> data) {
    const auto status =
        Intercept({.call = RegistryCall::WriteValue, .name = String(name), .type = type});
    return status != RegistryStatus::Ok ? status : inner_.WriteValue(key, name, type, data);
}

RegistryStatus FaultyRegistry::DeleteValue(const RegistryKey& key, StringView name) {
    const auto status = Intercept({.call = RegistryCall::DeleteValue, .name = String(name)});
    return status != RegistryStatus::Ok ? status : inner_.DeleteValue(key, name);
}

RegistryStatus FaultyRegistry::DeleteSubKey(const RegistryKey& key, StringView path) {
    const auto status = Intercept({.call = RegistryCall::DeleteSubKey, .name = String(path)});
    return status != RegistryStatus::Ok ? status : inner_.DeleteSubKey(key, path);
}

RegistryStatus FaultyRegistry::EnumSubKey(const RegistryKey& key, uint32_t index, String& name) {
    const auto status = Intercept({.call = RegistryCall::EnumSubKey, .index = index});
    return status != RegistryStatus::Ok ? status : inner_.EnumSubKey(key, index, name);
}

RegistryStatus FaultyRegistry::EnumValue(const RegistryKey& key, uint32_t index, String& name) {
    const auto status = Intercept({.call = RegistryCall::EnumValue, .index = index});
    return status != RegistryStatus::Ok ? status : inner_.EnumValue(key, index, name);
}

RegistryStatus FaultyRegistry::KeyName(const RegistryKey& key, String& name) {
    const auto status = Intercept({.call = RegistryCall::KeyName});
    return status != RegistryStatus::Ok ? status : inner_.KeyName(key, name);
}

}  // namespace wm::platform
