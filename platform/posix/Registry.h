// The registry stand-in: the keys and values of the seven roots in one SQLite database, shared
// safely by every process that opens the same file.
#pragma once

#include <array>
#include <memory>
#include <mutex>
#include <string>

#include "platform/Registry.h"

namespace wm::platform {

class SqliteRegistry final : public Registry {
public:
    // A database file (created when missing, with its folder), or ":memory:" for a private
    // registry that lives as long as this object. A file that can be read but not written (a
    // read-only folder, a full disk) serves reads, and its writes are refused with AccessDenied
    // or DiskFull until it can be written again. Throws Exception when it cannot be read.
    explicit SqliteRegistry(const std::string& path);
    ~SqliteRegistry() override;

    RegistryStatus OpenKey(RegistryRoot root, StringView path, RegistryKey& key) override;
    RegistryStatus OpenSubKey(const RegistryKey& parent, StringView path,
                              RegistryKey& key) override;
    RegistryStatus OpenKeyWithAccess(RegistryRoot root, StringView path, uint32_t access,
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
    RegistryStatus ListSubKeys(const RegistryKey& key,
                               const std::function<bool(StringView)>& visit) override;
    RegistryStatus ReadValues(const RegistryKey& key, std::vector<RegistryValue>& values) override;
    RegistryStatus ReadSubKeys(const RegistryKey& key, StringView prefix,
                               const SubKeyVisitor& visit) override;
    RegistryStatus KeyName(const RegistryKey& key, String& name) override;
    std::optional<uint64_t> ChangeStamp() override;
    RegistryStatus BeginWriteGroup() override;
    RegistryStatus EndWriteGroup(bool commit) override;

protected:
    void CloseKey(uintptr_t handle) noexcept override;

private:
    struct Database;
    struct KeyState;

    KeyState* State(const RegistryKey& key) const;
    RegistryStatus Open(RegistryRoot root, StringView path, uint32_t access, bool create,
                        RegistryKey& key);

    // Ok when the connection may write; else it is made afresh, in case the file has become
    // writable since, and the answer is why it still cannot be written.
    RegistryStatus Writable();

    std::mutex mutex_;
    // A write group is open; GroupLost: SQLite ended its transaction after an error.
    bool grouped_ = false;
    bool GroupLost() const;
    const std::string path_;
    std::unique_ptr<Database> db_;
    // The database's version when ChangeStamp last looked, and the stamp it gave.
    std::array<int64_t, 3> stampedVersion_{};
    uint64_t stamp_ = 0;
};

// The file UseRegistryFile chose; else $FARHOST_REGISTRY when set, else farhost/registry.sqlite3
// below $XDG_DATA_HOME (by default ~/.local/share).
std::string DefaultRegistryPath();

// Makes OpenSystemRegistry use this file, whatever the environment says; for a host that keeps
// its users' settings in a place of its own. Call it before the registry is first used.
void UseRegistryFile(const std::string& path);

}  // namespace wm::platform
