// The registry: keys below seven roots, each with named, typed values and subkeys. Windows uses
// the real one (advapi32); elsewhere an SQLite database stands in for it with the same rules.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "core/String.h"

namespace wm::platform {

enum class RegistryRoot : uint32_t {
    ClassesRoot = 0x80000000,
    CurrentUser = 0x80000001,
    LocalMachine = 0x80000002,
    Users = 0x80000003,
    PerformanceData = 0x80000004,
    CurrentConfig = 0x80000005,
    DynData = 0x80000006,
};
constexpr RegistryRoot AllRegistryRoots[] = {
    RegistryRoot::ClassesRoot, RegistryRoot::CurrentUser,     RegistryRoot::LocalMachine,
    RegistryRoot::Users,       RegistryRoot::PerformanceData, RegistryRoot::CurrentConfig,
    RegistryRoot::DynData,
};

// Value types; a value may carry any other number as well.
enum class RegistryType : uint32_t {
    None = 0,
    String = 1,
    ExpandString = 2,
    Binary = 3,
    Dword = 4,
    MultiString = 7,
    Qword = 11,
};

// The Windows error code of a call; any code not named here may come back too.
enum class [[nodiscard]] RegistryStatus : int32_t{
    Ok = 0,
    FileNotFound = 2,
    AccessDenied = 5,
    InvalidHandle = 6,
    NotEnoughMemory = 8,
    DiskFull = 112,
    InvalidParameter = 87,
    BadPathName = 161,
    Busy = 170,
    MoreData = 234,
    NoMoreItems = 259,
    RegistryCorrupt = 1015,
    RegistryIoFailed = 1016,
    KeyDeleted = 1018,
    NotSupported = 50,
};

// Access rights for OpenKeyWithAccess.
constexpr uint32_t KeyQueryValue = 0x0001;
constexpr uint32_t KeySetValue = 0x0002;
constexpr uint32_t KeyCreateSubKey = 0x0004;
constexpr uint32_t KeyEnumerateSubKeys = 0x0008;
constexpr uint32_t KeyNotify = 0x0010;
constexpr uint32_t StandardRightsRead = 0x00020000;
constexpr uint32_t KeyRead = 0x00020019;
constexpr uint32_t KeyWrite = 0x00020006;
constexpr uint32_t KeyAllAccess = 0x000F003F;

// The longest key name component, in UTF-16 code units.
constexpr size_t MaxKeyNameLength = 255;

class Registry;

// One value with its name, type and data.
struct RegistryValue {
    String name;
    RegistryType type = RegistryType::None;
    std::vector<uint8_t> data;
};

// Owner of one open key: closes it on destruction. Made only by a Registry, which must outlive
// every key it hands out.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    bool IsOpen() const { return owner_ != nullptr; }
    void Close() noexcept;

    // For the registry implementations only.
    RegistryKey(Registry& owner, uintptr_t handle) : owner_(&owner), handle_(handle) {}
    Registry* Owner() const { return owner_; }
    uintptr_t Handle() const { return handle_; }

private:
    Registry* owner_ = nullptr;
    uintptr_t handle_ = 0;
};

// Paths are relative to a root, with "\" between components; a component may hold "/". Names
// compare without regard to case and keep the case they were created with. The empty value name
// is the key's default value. Every call answers with the Windows error code.
class Registry {
public:
    virtual ~Registry() = default;

    // An existing key, with every right the caller may have (RegOpenKeyW).
    virtual RegistryStatus OpenKey(RegistryRoot root, StringView path, RegistryKey& key) = 0;
    // An existing key with the given rights (RegOpenKeyExW).
    virtual RegistryStatus OpenKeyWithAccess(RegistryRoot root, StringView path, uint32_t access,
                                             RegistryKey& key) = 0;
    // An existing key at `path` below an open one, with every right the caller may have
    // (RegOpenKeyW on that key): a walk down a tree need not follow it from the root each time.
    // `parent` and `key` are different objects.
    virtual RegistryStatus OpenSubKey(const RegistryKey& parent, StringView path,
                                      RegistryKey& key) = 0;
    // Opens the key, creating it and every missing key above it first (RegCreateKeyW).
    virtual RegistryStatus CreateKey(RegistryRoot root, StringView path, RegistryKey& key) = 0;

    // The type and byte size of a value, without its data.
    virtual RegistryStatus QueryValue(const RegistryKey& key, StringView name, RegistryType& type,
                                      uint32_t& size) = 0;
    // The type and the data of a value, exactly as stored.
    virtual RegistryStatus ReadValue(const RegistryKey& key, StringView name, RegistryType& type,
                                     std::vector<uint8_t>& data) = 0;
    // Stores exactly these bytes (string types get no terminating null added).
    virtual RegistryStatus WriteValue(const RegistryKey& key, StringView name, RegistryType type,
                                      std::span<const uint8_t> data) = 0;
    virtual RegistryStatus DeleteValue(const RegistryKey& key, StringView name) = 0;
    // Deletes the subkey at `path` below the key, refused while it has subkeys of its own
    // (RegDeleteKeyW). The empty path names the key itself.
    virtual RegistryStatus DeleteSubKey(const RegistryKey& key, StringView path) = 0;
    // The name of the subkey at `index`; NoMoreItems past the last one (RegEnumKeyExW).
    virtual RegistryStatus EnumSubKey(const RegistryKey& key, uint32_t index, String& name) = 0;
    // The name of the value at `index`; NoMoreItems past the last one (RegEnumValueW). The
    // order is the registry's own.
    virtual RegistryStatus EnumValue(const RegistryKey& key, uint32_t index, String& name) = 0;

    // Every subkey name in EnumSubKey's order, from one consistent reading where the registry
    // can give one; `visit` answers false to stop early. `visit` must not call the registry.
    // Stops at the first refusal, after visiting the names read before it.
    virtual RegistryStatus ListSubKeys(const RegistryKey& key,
                                       const std::function<bool(StringView)>& visit);
    // Every value of the key with its type and data, in EnumValue's order.
    virtual RegistryStatus ReadValues(const RegistryKey& key, std::vector<RegistryValue>& values);
    // Every subkey whose name starts with `prefix` (compared without regard to case), with all
    // its values, in ListSubKeys' order and from one consistent reading where the registry can
    // give one; `visit` may take the values, answers false to stop early and must not call the
    // registry. A subkey deleted while they are read is left out.
    using SubKeyVisitor = std::function<bool(StringView name, std::vector<RegistryValue>& values)>;
    virtual RegistryStatus ReadSubKeys(const RegistryKey& key, StringView prefix,
                                       const SubKeyVisitor& visit);
    // The key's own name (the last component of its path) as it was created.
    // A number that changes whenever the contents may have changed (a write through this object,
    // another process's commit), so that what was read may be kept while it stays the same.
    // None where that cannot be told.
    virtual std::optional<uint64_t> ChangeStamp() { return std::nullopt; }

    virtual RegistryStatus KeyName(const RegistryKey& /*key*/, String& /*name*/) {
        return RegistryStatus::NotSupported;
    }

    // The writes between these two calls (on this thread) become one change, made whole by
    // EndWriteGroup(true) or not at all by EndWriteGroup(false) or an interrupted process, where
    // the registry can do that. The Windows registry cannot: there the writes stay one by one.
    virtual RegistryStatus BeginWriteGroup() { return RegistryStatus::NotSupported; }
    virtual RegistryStatus EndWriteGroup(bool /*commit*/) { return RegistryStatus::Ok; }

protected:
    friend class RegistryKey;
    virtual void CloseKey(uintptr_t handle) noexcept = 0;
};

// A write group for the life of the object; left without Commit, its writes are undone.
class RegistryWriteGroup {
public:
    explicit RegistryWriteGroup(Registry& registry)
        : registry_(registry),
          status_(registry.BeginWriteGroup()),
          open_(status_ == RegistryStatus::Ok) {}
    ~RegistryWriteGroup() {
        // Undoing cannot fail in a way the caller could still mend.
        if (open_) static_cast<void>(registry_.EndWriteGroup(false));
    }
    RegistryWriteGroup(const RegistryWriteGroup&) = delete;
    RegistryWriteGroup& operator=(const RegistryWriteGroup&) = delete;

    bool Started() const { return open_; }
    // How the start went: NotSupported where the registry writes value by value.
    RegistryStatus StartStatus() const { return status_; }
    RegistryStatus Commit() {
        if (!open_) return RegistryStatus::AccessDenied;
        open_ = false;
        return registry_.EndWriteGroup(true);
    }

private:
    Registry& registry_;
    RegistryStatus status_;
    bool open_;
};

// Value data as UTF-16 text of (byte count / 2) characters, an odd last byte dropped, every
// null character kept.
String RegistryText(std::span<const uint8_t> data);

// The registry this process uses: the one set by the innermost live ScopedRegistry, else the
// system's (Windows: the real registry; elsewhere the stand-in database named by
// $FARHOST_REGISTRY, by default $XDG_DATA_HOME/farhost/registry.sqlite3, opened on first use;
// throws Exception when it cannot be opened).
Registry& CurrentRegistry();

// Makes `registry` the current one while it lives.
class ScopedRegistry {
public:
    explicit ScopedRegistry(Registry& registry);
    ~ScopedRegistry();
    ScopedRegistry(const ScopedRegistry&) = delete;
    ScopedRegistry& operator=(const ScopedRegistry&) = delete;

private:
    Registry* previous_;
};

// The system's registry, made once by CurrentRegistry; defined by each platform.
std::unique_ptr<Registry> OpenSystemRegistry();

}  // namespace wm::platform
