// Scratch keys below HKEY_CURRENT_USER\Software\Waymarks tests, unique per test and removed with
// everything below them. Every test program that includes this uses a private in-memory
// stand-in, so the user's own registry file is never touched.
#pragma once

#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/Environment.h"
#include "platform/Registry.h"

namespace wm::platform {

inline void PrintTo(RegistryStatus status, std::ostream* out) {
    *out << static_cast<int32_t>(status);
}

}  // namespace wm::platform

namespace wm::test {

inline const bool kPrivateRegistry =
    platform::SetEnvironmentValue(u"FARHOST_REGISTRY", u":memory:");

inline String UniqueScratchPath(StringView purpose) {
    static std::mt19937_64 random{std::random_device{}()};
    return u"Software\\Waymarks tests\\" + String(purpose) + u"-" +
           FromUtf8(std::to_string(random() % 1000000000));
}

// Deletes the key and everything below it; a missing key is no error.
inline void DeleteTree(platform::Registry& registry, const String& path) {
    constexpr auto kHkcu = platform::RegistryRoot::CurrentUser;
    std::vector<String> children;
    platform::RegistryKey key;
    if (registry.OpenKey(kHkcu, path, key) != platform::RegistryStatus::Ok) return;
    for (String child; registry.EnumSubKey(key, static_cast<uint32_t>(children.size()), child) ==
                       platform::RegistryStatus::Ok;) {
        children.push_back(child);
    }
    for (const String& child : children) DeleteTree(registry, path + u"\\" + child);
    (void)registry.DeleteSubKey(key, u"");
}

// A scratch key path for the life of the object; the common parent goes with the last one.
class ScratchKey {
public:
    explicit ScratchKey(StringView purpose) : path_(UniqueScratchPath(purpose)) {}
    ~ScratchKey() {
        DeleteTree(registry_, path_);
        platform::RegistryKey software;
        if (registry_.OpenKey(platform::RegistryRoot::CurrentUser, u"Software", software) ==
            platform::RegistryStatus::Ok) {
            (void)registry_.DeleteSubKey(software, u"Waymarks tests");
        }
    }
    ScratchKey(const ScratchKey&) = delete;
    ScratchKey& operator=(const ScratchKey&) = delete;

    const String& Path() const { return path_; }
    String Below(StringView relative) const {
        return relative.empty() ? path_ : path_ + u"\\" + String(relative);
    }

private:
    platform::Registry& registry_ = platform::CurrentRegistry();
    String path_;
};

}  // namespace wm::test
