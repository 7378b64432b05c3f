// A database file in the layout used before values kept their order, with the given rows.
#pragma once

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <memory>
#include <string>

namespace wm::platform {

// `rows`: INSERT statements for registry_keys and registry_values.
inline void WriteEarlierLayout(const std::string& file, const std::string& rows) {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    const std::unique_ptr<sqlite3, int (*)(sqlite3*)> db(raw, sqlite3_close);
    const std::string sql = R"sql(
        CREATE TABLE registry_keys(id INTEGER PRIMARY KEY AUTOINCREMENT,
            parent INTEGER REFERENCES registry_keys(id), name TEXT NOT NULL,
            folded BLOB NOT NULL);
        CREATE UNIQUE INDEX registry_keys_by_name ON registry_keys(parent, folded);
        CREATE TABLE registry_values(
            key INTEGER NOT NULL REFERENCES registry_keys(id) ON DELETE CASCADE,
            name TEXT NOT NULL, folded BLOB NOT NULL, type INTEGER NOT NULL,
            data BLOB NOT NULL, PRIMARY KEY(key, folded)) WITHOUT ROWID;
    )sql" + rows;
    ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK);
}

}  // namespace wm::platform
