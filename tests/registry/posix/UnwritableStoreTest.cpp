// The stand-in's file where it cannot be written: a read-only folder, a full disk, a WAL left by
// a process that was killed.
#include <gtest/gtest.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

#include "core/Exceptions.h"
#include "platform/posix/Registry.h"
#include "tests/registry/Scratch.h"
#include "tests/registry/posix/EarlierLayout.h"

namespace wm::platform {
namespace {

namespace fs = std::filesystem;
constexpr auto kOk = RegistryStatus::Ok;
constexpr auto kHkcu = RegistryRoot::CurrentUser;

String KeyPath(int index) {
    return u"W\\k" + FromUtf8(std::to_string(index));
}

// Keys W\k<from>... below HKCU, each with its number as the value "n".
bool StoreKeys(Registry& registry, int from, int count) {
    RegistryKey key;
    for (int i = from; i < from + count; ++i) {
        if (registry.CreateKey(kHkcu, KeyPath(i), key) != kOk ||
            registry.WriteValue(key, u"n", RegistryType::Dword,
                                std::span(reinterpret_cast<const uint8_t*>(&i), 4)) != kOk) {
            return false;
        }
    }
    return true;
}

// How many keys StoreKeys left, or -1 when they cannot be listed.
int CountKeys(Registry& registry) {
    RegistryKey parent;
    int listed = 0;
    const auto count = [&](StringView) {
        ++listed;
        return true;
    };
    if (registry.OpenKey(kHkcu, u"W", parent) != kOk ||
        registry.ListSubKeys(parent, count) != kOk) {
        return -1;
    }
    return listed;
}

// What a reader finds of StoreKeys' keys 0..count-1: empty when it finds them all.
std::string CheckKeys(Registry& registry, int count) {
    if (const int listed = CountKeys(registry); listed != count) {
        return std::to_string(listed) + " keys listed of " + std::to_string(count);
    }
    RegistryKey key;
    RegistryType type{};
    std::vector<uint8_t> data;
    const int last = count - 1;
    if (registry.OpenKey(kHkcu, KeyPath(last), key) != kOk ||
        registry.ReadValue(key, u"n", type, data) != kOk || data.size() != 4 ||
        std::memcmp(data.data(), &last, 4) != 0) {
        return "the last key's value cannot be read";
    }
    return {};
}

// Runs `body` in a child process; what it reported, or how the child ended when it did not.
std::string InChild(const std::function<std::string()>& body) {
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0) return "no pipe";
    const pid_t child = fork();
    if (child < 0) return "no child";
    if (child == 0) {
        close(pipeEnds[0]);
        std::string report;
        try {
            report = body();
        } catch (const Exception& error) {
            report = "threw: " + ToUtf8(error.Message());
        } catch (...) {
            report = "threw";
        }
        if (write(pipeEnds[1], report.data(), report.size()) < 0) _exit(1);
        _exit(0);
    }
    close(pipeEnds[1]);
    std::string report;
    char buffer[256];
    for (ssize_t n; (n = read(pipeEnds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    if (WIFSIGNALED(status)) return "ended by signal " + std::to_string(WTERMSIG(status));
    return report;
}

// Stores keys from..from+count-1 in a process killed once they are committed: they stay in the
// WAL, never copied into the database file.
void StoreThenGetKilled(const std::string& file, int from, int count) {
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        try {
            SqliteRegistry registry(file);
            const char stored = StoreKeys(registry, from, count) ? 'y' : 'n';
            if (write(pipeEnds[1], &stored, 1) == 1) pause();
        } catch (...) {
        }
        _exit(1);
    }
    close(pipeEnds[1]);
    char stored = 0;
    ASSERT_EQ(read(pipeEnds[0], &stored, 1), 1);
    close(pipeEnds[0]);
    kill(child, SIGKILL);
    waitpid(child, nullptr, 0);
    ASSERT_EQ(stored, 'y');
    ASSERT_GT(fs::file_size(file + "-wal"), 32u) << "no commits were left in the WAL";
}

class UnwritableStore : public ::testing::Test {
protected:
    UnwritableStore() {
        std::string pattern = (fs::temp_directory_path() / "waymarks-registry-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        temporary = folder / "tmp";
        // Open to the other user that plays the reader below.
        fs::permissions(folder, fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
        fs::create_directory(temporary);
        fs::permissions(temporary, fs::perms::all);
    }
    ~UnwritableStore() override { fs::remove_all(folder); }

    // Runs `body` in a process that may read `profile` but not write it: another user where this
    // one may write anything, else this one with the write permissions taken away. Its temporary
    // folder is `temporary`.
    std::string AsReaderOnly(const fs::path& profile, const std::function<std::string()>& body) {
        const bool root = getuid() == 0;
        const auto writes =
            fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
        if (!root) {
            for (const auto& entry : fs::directory_iterator(profile)) {
                fs::permissions(entry.path(), writes, fs::perm_options::remove);
            }
            fs::permissions(profile, writes, fs::perm_options::remove);
        }
        const std::string report = InChild([&] {
            if (root && setuid(65534) != 0) return std::string("cannot become another user");
            setenv("TMPDIR", temporary.c_str(), 1);
            return body();
        });
        if (!root) fs::permissions(profile, fs::perms::owner_write, fs::perm_options::add);
        return report;
    }

    fs::path folder;
    fs::path temporary;
};

TEST_F(UnwritableStore, CommitsThatAKilledWriterLeftInTheWalAreRead) {
    const struct {
        const char* left;
        bool readOnly;
        bool indexKept;
    } cases[] = {
        {"a folder the reader may write", false, true},
        {"a read-only folder, with the WAL and its index", true, true},
        {"a read-only folder, with the WAL alone", true, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.left);
        const fs::path profile = folder / ("profile" + std::to_string(n++));
        fs::create_directory(profile);
        const std::string file = (profile / "registry.sqlite3").string();
        {
            SqliteRegistry registry(file);
            ASSERT_TRUE(StoreKeys(registry, 0, 5));
        }
        ASSERT_NO_FATAL_FAILURE(StoreThenGetKilled(file, 5, 40));
        if (!c.indexKept) fs::remove(file + "-shm");
        const auto readBack = [&] {
            SqliteRegistry registry(file);
            if (std::string missing = CheckKeys(registry, 45); !missing.empty()) return missing;
            // The keys are there to open, and only to open.
            RegistryKey key;
            if (registry.CreateKey(kHkcu, KeyPath(44), key) != kOk) return std::string("no key");
            const auto written = registry.WriteValue(key, u"m", RegistryType::Dword,
                                                     std::vector<uint8_t>{1, 0, 0, 0});
            if (written != (c.readOnly ? RegistryStatus::AccessDenied : kOk)) {
                return "a write answered " + std::to_string(static_cast<int>(written));
            }
            // A private copy read in memory leaves nothing behind.
            return fs::is_empty(temporary) ? std::string() : "a copy was left behind";
        };
        EXPECT_EQ(c.readOnly ? AsReaderOnly(profile, readBack) : InChild(readBack), "");
    }
}

TEST_F(UnwritableStore, AReaderThatMayNotWriteSeesALiveWritersCommitsAsTheyAreMade) {
    const fs::path profile = folder / "profile";
    fs::create_directory(profile);
    const std::string file = (profile / "registry.sqlite3").string();
    // The writer stores, says so on `done`, waits for a byte on `next`, stores more and says so.
    int done[2], next[2];
    ASSERT_EQ(pipe(done), 0);
    ASSERT_EQ(pipe(next), 0);
    const pid_t writer = fork();
    ASSERT_GE(writer, 0);
    if (writer == 0) {
        try {
            SqliteRegistry registry(file);
            char byte = 0;
            if (StoreKeys(registry, 0, 5) && write(done[1], "a", 1) == 1 &&
                read(next[0], &byte, 1) == 1 && StoreKeys(registry, 5, 5) &&
                write(done[1], "b", 1) == 1) {
                pause();
            }
        } catch (...) {
        }
        _exit(1);
    }
    // Only the writer holds `done` open for writing: a reader waiting on it learns of its end.
    close(done[1]);
    close(next[0]);
    const auto follow = [&] {
        SqliteRegistry registry(file);
        const std::string before = CheckKeys(registry, 5);
        char byte = 0;
        if (!before.empty() || write(next[1], "n", 1) != 1 || read(done[0], &byte, 1) != 1) {
            return "before: " + before;
        }
        return CheckKeys(registry, 10);
    };
    char byte = 0;
    const bool started = read(done[0], &byte, 1) == 1;
    EXPECT_EQ(started ? AsReaderOnly(profile, follow) : "the writer failed", "");
    kill(writer, SIGKILL);
    waitpid(writer, nullptr, 0);
    close(done[0]);
    close(next[1]);
}

// A file of the layout before values kept their order is read in the current one.
TEST_F(UnwritableStore, AnEarlierLayoutIsReadInTheCurrentOne) {
    const fs::path profile = folder / "profile";
    fs::create_directory(profile);
    const std::string file = (profile / "registry.sqlite3").string();
    WriteEarlierLayout(file, R"sql(
            INSERT INTO registry_keys VALUES(2, NULL, 'HKEY_CURRENT_USER', x''),
                (8, 2, 'K', x'004B');
            INSERT INTO registry_values VALUES(8, 'b', x'0042', 3, x'02'),
                (8, 'a', x'0041', 3, x'01');
    )sql");
    if (HasFatalFailure()) return;
    EXPECT_EQ(AsReaderOnly(profile,
                           [&] {
                               SqliteRegistry registry(file);
                               RegistryKey key;
                               std::vector<RegistryValue> values;
                               if (registry.OpenKey(kHkcu, u"k", key) != kOk ||
                                   registry.ReadValues(key, values) != kOk || values.size() != 2 ||
                                   values[0].name != u"a" ||
                                   values[1].data != std::vector<uint8_t>{2}) {
                                   return "the values cannot be read in order";
                               }
                               return "";
                           }),
              "");
}

// Reads through a mapping of the file end the process with SIGBUS where the file system cannot
// supply a page. Only the WAL index may be mapped: SQLite writes each of its pages before.
TEST_F(UnwritableStore, TheDatabaseFileIsNeverMappedIntoMemory) {
    const std::string file = (fs::canonical(folder) / "registry.sqlite3").string();
    SqliteRegistry registry(file);
    ASSERT_TRUE(StoreKeys(registry, 0, 50));
    ASSERT_EQ(CheckKeys(registry, 50), "");
    std::ifstream maps("/proc/self/maps");
    for (std::string line; std::getline(maps, line);) {
        EXPECT_FALSE(line.ends_with(" " + file)) << line;
    }
}

// Mounts a tmpfs of `size` at `at` in a mount namespace of this process's own, so that it goes
// with the process; an ordinary user makes one in a user namespace. Empty, or why it cannot.
std::string MountSmallFileSystem(const fs::path& at, const std::string& size) {
    const uid_t uid = getuid();
    const gid_t gid = getgid();
    const auto failed = [](const char* what) { return what + std::string(": ") + strerror(errno); };
    if (unshare(uid == 0 ? CLONE_NEWNS : CLONE_NEWUSER | CLONE_NEWNS) != 0) {
        return failed("no mount namespace");
    }
    if (uid != 0) {
        std::ofstream("/proc/self/setgroups") << "deny";
        std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
        std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
    }
    if (mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return failed("no private mounts");
    }
    fs::create_directory(at);
    if (mount("tmpfs", at.c_str(), "tmpfs", 0, ("size=" + size).c_str()) != 0) {
        return failed("no tmpfs");
    }
    return {};
}

// Runs `body` in a child process that has a tmpfs of `size` at `at`; skipped where none can be
// mounted.
void OnSmallFileSystem(const fs::path& at, const std::string& size,
                       const std::function<void()>& body) {
    const std::string report = InChild([&] {
        if (std::string why = MountSmallFileSystem(at, size); !why.empty()) return "skip: " + why;
        body();
        return ::testing::Test::HasFailure() ? std::string("failed, as reported above") : "";
    });
    if (report.starts_with("skip: ")) {
        GTEST_SKIP() << "a size-limited file system cannot be mounted here (" << report.substr(6)
                     << ")";
    }
    EXPECT_EQ(report, "");
}

// Takes up every free byte of the file system at `at` with one file.
void Fill(const fs::path& at) {
    std::ofstream filler(at / "filler", std::ios::binary);
    const std::string block(4096, 'x');
    while (filler.write(block.data(), block.size()) && filler.flush()) {
    }
    ASSERT_EQ(fs::space(at).available, 0u);
}

TEST_F(UnwritableStore, AFullDiskStillServesReadsAndSaysWhyWritesFail) {
    const fs::path disk = folder / "disk";
    const std::string file = (disk / "registry.sqlite3").string();
    OnSmallFileSystem(disk, "1m", [&] {
        {
            SqliteRegistry registry(file);
            ASSERT_TRUE(StoreKeys(registry, 0, 20));
        }
        ASSERT_NO_FATAL_FAILURE(Fill(disk));
        SqliteRegistry registry(file);
        EXPECT_EQ(CheckKeys(registry, 20), "");
        RegistryKey key;
        EXPECT_EQ(registry.CreateKey(kHkcu, KeyPath(3), key), kOk);
        EXPECT_EQ(registry.WriteValue(key, u"n", RegistryType::Dword, std::vector<uint8_t>(4)),
                  RegistryStatus::DiskFull);
        EXPECT_EQ(registry.CreateKey(kHkcu, KeyPath(20), key), RegistryStatus::DiskFull);
        EXPECT_EQ(registry.BeginWriteGroup(), RegistryStatus::DiskFull);
        // Once there is room again, the same registry writes.
        fs::remove(disk / "filler");
        EXPECT_TRUE(StoreKeys(registry, 20, 1));
        EXPECT_EQ(CheckKeys(registry, 21), "");
        SqliteRegistry again(file);
        EXPECT_EQ(CheckKeys(again, 21), "");
    });
}

TEST_F(UnwritableStore, StoringUntilTheDiskIsFullEndsInAStatusNotASignal) {
    const fs::path disk = folder / "disk";
    OnSmallFileSystem(disk, "6m", [&] {
        SqliteRegistry registry((disk / "registry.sqlite3").string());
        RegistryKey key;
        const std::vector<uint8_t> data(3000, 'x');
        int stored = 0;
        for (RegistryStatus status = kOk; status != RegistryStatus::DiskFull; ++stored) {
            ASSERT_LT(stored, 100000) << "the disk never filled up";
            status = registry.CreateKey(kHkcu, KeyPath(stored), key);
            if (status == kOk) status = registry.WriteValue(key, u"n", RegistryType::Binary, data);
            if (status != RegistryStatus::DiskFull) {
                ASSERT_EQ(status, kOk);
            }
        }
        // Everything stored before the disk filled up is still there to read.
        EXPECT_GE(CountKeys(registry), stored - 1);
    });
}

}  // namespace
}  // namespace wm::platform
