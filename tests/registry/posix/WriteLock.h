// Another connection holding a registry database's write lock, as another process would.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

namespace wm::test {

class WriteLock {
public:
    explicit WriteLock(const std::string& file) {
        EXPECT_EQ(sqlite3_open(file.c_str(), &db_), SQLITE_OK);
        EXPECT_EQ(sqlite3_exec(db_, "PRAGMA journal_mode=WAL; BEGIN EXCLUSIVE;", nullptr, nullptr,
                               nullptr),
                  SQLITE_OK);
    }
    ~WriteLock() {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    sqlite3* db_ = nullptr;
};

}  // namespace wm::test
