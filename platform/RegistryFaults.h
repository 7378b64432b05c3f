// A registry that passes every call on to another one, records it, and makes chosen calls fail:
// for tests of the paths a refusing registry takes.
#pragma once

#include <functional>
#include <vector>

#include "platform/Registry.h"

namespace wm::platform {

enum class RegistryCall {
    OpenKey,
    OpenKeyWithAccess,
    OpenSubKey,
    CreateKey,
    QueryValue,
    ReadValue,
    WriteValue,
    DeleteValue,
    DeleteSubKey,
    EnumSubKey,
    EnumValue,
    KeyName,
};

// One call as it was asked for.
struct RegistryCallInfo {
    RegistryCall call;
    RegistryRoot root = RegistryRoot::CurrentUser;  // the opening calls
    String name{};                                  // key path, value name or subkey path
    uint32_t access = 0;                            // OpenKeyWithAccess
    RegistryType type = RegistryType::None;         // WriteValue
    uint32_t index = 0;                             // EnumSubKey
};

class FaultyRegistry final : public Registry {
public:
    using Match = std::function<bool(const RegistryCallInfo&)>;

    explicit FaultyRegistry(Registry& inner) : inner_(inner) {}

    // From now on, calls for which `match` holds fail with `status` and do not reach the inner
    // registry. The first matching rule decides.
    void FailWhen(Match match, RegistryStatus status = RegistryStatus::AccessDenied);
    void Fail(RegistryCall call, RegistryStatus status = RegistryStatus::AccessDenied);
    void ClearFaults() { faults_.clear(); }

    const std::vector<RegistryCallInfo>& Calls() const { return calls_; }
    size_t CallCount(RegistryCall call) const;
    void ClearCalls() { calls_.clear(); }

    RegistryStatus OpenKey(RegistryRoot root, StringView path, RegistryKey& key) override;
    RegistryStatus OpenKeyWithAccess(RegistryRoot root, StringView path, uint32_t access,
                                     RegistryKey& key) override;
    RegistryStatus OpenSubKey(const RegistryKey& parent, StringView path,
                              RegistryKey& key) override;
    RegistryStatus CreateKey(RegistryRoot root, StringView path, RegistryKey& key) override;
    RegistryStatus QueryValue(const RegistryKey& key, StringView name, RegistryType& type,
                              uint32_t& size) override;
    RegistryStatus ReadValue(const RegistryKey& key, StringView name, RegistryType& type,
                             std::vector<uint8_t>& data) override;
    RegistryStatus WriteValue(const RegistryKey& key, StringView name, RegistryType type,
                              std::span<const uint8_t> data) override;
    RegistryStatus DeleteValue(const RegistryKey& key, StringView name) override;
    RegistryStatus DeleteSubKey(const RegistryKey& key, StringView path) override;
    RegistryStatus EnumSubKey(const RegistryKey& key, uint32_t index, String& name) override;
    RegistryStatus EnumValue(const RegistryKey& key, uint32_t index, String& name) override;
    // ListSubKeys and ReadValues stay the base class's, made of the calls above, so that each
    // name and value can be refused on its own.
    RegistryStatus KeyName(const RegistryKey& key, String& name) override;
    // Groups pass through unrecorded, so a failed write inside one is undone by the inner one;
    // refused, every write stands on its own, as in the Windows registry.
    void RefuseWriteGroups(bool refuse) { refuseGroups_ = refuse; }
    RegistryStatus BeginWriteGroup() override {
        return refuseGroups_ ? RegistryStatus::NotSupported : inner_.BeginWriteGroup();
    }
    RegistryStatus EndWriteGroup(bool commit) override { return inner_.EndWriteGroup(commit); }

protected:
    // Keys come from the inner registry, which closes them.
    void CloseKey(uintptr_t /*handle*/) noexcept override {}

private:
    struct Fault {
        Match match;
        RegistryStatus status;
    };

    // Records the call; the status to fail it with, or Ok to pass it on.
    RegistryStatus Intercept(RegistryCallInfo info);

    Registry& inner_;
    std::vector<Fault> faults_;
    std::vector<RegistryCallInfo> calls_;
    bool refuseGroups_ = false;
};

}  // namespace wm::platform
