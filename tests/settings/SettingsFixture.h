// A plugin with farhost as its host, RootKey a scratch key, and a language file whose message N
// reads "Message N".
#pragma once

#include <cstring>
#include <string>

#include "farhost/engine/LanguageFile.h"
#include "platform/RegistryFaults.h"
#include "plugin/uMessages.h"
#include "tests/framework/TestPlugin.h"
#include "tests/registry/Scratch.h"

namespace wm::test {

// Made before the host and removed after it.
struct ScratchHolder {
    ScratchKey scratchKey{u"settings"};
};

class SettingsTest : private ScratchHolder, public FrameworkTest {
protected:
    SettingsTest() : FrameworkTest(HostOptions(scratchKey.Below(u"Plugins"))) {
        std::string file = ".Language=English,English\n";
        // Every message of the plugin, and one more.
        for (int i = 0; i <= MessageCount; ++i) file += "\"Message " + std::to_string(i) + "\"\n";
        host.SetLanguageFile(farhost::LanguageFile::Parse(file));
    }

    String OptionsPath() const { return rootKey + u"\\Waymarks"; }
    String EntriesPath() const { return rootKey + u"\\Waymarksfolders"; }

    platform::RegistryKey RawKey(const String& path) {
        platform::RegistryKey key;
        EXPECT_EQ(registry.CreateKey(kHkcu, path, key), platform::RegistryStatus::Ok);
        return key;
    }
    bool KeyExists(const String& path) {
        platform::RegistryKey key;
        return registry.OpenKey(kHkcu, path, key) == platform::RegistryStatus::Ok;
    }
    void WriteRaw(const String& path, StringView name, platform::RegistryType type,
                  const std::vector<uint8_t>& data) {
        ASSERT_EQ(registry.WriteValue(RawKey(path), name, type, data),
                  platform::RegistryStatus::Ok);
    }
    // Type and bytes of a value; type None when it is missing.
    std::pair<platform::RegistryType, std::vector<uint8_t>> ReadRaw(const String& path,
                                                                    StringView name) {
        std::pair<platform::RegistryType, std::vector<uint8_t>> value{};
        if (registry.ReadValue(RawKey(path), name, value.first, value.second) !=
            platform::RegistryStatus::Ok) {
            value = {};
        }
        return value;
    }

    static std::vector<uint8_t> Bytes(StringView text) {
        std::vector<uint8_t> bytes(text.size() * 2);
        if (!text.empty()) std::memcpy(bytes.data(), text.data(), bytes.size());
        return bytes;
    }
    template <typename T>
    static std::vector<uint8_t> BytesOf(T value) {
        return Bytes(StringView(reinterpret_cast<const char16_t*>(&value), sizeof value / 2));
    }

    static constexpr auto kHkcu = platform::RegistryRoot::CurrentUser;
    platform::Registry& registry = platform::CurrentRegistry();
    const String& scratch = scratchKey.Path();
    const String rootKey = scratchKey.Below(u"Plugins");

private:
    static farhost::Host::Options HostOptions(String rootKey) {
        farhost::Host::Options options;
        options.rootKey = std::move(rootKey);
        return options;
    }
};

// The registry with chosen calls refused, current for the life of the object.
class RefusingRegistry {
public:
    RefusingRegistry() : faults(platform::CurrentRegistry()), scope_(faults) {}
    platform::FaultyRegistry faults;

private:
    platform::ScopedRegistry scope_;
};

}  // namespace wm::test
