#include "platform/posix/Registry.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <thread>

#include "core/Exceptions.h"
#include "platform/CharCase.h"
#include "platform/Environment.h"
#include "platform/KnownFolders.h"

namespace wm::platform {
namespace {

constexpr int kLocalAppData = 28;  // the shell's folder number for $XDG_DATA_HOME
// How long one statement waits for another process's write lock, and how long opening the
// database may take in all: the host's main thread is never held longer.
constexpr int kBusyTimeoutMs = 2000;
constexpr int kOpenWaitMs = 3000;
constexpr int kRetryPauseMs = 10;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS registry_keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER REFERENCES registry_keys(id),
    name TEXT NOT NULL,
    folded BLOB NOT NULL);
CREATE UNIQUE INDEX IF NOT EXISTS registry_keys_by_name ON registry_keys(parent, folded);
CREATE INDEX IF NOT EXISTS registry_keys_listing ON registry_keys(parent, folded, name);
CREATE TABLE IF NOT EXISTS registry_values(
    key INTEGER NOT NULL REFERENCES registry_keys(id) ON DELETE CASCADE,
    name TEXT NOT NULL,
    folded BLOB NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    ordinal INTEGER NOT NULL DEFAULT 0,
    PRIMARY KEY(key, folded)) WITHOUT ROWID;
INSERT OR IGNORE INTO registry_keys(id, parent, name, folded) VALUES
    (1, NULL, 'HKEY_CLASSES_ROOT', x''), (2, NULL, 'HKEY_CURRENT_USER', x''),
    (3, NULL, 'HKEY_LOCAL_MACHINE', x''), (4, NULL, 'HKEY_USERS', x''),
    (5, NULL, 'HKEY_PERFORMANCE_DATA', x''), (6, NULL, 'HKEY_CURRENT_CONFIG', x''),
    (7, NULL, 'HKEY_DYN_DATA', x'');
)sql";
// Values are listed in the order they were created, by `ordinal` within their key. A database
// made before that column gets it with 0 for every value it holds: those keep their name order,
// ahead of every value made later.
constexpr const char* kValueOrderColumn =
    "ALTER TABLE registry_values ADD COLUMN ordinal INTEGER NOT NULL DEFAULT 0;";
constexpr const char* kValueOrderIndex =
    "CREATE INDEX IF NOT EXISTS registry_values_in_order ON registry_values(key, ordinal);";
// Reads through a mapping of the file would end the process with SIGBUS where the file system
// cannot supply a page (a full tmpfs, a file cut short): every page is read with read().
constexpr const char* kPragmas =
    "PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON; PRAGMA cache_size=-16384;"
    " PRAGMA mmap_size=0;";
constexpr int64_t kLastRootId = 7;
// The layout made below; files made before it was counted say 0.
constexpr int kSchemaVersion = 2;

struct DatabaseCloser {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using DatabaseHandle = std::unique_ptr<sqlite3, DatabaseCloser>;

// How a connection uses the file: shared, reading and writing; reading it as it changes; or
// reading a copy in memory.
enum class Access { Write, Read, Snapshot };

// A statement prepared on its first use, so that opening the database compiles only what runs.
class StatementHandle {
public:
    StatementHandle() = default;
    StatementHandle(sqlite3* db, const char* sql) : db_(db), sql_(sql) {}

    sqlite3* Db() const { return db_; }
    // The prepared statement, or null with Error() when SQLite refused it.
    sqlite3_stmt* Get() const {
        if (!statement_ && error_ == SQLITE_OK) {
            sqlite3_stmt* statement = nullptr;
            error_ =
                sqlite3_prepare_v3(db_, sql_, -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
            statement_.reset(statement);
        }
        return statement_.get();
    }
    int Error() const { return error_; }

private:
    sqlite3* db_ = nullptr;
    const char* sql_ = nullptr;
    mutable std::unique_ptr<sqlite3_stmt, StatementFinalizer> statement_;
    mutable int error_ = SQLITE_OK;
};

// UTF-16 code units, each mapped by `map`, most significant byte first, so that the blob order is
// the order of the code units.
template <typename Map>
std::vector<uint8_t> CodeUnitBytes(StringView text, Map map) {
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (char16_t c : text) {
        const char16_t mapped = map(c);
        bytes.push_back(static_cast<uint8_t>(mapped >> 8));
        bytes.push_back(static_cast<uint8_t>(mapped & 0xFF));
    }
    return bytes;
}

bool HasUnpairedSurrogate(StringView text) {
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (c < 0xD800 || c > 0xDFFF) continue;
        if (c > 0xDBFF || i + 1 == text.size() || text[i + 1] < 0xDC00 || text[i + 1] > 0xDFFF) {
            return true;
        }
        ++i;
    }
    return false;
}

// One run of a prepared statement: binds parameters in order and resets the statement on the way
// out, so that a cached statement never stays busy.
class Query {
public:
    explicit Query(const StatementHandle& statement)
        : statement_(statement.Get()), error_(statement.Error()) {}
    ~Query() {
        if (statement_ == nullptr) return;
        sqlite3_reset(statement_);
        sqlite3_clear_bindings(statement_);
    }
    Query(const Query&) = delete;
    Query& operator=(const Query&) = delete;

    Query& Bind(int64_t value) {
        sqlite3_bind_int64(statement_, next_++, value);
        return *this;
    }
    Query& Bind(const std::string& text) {
        sqlite3_bind_text(statement_, next_++, text.data(), static_cast<int>(text.size()),
                          SQLITE_TRANSIENT);
        return *this;
    }
    Query& Bind(std::span<const uint8_t> blob) {
        // A null pointer would bind NULL instead of an empty blob.
        static const uint8_t empty = 0;
        sqlite3_bind_blob(statement_, next_++, blob.empty() ? &empty : blob.data(),
                          static_cast<int>(blob.size()), SQLITE_TRANSIENT);
        return *this;
    }

    // A key or value name goes as UTF-8 text, or, when UTF-8 cannot carry it (an unpaired
    // surrogate), as a blob of its code units, so that every name reads back as it was made.
    Query& BindName(StringView name) {
        if (HasUnpairedSurrogate(name))
            return Bind(CodeUnitBytes(name, [](char16_t c) { return c; }));
        return Bind(ToUtf8(name));
    }

    // A statement SQLite would not prepare answers why; binding to it does nothing.
    int Step() { return statement_ ? sqlite3_step(statement_) : error_; }
    int64_t Integer(int column) const { return sqlite3_column_int64(statement_, column); }
    sqlite3_stmt* Statement() const { return statement_; }
    std::span<const uint8_t> Blob(int column) const {
        const auto* data = static_cast<const uint8_t*>(sqlite3_column_blob(statement_, column));
        return {data, static_cast<size_t>(sqlite3_column_bytes(statement_, column))};
    }
    std::string_view Text(int column) const {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
        return {text ? text : "", static_cast<size_t>(sqlite3_column_bytes(statement_, column))};
    }

    String Name(int column) const {
        String name;
        ReadName(column, name);
        return name;
    }
    // The same into `name`, whose storage is reused.
    void ReadName(int column, String& name) const {
        if (sqlite3_column_type(statement_, column) != SQLITE_BLOB) {
            FromUtf8(Text(column), name);
            return;
        }
        const auto bytes = Blob(column);
        name.resize(bytes.size() / 2);
        for (size_t i = 0; i < name.size(); ++i) {
            name[i] = static_cast<char16_t>(bytes[2 * i] << 8 | bytes[2 * i + 1]);
        }
    }

private:
    sqlite3_stmt* statement_;
    int error_;
    int next_ = 1;
};

// A name as the database compares it: its upper-cased code units.
std::vector<uint8_t> Fold(StringView name) {
    return CodeUnitBytes(name, UpperCaseChar);
}

// The API takes null-terminated names: anything after a null character is not seen.
StringView UpToNull(StringView text) {
    return text.substr(0, text.find(u'\0'));
}

// The components of a key path as the registry reads it: "\" separates, empty components are
// skipped, a leading "\" is refused and so is a component longer than a key name may be.
RegistryStatus SplitPath(StringView path, std::vector<StringView>& components) {
    path = UpToNull(path);
    if (!path.empty() && path.front() == u'\\') return RegistryStatus::BadPathName;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find(u'\\', start);
        if (end == StringView::npos) end = path.size();
        if (end - start > MaxKeyNameLength) return RegistryStatus::InvalidParameter;
        if (end > start) components.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return RegistryStatus::Ok;
}

uint32_t EffectiveAccess(uint32_t access) {
    constexpr uint32_t kGenericRead = 0x80000000, kGenericWrite = 0x40000000;
    constexpr uint32_t kGenericAll = 0x10000000, kMaximumAllowed = 0x02000000;
    if (access & (kGenericAll | kMaximumAllowed)) access |= KeyAllAccess;
    if (access & kGenericRead) access |= KeyRead;
    if (access & kGenericWrite) access |= KeyWrite;
    return access;
}

RegistryStatus FromSqlite(int code) {
    if (code == SQLITE_OK || code == SQLITE_DONE || code == SQLITE_ROW) return RegistryStatus::Ok;
    if (code == SQLITE_CONSTRAINT_FOREIGNKEY) return RegistryStatus::KeyDeleted;
    const int primary = code & 0xFF;
    if (primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB)
        return RegistryStatus::RegistryCorrupt;
    if (primary == SQLITE_NOMEM) return RegistryStatus::NotEnoughMemory;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return RegistryStatus::Busy;
    if (primary == SQLITE_READONLY) return RegistryStatus::AccessDenied;
    if (primary == SQLITE_FULL) return RegistryStatus::DiskFull;
    return RegistryStatus::RegistryIoFailed;
}

}  // namespace

// The connection and its prepared statements.
struct SqliteRegistry::Database {
    Database(DatabaseHandle handle, Access mode, int64_t earlier)
        : db(std::move(handle)), access(mode), generation(earlier) {
        begin = Prepare("BEGIN IMMEDIATE");
        beginRead = Prepare("BEGIN");
        commit = Prepare("COMMIT");
        rollback = Prepare("ROLLBACK");
        dataVersion = Prepare("PRAGMA data_version");
        findChild = Prepare("SELECT id FROM registry_keys WHERE parent = ?1 AND folded = ?2");
        insertKey = Prepare("INSERT INTO registry_keys(parent, name, folded) VALUES(?1, ?2, ?3)");
        keyExists = Prepare("SELECT 1 FROM registry_keys WHERE id = ?1");
        hasChildren = Prepare("SELECT 1 FROM registry_keys WHERE parent = ?1 LIMIT 1");
        deleteKey = Prepare("DELETE FROM registry_keys WHERE id = ?1");
        queryValue = Prepare(
            "SELECT type, length(data) FROM registry_values WHERE key = ?1 AND folded = ?2");
        readValue =
            Prepare("SELECT type, data FROM registry_values WHERE key = ?1 AND folded = ?2");
        writeValue = Prepare(
            "INSERT INTO registry_values(key, folded, name, type, data, ordinal) "
            "VALUES(?1, ?2, ?3, ?4, ?5, "
            "(SELECT coalesce(max(ordinal), 0) + 1 FROM registry_values WHERE key = ?1)) "
            "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
        deleteValue = Prepare("DELETE FROM registry_values WHERE key = ?1 AND folded = ?2");
        firstChild = Prepare(
            "SELECT name, folded FROM registry_keys WHERE parent = ?1 ORDER BY folded LIMIT 1");
        nextChild = Prepare(
            "SELECT name, folded FROM registry_keys WHERE parent = ?1 AND folded > ?2 "
            "ORDER BY folded LIMIT 1");
        valueAt = Prepare(
            "SELECT name FROM registry_values WHERE key = ?1 ORDER BY ordinal, folded "
            "LIMIT 1 OFFSET ?2");
        children = Prepare("SELECT name FROM registry_keys WHERE parent = ?1 ORDER BY folded");
        keyName = Prepare("SELECT name FROM registry_keys WHERE id = ?1");
        values = Prepare(
            "SELECT name, type, data FROM registry_values WHERE key = ?1 ORDER BY ordinal, folded");
        // The keys in listing order from the covering index, each with its values as the table
        // holds them (by name); asking for the values' own order would cost a lookup a value, so
        // the caller sorts them.
        subKeysWithValues = Prepare(
            "SELECT k.id, k.name, v.name, v.type, v.data, v.ordinal "
            "FROM registry_keys k LEFT JOIN registry_values v ON v.key = k.id "
            "WHERE k.parent = ?1 AND substr(k.folded, 1, length(?2)) = ?2 ORDER BY k.folded");
        childAt = Prepare(
            "SELECT name, folded FROM registry_keys WHERE parent = ?1 ORDER BY folded "
            "LIMIT 1 OFFSET ?2");
    }

    DatabaseHandle db;
    const Access access;
    // How many connections the registry had before this one.
    const int64_t generation;
    StatementHandle begin, beginRead, commit, rollback, dataVersion;
    StatementHandle findChild, insertKey, keyExists, hasChildren, deleteKey;
    StatementHandle queryValue, readValue, writeValue, deleteValue;
    StatementHandle firstChild, nextChild, childAt, children, keyName;
    StatementHandle valueAt, values, subKeysWithValues;

    StatementHandle Prepare(const char* sql) { return StatementHandle(db.get(), sql); }

    bool KeyExists(int64_t id) {
        Query query(keyExists);
        return Found(query.Bind(id).Step());
    }

    std::optional<int64_t> FindChild(int64_t parent, StringView name) {
        Query query(findChild);
        if (!Found(query.Bind(parent).Bind(Fold(name)).Step())) return std::nullopt;
        return query.Integer(0);
    }

    // Whether a lookup's step found a row; a step that failed is kept for Missing.
    bool Found(int code) {
        failure = code == SQLITE_ROW || code == SQLITE_DONE ? SQLITE_OK : code;
        return code == SQLITE_ROW;
    }
    // What the last lookup answers when it found nothing: FileNotFound, or why it could not
    // look (a damaged file, no memory) when its step failed.
    RegistryStatus Missing() const {
        return failure == SQLITE_OK ? RegistryStatus::FileNotFound : FromSqlite(failure);
    }
    int failure = SQLITE_OK;

    // The version the database is at: this connection, other connections' commits and this
    // one's changes.
    std::array<int64_t, 3> Version() {
        Query query(dataVersion);
        const int64_t others = query.Step() == SQLITE_ROW ? query.Integer(0) : -1;
        return {generation, others, sqlite3_total_changes64(db.get())};
    }
};

// The state behind one open key: the key, the rights it was opened with and where the last
// enumeration stopped, so that enumerating index after index costs the same for every index.
struct SqliteRegistry::KeyState {
    int64_t id;
    uint32_t access;
    bool hasCursor = false;
    uint32_t cursorIndex = 0;
    std::vector<uint8_t> cursorFolded{};
    std::array<int64_t, 3> cursorVersion{};
};

namespace {

// One read transaction for the statements in its scope, so that they see one state of the
// database and lock it once; nothing when a transaction is open already.
class ReadScope {
public:
    ReadScope(const StatementHandle& begin, const StatementHandle& commit) : commit_(commit) {
        if (sqlite3_get_autocommit(begin.Db())) {
            open_ = Query(begin).Step() == SQLITE_DONE;
        }
    }
    ~ReadScope() {
        if (open_) Query(commit_).Step();
    }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

private:
    const StatementHandle& commit_;
    bool open_ = false;
};

// BEGIN IMMEDIATE until Commit; rolled back when left without. Inside a write group, which
// already holds the transaction, it does nothing: the group decides.
class Transaction {
public:
    explicit Transaction(const StatementHandle& begin, const StatementHandle& commit,
                         const StatementHandle& rollback)
        : commit_(commit), rollback_(rollback) {
        if (!sqlite3_get_autocommit(begin.Db())) {
            status_ = RegistryStatus::Ok;
            open_ = false;
            inGroup_ = true;
            return;
        }
        Query query(begin);
        status_ = FromSqlite(query.Step());
        open_ = status_ == RegistryStatus::Ok;
    }
    ~Transaction() {
        if (open_) Query(rollback_).Step();
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    RegistryStatus Status() const { return status_; }
    RegistryStatus Commit() {
        if (inGroup_) return RegistryStatus::Ok;
        Query query(commit_);
        const RegistryStatus status = FromSqlite(query.Step());
        if (status == RegistryStatus::Ok) open_ = false;
        return status;
    }

private:
    const StatementHandle& commit_;
    const StatementHandle& rollback_;
    bool inGroup_ = false;
    RegistryStatus status_;
    bool open_ = false;
};

// A connection made ready for use, or why it could not be.
struct Connection {
    DatabaseHandle db;
    int code = SQLITE_OK;
    int systemError = 0;   // errno of the failure, where a system call failed
    std::string reason;    // SQLite's words for the failure
    bool current = false;  // the schema is this version's
    Access access = Access::Write;
};

// Runs `sql`; SQLITE_OK or the error, with SQLite's words for it in `reason`.
int Run(sqlite3* db, const char* sql, std::string& reason, sqlite3_callback onRow = nullptr,
        void* context = nullptr) {
    char* message = nullptr;
    const int result = sqlite3_exec(db, sql, onRow, context, &message);
    reason = message ? message : "";
    sqlite3_free(message);
    return result;
}

// The first column of the statement's first row, as a number.
int Number(sqlite3* db, const char* sql, std::string& reason, int& value) {
    value = 0;
    return Run(
        db, sql, reason,
        [](void* found, int, char** values, char**) {
            *static_cast<int*>(found) = values[0] ? std::atoi(values[0]) : 0;
            return 0;
        },
        &value);
}

// Makes the schema, or brings an earlier layout up to date, in one transaction.
int SetUp(sqlite3* db, std::string& reason) {
    int result = Run(db, (std::string("BEGIN IMMEDIATE;") + kSchema).c_str(), reason);
    int ordered = 0;
    if (result == SQLITE_OK) {
        result = Number(db,
                        "SELECT count(*) FROM pragma_table_info('registry_values') "
                        "WHERE name = 'ordinal'",
                        reason, ordered);
    }
    if (result == SQLITE_OK && ordered == 0) result = Run(db, kValueOrderColumn, reason);
    if (result == SQLITE_OK) result = Run(db, kValueOrderIndex, reason);
    if (result == SQLITE_OK) {
        result =
            Run(db, ("PRAGMA user_version = " + std::to_string(kSchemaVersion)).c_str(), reason);
    }
    if (result == SQLITE_OK) result = Run(db, "COMMIT;", reason);
    if (result != SQLITE_OK && !sqlite3_get_autocommit(db)) {
        sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    }
    return result;
}

// Readies an open connection: WAL when `wal` asks for it, the pragmas, and the schema, made or
// brought up to date where the connection may write. A database that has the whole schema is
// only read, so that another process's write lock does not hold the open up.
void Ready(Connection& c, bool wal) {
    sqlite3* db = c.db.get();
    sqlite3_extended_result_codes(db, 1);
    // Processes that make a new database at the same moment may find it locked in ways the busy
    // handler does not wait for (switching it to WAL): those attempts are repeated, all of them
    // within one bounded wait.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kOpenWaitMs);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        sqlite3_busy_timeout(db, static_cast<int>(std::max<int64_t>(left.count(), 1)));
        int result = wal ? Run(db, "PRAGMA journal_mode=WAL;", c.reason) : SQLITE_OK;
        // A file this connection may not write refuses the switch; it may still be read.
        if ((result & 0xFF) == SQLITE_READONLY) result = SQLITE_OK;
        if (result == SQLITE_OK) result = Run(db, kPragmas, c.reason);
        int version = 0;
        if (result == SQLITE_OK) result = Number(db, "PRAGMA user_version", c.reason, version);
        c.current = result == SQLITE_OK && version == kSchemaVersion;
        if (c.current || (result == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1)) break;
        if (result == SQLITE_OK) result = SetUp(db, c.reason);
        c.current = result == SQLITE_OK;
        if (c.current) break;
        const int primary = result & 0xFF;
        const bool locked = primary == SQLITE_BUSY || primary == SQLITE_LOCKED;
        if (!locked || std::chrono::steady_clock::now() >= deadline) {
            if (locked) c.reason = "it is busy: another program has held it for writing too long";
            c.code = result;
            c.systemError = sqlite3_system_errno(db);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(kRetryPauseMs));
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
}

// A connection to `name`, a file's URI or ":memory:", made ready.
Connection Connect(const std::string& name, int flags, bool wal) {
    Connection c;
    sqlite3* raw = nullptr;
    // Every use of the connection holds the registry's mutex: SQLite need not lock once more.
    c.code =
        sqlite3_open_v2(name.c_str(), &raw, flags | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    c.db.reset(raw);
    if (c.code == SQLITE_OK) {
        Ready(c, wal);
    } else {
        c.reason = raw ? sqlite3_errmsg(raw) : sqlite3_errstr(c.code);
        c.systemError = raw ? sqlite3_system_errno(raw) : 0;
    }
    return c;
}

// The URI of a database file, with `parameters` ("?name=value&...").
std::string FileUri(const std::string& path, const char* parameters = "") {
    // An empty authority, so that a path starting with "//" is no host name.
    std::string uri = path.starts_with('/') ? "file://" : "file:";
    for (const char c : path) {
        if (c == '%' || c == '?' || c == '#') {
            static constexpr char kHex[] = "0123456789ABCDEF";
            uri += {'%', kHex[(c >> 4) & 0xF], kHex[c & 0xF]};
        } else {
            uri += c;
        }
    }
    return uri + parameters;
}

// The connection every process shares: it reads and writes the file where it may, and makes or
// updates the schema. WAL lets readers and one writer of several processes work at once; a
// private in-memory database keeps its own journal.
Connection ConnectShared(const std::string& path) {
    constexpr int kFlags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (path == ":memory:") return Connect(path, kFlags, false);
    Connection c = Connect(FileUri(path), kFlags, true);
    if (c.code == SQLITE_OK && sqlite3_db_readonly(c.db.get(), "main") == 1)
        c.access = Access::Read;
    return c;
}

// A copy of the whole database `source` in a new in-memory connection that only reads: what was
// committed when it was taken, in the current layout.
Connection Snapshot(sqlite3* source) {
    Connection c;
    c.access = Access::Snapshot;
    sqlite3* raw = nullptr;
    c.code =
        sqlite3_open_v2(":memory:", &raw,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr);
    c.db.reset(raw);
    if (c.code != SQLITE_OK) {
        c.reason = sqlite3_errstr(c.code);
        return c;
    }
    // An in-memory database takes a copy only in its own page size.
    int pageSize = 0;
    c.code = Number(source, "PRAGMA page_size", c.reason, pageSize);
    if (c.code == SQLITE_OK) {
        c.code = Run(raw, ("PRAGMA page_size = " + std::to_string(pageSize)).c_str(), c.reason);
    }
    if (c.code == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(raw, "main", source, "main");
        if (backup != nullptr) sqlite3_backup_step(backup, -1);
        c.code = backup != nullptr ? sqlite3_backup_finish(backup) : sqlite3_extended_errcode(raw);
        if (c.code != SQLITE_OK) c.reason = sqlite3_errmsg(raw);
    }
    if (c.code == SQLITE_OK) Ready(c, false);
    // A write would change the copy alone.
    if (c.code == SQLITE_OK) c.code = Run(raw, "PRAGMA query_only = ON;", c.reason);
    return c;
}

// The database and its WAL copied to a new folder of this process's own, removed with the object.
class PrivateCopy {
public:
    PrivateCopy(const std::string& path, std::string& reason) {
        namespace fs = std::filesystem;
        std::error_code error;
        std::string folder = (fs::temp_directory_path(error) / "waymarks-registry-XXXXXX").string();
        if (error || mkdtemp(folder.data()) == nullptr) {
            reason = "there is no temporary folder to read a copy of it in";
            return;
        }
        folder_ = folder;
        const std::string copy = (folder_ / "registry.sqlite3").string();
        if (!fs::copy_file(path + "-wal", copy + "-wal", error) ||
            !fs::copy_file(path, copy, error)) {
            reason = "a copy of it could not be made to read it: " + error.message();
            return;
        }
        file_ = copy;
    }
    ~PrivateCopy() {
        std::error_code ignored;
        if (!folder_.empty()) std::filesystem::remove_all(folder_, ignored);
    }
    PrivateCopy(const PrivateCopy&) = delete;
    PrivateCopy& operator=(const PrivateCopy&) = delete;

    // The copy of the database, or empty when none could be made.
    const std::string& File() const { return file_; }

private:
    std::filesystem::path folder_;
    std::string file_;
};

// Failures that opening the file for reading alone may get round: not a lock, a damaged file or
// a lack of memory.
bool ReadingMayHelp(int code) {
    const int primary = code & 0xFF;
    return primary != SQLITE_BUSY && primary != SQLITE_LOCKED && primary != SQLITE_CORRUPT &&
           primary != SQLITE_NOTADB && primary != SQLITE_NOMEM;
}

// Whether the WAL beside a database holds anything beyond its header.
bool HoldsCommits(const std::string& path) {
    constexpr uintmax_t kWalHeaderSize = 32;
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path + "-wal", error);
    return !error && size > kWalHeaderSize;
}

// Every commit of a file the shared connection could not use (a read-only folder, a full disk),
// read without writing anything beside it.
Connection ConnectForReading(const std::string& path) {
    // SQLite's own read-only opening reads the WAL index of the processes that use the file, as
    // it changes, and never makes or grows one.
    Connection live =
        Connect(FileUri(path, "?mode=ro&readonly_shm=1"), SQLITE_OPEN_READONLY, false);
    live.access = Access::Read;
    if (live.code == SQLITE_OK) return live.current ? std::move(live) : Snapshot(live.db.get());
    if (!ReadingMayHelp(live.code)) return live;
    // No WAL index is left and none can be made here, so no process writes the file through one.
    // Without commits in the WAL the file holds them all and is read in place; with them, SQLite
    // recovers them in a private copy.
    if (!HoldsCommits(path)) {
        Connection file =
            Connect(FileUri(path, "?mode=ro&immutable=1"), SQLITE_OPEN_READONLY, false);
        file.access = Access::Read;
        if (file.code != SQLITE_OK || file.current) return file;
        return Snapshot(file.db.get());
    }
    Connection failed;
    const PrivateCopy copy(path, failed.reason);
    if (copy.File().empty()) {
        failed.code = SQLITE_CANTOPEN;
        return failed;
    }
    Connection recovered =
        Connect(FileUri(copy.File()), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, false);
    return recovered.code == SQLITE_OK ? Snapshot(recovered.db.get()) : std::move(recovered);
}

// The connection a registry file is used through: shared where the file can be written, else the
// best reading of it.
Connection ConnectStore(const std::string& path) {
    Connection shared = ConnectShared(path);
    if (shared.code == SQLITE_OK && shared.current) return shared;
    // An earlier layout that this connection may not bring up to date.
    if (shared.code == SQLITE_OK) return Snapshot(shared.db.get());
    std::error_code error;
    if (!ReadingMayHelp(shared.code) || !std::filesystem::exists(path, error)) return shared;
    return ConnectForReading(path);
}

// A connection on which every statement fails: for a file that could be read no longer.
Connection Unreadable() {
    Connection c;
    c.access = Access::Snapshot;
    sqlite3* raw = nullptr;
    sqlite3_open_v2(":memory:", &raw, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    c.db.reset(raw);
    return c;
}

// Why a file cannot be written, from the shared connection that could not write it.
RegistryStatus WriteRefusal(const Connection& shared) {
    if (shared.code == SQLITE_OK) return RegistryStatus::AccessDenied;
    const int primary = shared.code & 0xFF;
    if (primary == SQLITE_FULL || shared.systemError == ENOSPC || shared.systemError == EDQUOT) {
        return RegistryStatus::DiskFull;
    }
    if (primary == SQLITE_CANTOPEN || primary == SQLITE_READONLY || primary == SQLITE_PERM ||
        shared.systemError == EROFS || shared.systemError == EACCES ||
        shared.systemError == EPERM) {
        return RegistryStatus::AccessDenied;
    }
    return FromSqlite(shared.code);
}

}  // namespace

SqliteRegistry::SqliteRegistry(const std::string& path) : path_(path) {
    if (path != ":memory:") {
        std::error_code ignored;
        const auto folder = std::filesystem::path(path).parent_path();
        if (!folder.empty()) std::filesystem::create_directories(folder, ignored);
    }
    Connection c = ConnectStore(path);
    if (c.code != SQLITE_OK) {
        throw Exception(u"Cannot open the registry database " + FromUtf8(path) + u": " +
                        FromUtf8(c.reason));
    }
    db_ = std::make_unique<Database>(std::move(c.db), c.access, 0);
}

SqliteRegistry::~SqliteRegistry() = default;

RegistryStatus SqliteRegistry::Writable() {
    if (db_->access == Access::Write) return RegistryStatus::Ok;
    const int64_t generation = db_->generation + 1;
    // A process's connections to one file share its WAL index: one opened for reading alone
    // would keep the new one from writing, so it goes first. A copy in memory holds none.
    if (db_->access == Access::Read) db_.reset();
    Connection shared = ConnectShared(path_);
    if (shared.code == SQLITE_OK && shared.current && shared.access == Access::Write) {
        db_ = std::make_unique<Database>(std::move(shared.db), Access::Write, generation);
        return RegistryStatus::Ok;
    }
    const RegistryStatus refusal = WriteRefusal(shared);
    if (!db_) {
        Connection reading = shared.code == SQLITE_OK && shared.current ? std::move(shared)
                                                                        : ConnectForReading(path_);
        if (reading.code != SQLITE_OK) reading = Unreadable();
        db_ = std::make_unique<Database>(std::move(reading.db), reading.access, generation);
    }
    return refusal;
}

SqliteRegistry::KeyState* SqliteRegistry::State(const RegistryKey& key) const {
    return key.Owner() == this ? reinterpret_cast<KeyState*>(key.Handle()) : nullptr;
}

void SqliteRegistry::CloseKey(uintptr_t handle) noexcept {
    delete reinterpret_cast<KeyState*>(handle);
}

RegistryStatus SqliteRegistry::Open(RegistryRoot root, StringView path, uint32_t access,
                                    bool create, RegistryKey& key) {
    key.Close();
    const auto rootIndex =
        static_cast<uint32_t>(root) - static_cast<uint32_t>(RegistryRoot::ClassesRoot);
    if (rootIndex >= std::size(AllRegistryRoots)) return RegistryStatus::InvalidHandle;
    std::vector<StringView> components;
    if (const auto status = SplitPath(path, components); status != RegistryStatus::Ok) {
        return status;
    }

    const std::lock_guard lock(mutex_);
    // Follows the path as far as it exists; true when it reached the end.
    int64_t id = 0;
    size_t found = 0;
    const auto walk = [&](Database& d) {
        id = rootIndex + 1;
        for (found = 0; found < components.size(); ++found) {
            const auto child = d.FindChild(id, components[found]);
            if (!child) return false;
            id = *child;
        }
        return true;
    };
    bool reached = false;
    {
        const ReadScope read(db_->beginRead, db_->commit);
        reached = walk(*db_);
    }
    if (!reached) {
        if (!create) return db_->Missing();
        if (GroupLost()) return RegistryStatus::RegistryIoFailed;
        if (const auto status = Writable(); status != RegistryStatus::Ok) return status;
        Database& d = *db_;
        // Looked for again inside the write transaction: another process may have made it.
        Transaction transaction(d.begin, d.commit, d.rollback);
        if (transaction.Status() != RegistryStatus::Ok) return transaction.Status();
        for (walk(d); found < components.size(); ++found) {
            Query insert(d.insertKey);
            const StringView component = components[found];
            const int code = insert.Bind(id).BindName(component).Bind(Fold(component)).Step();
            if (code != SQLITE_DONE) return FromSqlite(code);
            id = sqlite3_last_insert_rowid(d.db.get());
        }
        if (const auto status = transaction.Commit(); status != RegistryStatus::Ok) return status;
    }
    auto state = std::make_unique<KeyState>(KeyState{id, EffectiveAccess(access)});
    key = RegistryKey(*this, reinterpret_cast<uintptr_t>(state.release()));
    return RegistryStatus::Ok;
}

RegistryStatus SqliteRegistry::OpenSubKey(const RegistryKey& parent, StringView path,
                                          RegistryKey& key) {
    const KeyState* state = State(parent);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    std::vector<StringView> components;
    if (const auto status = SplitPath(path, components); status != RegistryStatus::Ok) {
        return status;
    }
    int64_t id = state->id;
    const uint32_t access = state->access;
    {
        const std::lock_guard lock(mutex_);
        const ReadScope read(db_->beginRead, db_->commit);
        if (!db_->KeyExists(id)) return RegistryStatus::KeyDeleted;
        for (const StringView component : components) {
            const auto child = db_->FindChild(id, component);
            if (!child) return db_->Missing();
            id = *child;
        }
    }
    key.Close();
    auto opened = std::make_unique<KeyState>(KeyState{id, access});
    key = RegistryKey(*this, reinterpret_cast<uintptr_t>(opened.release()));
    return RegistryStatus::Ok;
}

RegistryStatus SqliteRegistry::OpenKey(RegistryRoot root, StringView path, RegistryKey& key) {
    return Open(root, path, KeyAllAccess, false, key);
}

RegistryStatus SqliteRegistry::OpenKeyWithAccess(RegistryRoot root, StringView path,
                                                 uint32_t access, RegistryKey& key) {
    return Open(root, path, access, false, key);
}

RegistryStatus SqliteRegistry::CreateKey(RegistryRoot root, StringView path, RegistryKey& key) {
    return Open(root, path, KeyAllAccess, true, key);
}

RegistryStatus SqliteRegistry::QueryValue(const RegistryKey& key, StringView name,
                                          RegistryType& type, uint32_t& size) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyQueryValue)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Query query(db_->queryValue);
    if (!db_->Found(query.Bind(state->id).Bind(Fold(UpToNull(name))).Step())) {
        if (db_->Missing() != RegistryStatus::FileNotFound) return db_->Missing();
        return db_->KeyExists(state->id) ? RegistryStatus::FileNotFound
                                         : RegistryStatus::KeyDeleted;
    }
    type = static_cast<RegistryType>(query.Integer(0));
    size = static_cast<uint32_t>(query.Integer(1));
    return RegistryStatus::Ok;
}

RegistryStatus SqliteRegistry::ReadValue(const RegistryKey& key, StringView name,
                                         RegistryType& type, std::vector<uint8_t>& data) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyQueryValue)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Query query(db_->readValue);
    if (!db_->Found(query.Bind(state->id).Bind(Fold(UpToNull(name))).Step())) {
        if (db_->Missing() != RegistryStatus::FileNotFound) return db_->Missing();
        return db_->KeyExists(state->id) ? RegistryStatus::FileNotFound
                                         : RegistryStatus::KeyDeleted;
    }
    type = static_cast<RegistryType>(query.Integer(0));
    const auto blob = query.Blob(1);
    data.assign(blob.begin(), blob.end());
    return RegistryStatus::Ok;
}

RegistryStatus SqliteRegistry::WriteValue(const RegistryKey& key, StringView name,
                                          RegistryType type, std::span<const uint8_t> data) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeySetValue)) return RegistryStatus::AccessDenied;
    name = UpToNull(name);
    const std::lock_guard lock(mutex_);
    // After a failure that ended the group, no later write of it may stand alone.
    if (GroupLost()) return RegistryStatus::RegistryIoFailed;
    if (const auto status = Writable(); status != RegistryStatus::Ok) return status;
    Query query(db_->writeValue);
    return FromSqlite(query.Bind(state->id)
                          .Bind(Fold(name))
                          .BindName(name)
                          .Bind(static_cast<int64_t>(type))
                          .Bind(data)
                          .Step());
}

RegistryStatus SqliteRegistry::BeginWriteGroup() {
    const std::lock_guard lock(mutex_);
    if (grouped_ || !sqlite3_get_autocommit(db_->db.get())) return RegistryStatus::AccessDenied;
    if (const auto status = Writable(); status != RegistryStatus::Ok) return status;
    const RegistryStatus status = FromSqlite(Query(db_->begin).Step());
    grouped_ = status == RegistryStatus::Ok;
    return status;
}

RegistryStatus SqliteRegistry::EndWriteGroup(bool commit) {
    const std::lock_guard lock(mutex_);
    grouped_ = false;
    // SQLite may have ended the transaction itself after an error: then nothing is kept.
    if (sqlite3_get_autocommit(db_->db.get())) {
        return commit ? RegistryStatus::RegistryIoFailed : RegistryStatus::Ok;
    }
    return FromSqlite(Query(commit ? db_->commit : db_->rollback).Step());
}

bool SqliteRegistry::GroupLost() const {
    return grouped_ && sqlite3_get_autocommit(db_->db.get());
}

RegistryStatus SqliteRegistry::DeleteValue(const RegistryKey& key, StringView name) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeySetValue)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    // After a failure that ended the group, no later write of it may stand alone.
    if (GroupLost()) return RegistryStatus::RegistryIoFailed;
    if (const auto status = Writable(); status != RegistryStatus::Ok) return status;
    Query query(db_->deleteValue);
    const int code = query.Bind(state->id).Bind(Fold(UpToNull(name))).Step();
    if (code != SQLITE_DONE) return FromSqlite(code);
    if (sqlite3_changes(db_->db.get()) > 0) return RegistryStatus::Ok;
    return db_->KeyExists(state->id) ? RegistryStatus::FileNotFound : RegistryStatus::KeyDeleted;
}

RegistryStatus SqliteRegistry::DeleteSubKey(const RegistryKey& key, StringView path) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    std::vector<StringView> components;
    if (const auto status = SplitPath(path, components); status != RegistryStatus::Ok) {
        return status;
    }
    const std::lock_guard lock(mutex_);
    // After a failure that ended the group, no later write of it may stand alone.
    if (GroupLost()) return RegistryStatus::RegistryIoFailed;
    if (const auto status = Writable(); status != RegistryStatus::Ok) return status;
    Database& d = *db_;
    Transaction transaction(d.begin, d.commit, d.rollback);
    if (transaction.Status() != RegistryStatus::Ok) return transaction.Status();
    if (!d.KeyExists(state->id)) return RegistryStatus::KeyDeleted;
    int64_t id = state->id;
    for (StringView component : components) {
        const auto child = d.FindChild(id, component);
        if (!child) return RegistryStatus::FileNotFound;
        id = *child;
    }
    if (id <= kLastRootId) return RegistryStatus::AccessDenied;
    {
        Query children(d.hasChildren);
        if (children.Bind(id).Step() == SQLITE_ROW) return RegistryStatus::AccessDenied;
    }
    Query remove(d.deleteKey);
    if (const int code = remove.Bind(id).Step(); code != SQLITE_DONE) return FromSqlite(code);
    return transaction.Commit();
}

RegistryStatus SqliteRegistry::EnumSubKey(const RegistryKey& key, uint32_t index, String& name) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyEnumerateSubKeys)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Database& d = *db_;
    // The next index after the last one read continues from that name, as long as nothing
    // changed since; any other index counts from the start.
    const auto version = d.Version();
    const bool continues =
        state->hasCursor && state->cursorVersion == version && index == state->cursorIndex + 1;
    const StatementHandle& statement = index == 0  ? d.firstChild
                                       : continues ? d.nextChild
                                                   : d.childAt;
    Query query(statement);
    query.Bind(state->id);
    if (index != 0) {
        if (continues) {
            query.Bind(state->cursorFolded);
        } else {
            query.Bind(int64_t{index});
        }
    }
    const int code = query.Step();
    if (code != SQLITE_ROW) {
        state->hasCursor = false;
        if (code != SQLITE_DONE) return FromSqlite(code);
        return d.KeyExists(state->id) ? RegistryStatus::NoMoreItems : RegistryStatus::KeyDeleted;
    }
    name = query.Name(0);
    const auto folded = query.Blob(1);
    state->cursorFolded.assign(folded.begin(), folded.end());
    state->cursorIndex = index;
    state->cursorVersion = version;
    state->hasCursor = true;
    return RegistryStatus::Ok;
}

// Values are few per key: each index is looked up afresh.
RegistryStatus SqliteRegistry::EnumValue(const RegistryKey& key, uint32_t index, String& name) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyQueryValue)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Query query(db_->valueAt);
    const int code = query.Bind(state->id).Bind(int64_t{index}).Step();
    if (code != SQLITE_ROW) {
        if (code != SQLITE_DONE) return FromSqlite(code);
        return db_->KeyExists(state->id) ? RegistryStatus::NoMoreItems : RegistryStatus::KeyDeleted;
    }
    name = query.Name(0);
    return RegistryStatus::Ok;
}

RegistryStatus SqliteRegistry::ListSubKeys(const RegistryKey& key,
                                           const std::function<bool(StringView)>& visit) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyEnumerateSubKeys)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Database& d = *db_;
    // One statement is one read of the database: the list is the state of one moment.
    Query query(d.children);
    query.Bind(state->id);
    bool any = false;
    int code = SQLITE_ROW;
    String name;
    while ((code = query.Step()) == SQLITE_ROW) {
        any = true;
        query.ReadName(0, name);
        if (!visit(name)) return RegistryStatus::Ok;
    }
    if (code != SQLITE_DONE) return FromSqlite(code);
    return any || d.KeyExists(state->id) ? RegistryStatus::Ok : RegistryStatus::KeyDeleted;
}

RegistryStatus SqliteRegistry::ReadValues(const RegistryKey& key,
                                          std::vector<RegistryValue>& values) {
    values.clear();
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyQueryValue)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Database& d = *db_;
    Query query(d.values);
    query.Bind(state->id);
    int code = SQLITE_ROW;
    while ((code = query.Step()) == SQLITE_ROW) {
        const auto data = query.Blob(2);
        values.push_back({query.Name(0), static_cast<RegistryType>(query.Integer(1)),
                          std::vector<uint8_t>(data.begin(), data.end())});
    }
    if (code != SQLITE_DONE) {
        values.clear();
        return FromSqlite(code);
    }
    return !values.empty() || d.KeyExists(state->id) ? RegistryStatus::Ok
                                                     : RegistryStatus::KeyDeleted;
}

RegistryStatus SqliteRegistry::ReadSubKeys(const RegistryKey& key, StringView prefix,
                                           const SubKeyVisitor& visit) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyEnumerateSubKeys)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Database& d = *db_;
    // One statement is one read of the database.
    Query query(d.subKeysWithValues);
    query.Bind(state->id).Bind(Fold(prefix));
    std::vector<RegistryValue> values;
    std::vector<int64_t> ordinals;
    String name;
    int64_t current = -1;
    // The key read so far goes to `visit` with its values in EnumValue's order: by ordinal, and
    // as the table holds them (by name) where ordinals are the same.
    const auto flush = [&] {
        if (current < 0) return true;
        if (!std::is_sorted(ordinals.begin(), ordinals.end())) {
            std::vector<size_t> order(values.size());
            for (size_t i = 0; i < order.size(); ++i) order[i] = i;
            std::stable_sort(order.begin(), order.end(),
                             [&](size_t a, size_t b) { return ordinals[a] < ordinals[b]; });
            std::vector<RegistryValue> sorted;
            sorted.reserve(values.size());
            for (const size_t i : order) sorted.push_back(std::move(values[i]));
            values = std::move(sorted);
        }
        return visit(name, values);
    };
    int code = SQLITE_ROW;
    bool any = false;
    while ((code = query.Step()) == SQLITE_ROW) {
        any = true;
        if (query.Integer(0) != current) {
            if (!flush()) return RegistryStatus::Ok;
            current = query.Integer(0);
            query.ReadName(1, name);
            values.clear();
            ordinals.clear();
        }
        if (sqlite3_column_type(query.Statement(), 2) == SQLITE_NULL) continue;
        const auto data = query.Blob(4);
        values.push_back({query.Name(2), static_cast<RegistryType>(query.Integer(3)),
                          std::vector<uint8_t>(data.begin(), data.end())});
        ordinals.push_back(query.Integer(5));
    }
    if (code != SQLITE_DONE) return FromSqlite(code);
    flush();
    return any || d.KeyExists(state->id) ? RegistryStatus::Ok : RegistryStatus::KeyDeleted;
}

std::optional<uint64_t> SqliteRegistry::ChangeStamp() {
    const std::lock_guard lock(mutex_);
    const std::array<int64_t, 3> version = db_->Version();
    if (version[1] < 0) return std::nullopt;
    if (version != stampedVersion_) {
        stampedVersion_ = version;
        ++stamp_;
    }
    return stamp_;
}

RegistryStatus SqliteRegistry::KeyName(const RegistryKey& key, String& name) {
    KeyState* state = State(key);
    if (state == nullptr) return RegistryStatus::InvalidHandle;
    if (!(state->access & KeyQueryValue)) return RegistryStatus::AccessDenied;
    const std::lock_guard lock(mutex_);
    Query query(db_->keyName);
    if (!db_->Found(query.Bind(state->id).Step())) {
        return db_->failure == SQLITE_OK ? RegistryStatus::KeyDeleted : db_->Missing();
    }
    name = query.Name(0);
    return RegistryStatus::Ok;
}

namespace {
std::string ChosenRegistryFile;
}  // namespace

void UseRegistryFile(const std::string& path) {
    ChosenRegistryFile = path;
}

std::string DefaultRegistryPath() {
    if (!ChosenRegistryFile.empty()) return ChosenRegistryFile;
    if (String path = EnvironmentValue(u"FARHOST_REGISTRY"); !path.empty()) return ToUtf8(path);
    // The local application data folder is $XDG_DATA_HOME, by default ~/.local/share.
    const String data = KnownFolderPath(kLocalAppData);
    if (data.empty()) {
        throw Exception(u"No place for the registry database: set FARHOST_REGISTRY or HOME");
    }
    return ToUtf8(data) + "/farhost/registry.sqlite3";
}

std::unique_ptr<Registry> OpenSystemRegistry() {
    return std::make_unique<SqliteRegistry>(DefaultRegistryPath());
}

}  // namespace wm::platform
