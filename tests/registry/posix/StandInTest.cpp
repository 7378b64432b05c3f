// What only the stand-in has: its database file, several processes at once, its XDG folders.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>

#include "core/Exceptions.h"
#include "platform/KnownFolders.h"
#include "platform/posix/Registry.h"
#include "tests/registry/Scratch.h"
#include "tests/registry/posix/EarlierLayout.h"
#include "tests/registry/posix/WriteLock.h"

namespace wm::platform {
namespace {

namespace fs = std::filesystem;
constexpr auto kOk = RegistryStatus::Ok;

// Sets (or, with null, removes) a variable for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedVariable() { old_ ? setenv(name_, old_->c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::vector<String> ValueNames(Registry& registry, const RegistryKey& key) {
    std::vector<String> names;
    String name;
    for (uint32_t i = 0; registry.EnumValue(key, i, name) == kOk; ++i) names.push_back(name);
    return names;
}

class StandIn : public ::testing::Test {
protected:
    StandIn() {
        std::string pattern = (fs::temp_directory_path() / "waymarks-registry-XXXXXX").string();
        folder = mkdtemp(pattern.data());
    }
    ~StandIn() override { fs::remove_all(folder); }

    fs::path folder;
};

TEST_F(StandIn, EachRootIsATreeOfItsOwnThatCannotBeDeleted) {
    SqliteRegistry registry(":memory:");
    RegistryKey key;
    for (RegistryRoot root : AllRegistryRoots) {
        ASSERT_EQ(registry.CreateKey(root, u"Shared", key), kOk);
        ASSERT_EQ(registry.WriteValue(key, u"", RegistryType::Dword,
                                      std::span(reinterpret_cast<const uint8_t*>(&root), 4)),
                  kOk);
    }
    for (RegistryRoot root : AllRegistryRoots) {
        RegistryType type;
        std::vector<uint8_t> data;
        ASSERT_EQ(registry.OpenKey(root, u"shared", key), kOk);
        ASSERT_EQ(registry.ReadValue(key, u"", type, data), kOk);
        EXPECT_EQ(std::memcmp(data.data(), &root, 4), 0);
        ASSERT_EQ(registry.OpenKey(root, u"", key), kOk);
        EXPECT_EQ(registry.DeleteSubKey(key, u""), RegistryStatus::AccessDenied);
    }
    EXPECT_EQ(registry.OpenKey(static_cast<RegistryRoot>(0x80000007), u"", key),
              RegistryStatus::InvalidHandle);
}

TEST_F(StandIn, TheDatabaseIsNamedByTheEnvironment) {
    ScopedVariable home("HOME", "/home/someone"), chosen("FARHOST_REGISTRY", "/tmp/x.sqlite3");
    EXPECT_EQ(DefaultRegistryPath(), "/tmp/x.sqlite3");
    ScopedVariable unset("FARHOST_REGISTRY", nullptr);
    for (const char* data : {"/data/", "", "relative"}) {
        ScopedVariable variable("XDG_DATA_HOME", data);
        EXPECT_EQ(DefaultRegistryPath(),
                  *data == '/' ? "/data/farhost/registry.sqlite3"
                               : "/home/someone/.local/share/farhost/registry.sqlite3");
    }
    EXPECT_THROW(SqliteRegistry("/dev/null/registry.sqlite3"), Exception);
}

TEST_F(StandIn, ConnectionsToOneFileSeeEachOthersChanges) {
    const std::string file = (folder / "sub" / "registry.sqlite3").string();
    SqliteRegistry first(file), second(file);
    RegistryKey parent, key;
    ASSERT_EQ(first.CreateKey(RegistryRoot::CurrentUser, u"P\\a", key), kOk);
    ASSERT_EQ(first.CreateKey(RegistryRoot::CurrentUser, u"P\\c", key), kOk);
    ASSERT_EQ(second.OpenKey(RegistryRoot::CurrentUser, u"p", parent), kOk);
    String name;
    ASSERT_EQ(second.EnumSubKey(parent, 0, name), kOk);
    EXPECT_EQ(name, u"a");
    // A key the other connection adds meanwhile shifts the list: index 1 is "a" now.
    ASSERT_EQ(first.CreateKey(RegistryRoot::CurrentUser, u"P\\0", key), kOk);
    ASSERT_EQ(second.EnumSubKey(parent, 1, name), kOk);
    EXPECT_EQ(name, u"a");
    // A whole listing and a whole reading of values are never older than the last change.
    const auto listed = [&] {
        std::vector<String> names;
        EXPECT_EQ(second.ListSubKeys(parent,
                                     [&](StringView child) {
                                         names.emplace_back(child);
                                         return true;
                                     }),
                  kOk);
        return names;
    };
    EXPECT_EQ(listed(), (std::vector<String>{u"0", u"a", u"c"}));
    ASSERT_EQ(first.DeleteSubKey(key, u""), kOk);
    EXPECT_EQ(listed(), (std::vector<String>{u"a", u"c"}));
    std::vector<RegistryValue> values;
    ASSERT_EQ(second.ReadValues(parent, values), kOk);
    EXPECT_TRUE(values.empty());
    ASSERT_EQ(first.OpenKey(RegistryRoot::CurrentUser, u"P", key), kOk);
    ASSERT_EQ(first.WriteValue(key, u"v", RegistryType::Binary, std::vector<uint8_t>{5}), kOk);
    ASSERT_EQ(second.ReadValues(parent, values), kOk);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].data, std::vector<uint8_t>{5});
}

using test::WriteLock;

TEST_F(StandIn, AHeldWriteLockBlocksOnlyWritesAndOnlyForAMoment) {
    const std::string file = (folder / "registry.sqlite3").string();
    const std::vector<uint8_t> text{'a', 0};
    {
        SqliteRegistry made(file);
        RegistryKey key;
        ASSERT_EQ(made.CreateKey(RegistryRoot::CurrentUser, u"K", key), kOk);
        ASSERT_EQ(made.WriteValue(key, u"v", RegistryType::String, text), kOk);
    }
    {
        const WriteLock lock(file);
        // A database with its schema is opened by reading, so the open is not held up; reads go
        // on, and a write gives up after the busy time-out instead of waiting for the lock.
        SqliteRegistry registry(file);
        RegistryKey key;
        ASSERT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, u"K", key), kOk);
        RegistryType type{};
        std::vector<uint8_t> data;
        EXPECT_EQ(registry.ReadValue(key, u"v", type, data), kOk);
        EXPECT_NE(registry.WriteValue(key, u"w", RegistryType::String, text), kOk);
    }
    // A database still to be made cannot be made under the lock: a clear error, soon.
    const std::string fresh = (folder / "fresh.sqlite3").string();
    const WriteLock lock(fresh);
    try {
        SqliteRegistry registry(fresh);
        ADD_FAILURE() << "opened under another program's write lock";
    } catch (const Exception& error) {
        EXPECT_NE(error.Message().find(u"busy"), String::npos) << ToUtf8(error.Message());
    }
}

TEST_F(StandIn, ADatabaseThisProcessMayNotWriteStillServesReads) {
    const std::string file = (folder / "registry.sqlite3").string();
    {
        SqliteRegistry made(file);
        RegistryKey key;
        ASSERT_EQ(made.CreateKey(RegistryRoot::CurrentUser, u"K", key), kOk);
        ASSERT_EQ(made.WriteValue(key, u"v", RegistryType::String, std::vector<uint8_t>{'a', 0}),
                  kOk);
    }
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(file, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    // A child that may not write there: another user when this one may write anything.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (getuid() == 0 && setuid(65534) != 0) _exit(2);
        try {
            SqliteRegistry registry(file);
            RegistryKey key;
            RegistryType type{};
            std::vector<uint8_t> data;
            if (registry.OpenKey(RegistryRoot::CurrentUser, u"K", key) != kOk ||
                registry.ReadValue(key, u"v", type, data) != kOk || data.size() != 2) {
                _exit(3);
            }
            const bool refused = registry.WriteValue(key, u"w", RegistryType::String, data) != kOk;
            _exit(refused ? 0 : 4);
        } catch (...) {
            _exit(5);
        }
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(StandIn, SeveralProcessesCreateTheDatabaseAndWriteAtOnce) {
    const std::string file = (folder / "registry.sqlite3").string();
    constexpr uint32_t kKeys = 150;
    const auto writeKeys = [&](StringView prefix) {
        SqliteRegistry registry(file);
        RegistryKey key;
        for (uint32_t i = 0; i < kKeys; ++i) {
            const String path = u"Shared\\" + String(prefix) + FromUtf8(std::to_string(i));
            if (registry.CreateKey(RegistryRoot::CurrentUser, path, key) != kOk) return false;
        }
        return true;
    };
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) _exit(writeKeys(u"child") ? 0 : 1);
    EXPECT_TRUE(writeKeys(u"parent"));
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);

    SqliteRegistry registry(file);
    RegistryKey key;
    String name;
    ASSERT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, u"Shared", key), kOk);
    EXPECT_EQ(registry.EnumSubKey(key, 2 * kKeys - 1, name), kOk);
    EXPECT_EQ(registry.EnumSubKey(key, 2 * kKeys, name), RegistryStatus::NoMoreItems);
}

// As on Windows: a new value goes last, an overwritten one keeps its place.
TEST_F(StandIn, ValuesAreListedInTheOrderTheyWereMade) {
    SqliteRegistry registry(":memory:");
    RegistryKey key;
    ASSERT_EQ(registry.CreateKey(RegistryRoot::CurrentUser, u"k", key), kOk);
    const auto write = [&](StringView name) {
        return registry.WriteValue(key, name, RegistryType::Binary, std::vector<uint8_t>{1});
    };
    for (const char16_t* name : {u"b", u"C", u"a", u""}) ASSERT_EQ(write(name), kOk);
    ASSERT_EQ(write(u"B"), kOk);
    ASSERT_EQ(registry.DeleteValue(key, u"c"), kOk);
    ASSERT_EQ(write(u"c"), kOk);
    EXPECT_EQ(ValueNames(registry, key), (std::vector<String>{u"b", u"a", u"", u"c"}));
}

// A database of the layout before values kept their order and names could be blobs.
TEST_F(StandIn, AnEarlierDatabaseKeepsItsNamesAndValues) {
    const std::string file = (folder / "registry.sqlite3").string();
    WriteEarlierLayout(file, R"sql(
            INSERT INTO registry_keys VALUES(2, NULL, 'HKEY_CURRENT_USER', x''),
                (8, 2, 'Ölé', x'00D6004C00C9');
            INSERT INTO registry_values VALUES(8, 'zeta', x'005A004500540041', 3, x'01'),
                (8, 'Été', x'00C9005400C9', 3, x'02');
    )sql");
    if (HasFatalFailure()) return;
    SqliteRegistry registry(file);
    RegistryKey root, key;
    ASSERT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, u"", root), kOk);
    String name;
    ASSERT_EQ(registry.EnumSubKey(root, 0, name), kOk);
    EXPECT_EQ(name, u"Ölé");
    ASSERT_EQ(registry.OpenKey(RegistryRoot::CurrentUser, u"öLÉ", key), kOk);
    RegistryType type;
    std::vector<uint8_t> data;
    ASSERT_EQ(registry.ReadValue(key, u"été", type, data), kOk);
    EXPECT_EQ(data, std::vector<uint8_t>{2});
    ASSERT_EQ(registry.WriteValue(key, u"new", RegistryType::Binary, data), kOk);
    ASSERT_EQ(registry.WriteValue(key, u"ZETA", RegistryType::Binary, data), kOk);
    EXPECT_EQ(ValueNames(registry, key), (std::vector<String>{u"zeta", u"Été", u"new"}));
}

TEST_F(StandIn, KnownFoldersFollowTheHomeAndTheXdgUserDirectories) {
    std::ofstream(folder / "user-dirs.dirs") << "# comment\n"
                                                "XDG_DESKTOP_DIR=\"$HOME/Schreibtisch\"\n"
                                                "XDG_DOCUMENTS_DIR=\"/srv/docs/\"\n"
                                                "XDG_VIDEOS_DIR=\"relative\"\n"
                                                "  XDG_PICTURES_DIR=\"$HOME/My \\\"Pics\\\"\"\n";
    ScopedVariable home("HOME", "/home/u/"), config("XDG_CONFIG_HOME", folder.c_str()),
        data("XDG_DATA_HOME", nullptr), cache("XDG_CACHE_HOME", "/var/cache/u");
    const struct {
        int folder;
        String expected;
    } cases[] = {
        {40, u"/home/u"},
        {0, u"/home/u/Schreibtisch"},
        {16, u"/home/u/Schreibtisch"},
        {5, u"/srv/docs"},
        {14, u"/home/u"},
        {39, u"/home/u/My \"Pics\""},
        {21, u"/home/u"},
        {26, FromUtf8(folder.string())},
        {28, u"/home/u/.local/share"},
        {32, u"/var/cache/u"},
        {36, u""},
    };
    for (const auto& c : cases) EXPECT_EQ(KnownFolderPath(c.folder), c.expected) << c.folder;
    ScopedVariable noConfig("XDG_CONFIG_HOME", "/nonexistent");
    EXPECT_EQ(KnownFolderPath(0), u"/home/u/Desktop");
    EXPECT_EQ(KnownFolderPath(5), u"/home/u");
}

}  // namespace
}  // namespace wm::platform
