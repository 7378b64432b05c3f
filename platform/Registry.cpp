#include "platform/Registry.h"

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
