// The store over the registry stand-in's database file, as several processes share it: a
// process killed in the middle of its stores leaves every entry whole (old or new, never part of
// each; the Windows registry writes value by value and cannot promise this), and a write lock
// another process holds makes a store fail soon with a message that says so.
#ifndef _WIN32
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/posix/Registry.h"
#include "plugin/uFunctions.h"
#include "plugin/uOptions.h"
#include "tests/registry/posix/WriteLock.h"
#include "tests/settings/SettingsFixture.h"

namespace wm::test {
namespace {

namespace fs = std::filesystem;

// Entry `index` as written in round `round`: every value tells the same round.
TWaymarkInfo Entry(int index, int round) {
    const String tag = FromUtf8(std::to_string(round));
    TWaymarkInfo info;
    info.SetName(u"g" + FromUtf8(std::to_string(index % 4)) + u"/w" +
                 FromUtf8(std::to_string(index)));
    info.Directory = u"/d/" + tag;
    info.Description = tag;
    info.Param = tag;
    info.HostFile = tag;
    return info;
}

class StandInStore : public SettingsTest {
protected:
    StandInStore() { fs::create_directories(folder); }
    ~StandInStore() override { fs::remove_all(folder); }

    const fs::path folder = fs::temp_directory_path() / ("wm-store-" + std::to_string(::getpid()));
    const std::string file = (folder / "registry.sqlite3").string();
};

TEST_F(StandInStore, AKilledProcessLeavesEveryEntryWhole) {
    for (int run = 0; run < 6; ++run) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Stores until it is killed; it never returns into the test program.
            try {
                platform::SqliteRegistry registry(file);
                const platform::ScopedRegistry scope(registry);
                for (int round = 1;; ++round) {
                    for (int index = 0; index < 20; ++index) {
                        TOptions options;
                        TWaymarkInfo group;
                        group.SetName(u"g" + FromUtf8(std::to_string(index % 4)));
                        group.SetIsGroup(true);
                        options.WriteEntry(group);
                        options.WriteEntry(Entry(index, round));
                    }
                }
            } catch (...) {
            }
            ::_exit(1);
        }
        // The kill lands after the child's first store, however slow its start (a sanitizer
        // build on a loaded machine), and then at a different moment each run.
        const auto started = std::chrono::steady_clock::now();
        while (std::chrono::steady_clock::now() - started < std::chrono::seconds(10)) {
            platform::SqliteRegistry registry(file);
            const platform::ScopedRegistry scope(registry);
            const auto stored = TOptions().EnumEntryNames();
            if (stored && !stored->empty()) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(40 + 37 * run));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);

        platform::SqliteRegistry registry(file);
        const platform::ScopedRegistry scope(registry);
        TOptions options;
        const auto names = options.EnumEntryNames();
        ASSERT_TRUE(names.has_value());
        EXPECT_FALSE(names->empty()) << "the child stored nothing before it was killed";
        for (const String& name : *names) {
            SCOPED_TRACE(ToUtf8(name));
            const auto entry = options.ReadEntry(name);
            ASSERT_NE(entry, nullptr);
            if (name.find(u'/') == String::npos) {
                EXPECT_TRUE(entry->IsGroup());
                continue;
            }
            EXPECT_FALSE(entry->IsGroup());
            EXPECT_EQ(entry->Directory, u"/d/" + entry->Description);
            EXPECT_EQ(entry->Param, entry->Description);
            EXPECT_EQ(entry->HostFile, entry->Description);
        }
    }
}

TEST_F(StandInStore, AHeldWriteLockMakesAStoreFailSoonSayingSo) {
    platform::SqliteRegistry registry(file);
    const platform::ScopedRegistry scope(registry);
    ASSERT_TRUE(TOptions().WriteEntry(Entry(1, 1)));
    const WriteLock lock(file);
    TOptions options;
    // Reading goes on under the lock.
    ASSERT_NE(options.ReadEntry(Entry(1, 1).Name), nullptr);
    try {
        options.WriteEntry(Entry(1, 2));
        ADD_FAILURE() << "stored under another program's write lock";
    } catch (const EWaymarkError& error) {
        EXPECT_EQ(error.Message(), u"Message 56");
    }
}

}  // namespace
}  // namespace wm::test
#endif
