#include "platform/Registry.h"

#include "platform/CharCase.h"

#include <cstring>
#include <mutex>
#include <utility>

namespace wm::platform {

RegistryKey::RegistryKey(RegistryKey&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)), handle_(std::exchange(other.handle_, 0)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept {
    if (this != &other) {
        Close();
        owner_ = std::exchange(other.owner_, nullptr);
        handle_ = std::exchange(other.handle_, 0);
    }
    return *this;
}

void RegistryKey::Close() noexcept {
    if (owner_ != nullptr) std::exchange(owner_, nullptr)->CloseKey(std::exchange(handle_, 0));
}

String RegistryText(std::span<const uint8_t> data) {
    String text(data.size() / 2, u'\0');
    if (!text.empty()) std::memcpy(text.data(), data.data(), text.size() * sizeof(char16_t));
    return text;
}

RegistryStatus Registry::ListSubKeys(const RegistryKey& key,
                                     const std::function<bool(StringView)>& visit) {
    String name;
    for (uint32_t index = 0;; ++index) {
        const RegistryStatus status = EnumSubKey(key, index, name);
        if (status == RegistryStatus::NoMoreItems) return RegistryStatus::Ok;
        if (status != RegistryStatus::Ok) return status;
        if (!visit(name)) return RegistryStatus::Ok;
    }
}

RegistryStatus Registry::ReadValues(const RegistryKey& key, std::vector<RegistryValue>& values) {
    values.clear();
    for (uint32_t index = 0;; ++index) {
        RegistryValue value;
        RegistryStatus status = EnumValue(key, index, value.name);
        if (status == RegistryStatus::NoMoreItems) return RegistryStatus::Ok;
        if (status == RegistryStatus::Ok)
            status = ReadValue(key, value.name, value.type, value.data);
        if (status != RegistryStatus::Ok) return status;
        values.push_back(std::move(value));
    }
}

RegistryStatus Registry::ReadSubKeys(const RegistryKey& key, StringView prefix,
                                     const SubKeyVisitor& visit) {
    std::vector<String> names;
    const RegistryStatus listed = ListSubKeys(key, [&](StringView name) {
        if (StartsWithIgnoringCase(name, prefix)) names.emplace_back(name);
        return true;
    });
    if (listed != RegistryStatus::Ok) return listed;
    std::vector<RegistryValue> values;
    for (const String& name : names) {
        RegistryKey subKey;
        RegistryStatus status = OpenSubKey(key, name, subKey);
        if (status == RegistryStatus::Ok) status = ReadValues(subKey, values);
        if (status == RegistryStatus::FileNotFound || status == RegistryStatus::KeyDeleted)
            continue;
        if (status != RegistryStatus::Ok) return status;
        if (!visit(name, values)) break;
    }
    return RegistryStatus::Ok;
}

namespace {

Registry* g_override = nullptr;

Registry& SystemRegistry() {
    static std::mutex mutex;
    static std::unique_ptr<Registry> registry;
    const std::lock_guard lock(mutex);
    if (!registry) registry = OpenSystemRegistry();
    return *registry;
}

}  // namespace

Registry& CurrentRegistry() {
    return g_override != nullptr ? *g_override : SystemRegistry();
}

ScopedRegistry::ScopedRegistry(Registry& registry) : previous_(g_override) {
    g_override = &registry;
}

ScopedRegistry::~ScopedRegistry() {
    g_override = previous_;
}

}  // namespace wm::platform
