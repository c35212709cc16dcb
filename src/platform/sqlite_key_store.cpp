#include "platform/sqlite_key_store.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

constexpr int kTypeText = 1;
constexpr int kTypeNumber = 4;
// Long enough for another copy of the program to finish saving a template.
constexpr int kBusyTimeoutMs = 10'000;
constexpr mode_t kFolderMode = 0700;
constexpr mode_t kFileMode = 0600;

constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys (
  path   TEXT NOT NULL,
  folded TEXT NOT NULL PRIMARY KEY
);
CREATE TABLE IF NOT EXISTS vals (
  key    TEXT NOT NULL REFERENCES keys(folded) ON DELETE CASCADE,
  name   TEXT NOT NULL,
  folded TEXT NOT NULL,
  type   INTEGER NOT NULL CHECK (type IN (1, 4)),
  data   NOT NULL,
  PRIMARY KEY (key, folded)
);
)sql";

constexpr std::array kStatementTexts = {
    "BEGIN IMMEDIATE",
    "BEGIN",
    "COMMIT",
    "ROLLBACK",
    // OR IGNORE, never OR REPLACE: replacing a key row would cascade and
    // delete its values, and the first-written letter case must stay.
    "INSERT OR IGNORE INTO keys(path, folded) VALUES(?1, ?2)",
    "INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
    "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data",
    "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2",
    "DELETE FROM keys WHERE folded = ?1 OR (folded >= ?2 AND folded < ?3)",
    "SELECT path FROM keys WHERE folded >= ?1 AND folded < ?2",
    "SELECT path FROM keys",
    "SELECT name FROM vals WHERE key = ?1",
    "DELETE FROM vals WHERE key = ?1 AND folded = ?2",
};

bool IsDamage(int resultCode) {
    const int primary = resultCode & 0xff;
    return primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT;
}

/// Callers may pass "\Software\X\"; the stored form has no outer backslashes.
std::string_view NormaliseKeyPath(std::string_view keyPath) {
    const std::size_t first = keyPath.find_first_not_of('\\');
    if (first == std::string_view::npos) {
        return {};
    }
    const std::size_t last = keyPath.find_last_not_of('\\');
    return keyPath.substr(first, last - first + 1);
}

std::size_t LevelCount(std::string_view path) {
    return static_cast<std::size_t>(std::count(path.begin(), path.end(), '\\')) + 1;
}

std::string_view LastLevel(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

/// Case-insensitive order; names equal that way keep a fixed order by their bytes.
void SortNames(std::vector<std::string>& names) {
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        const int order = text::CompareIgnoringCase(a, b);
        return order != 0 ? order < 0 : a < b;
    });
}

/// mkdir -p, each folder it makes private to the user.
void CreateFolders(const std::string& folder) {
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const std::string part = folder.substr(0, slash);
        if (::mkdir(part.c_str(), kFolderMode) == 0) {
            // The umask may have narrowed the mode; the folder must be exactly 0700.
            ::chmod(part.c_str(), kFolderMode);
        }
        if (slash == std::string::npos) {
            return;
        }
    }
}

/// Creates an empty database file with mode 0600 when none exists. SQLite gives
/// its -wal and -shm files the mode of the database file, so they follow.
void CreateFileIfMissing(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kFileMode);
    if (fd >= 0) {
        ::fchmod(fd, kFileMode);
        ::close(fd);
    }
}

bool HasDatabaseHeader(const std::string& path) {
    constexpr std::string_view kMagic("SQLite format 3\0", 16);
    constexpr std::size_t kHeaderSize = 100;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    char header[kHeaderSize] = {};
    const ssize_t got = ::read(fd, header, sizeof header);
    ::close(fd);
    // An empty file is one this program (or another copy) has just created.
    return got == 0 ||
           (got == static_cast<ssize_t>(kHeaderSize) && std::string_view(header, 16) == kMagic);
}

/// The rows of the first column of `query`; nullopt when it cannot be run.
std::optional<std::vector<std::string>> FirstColumn(sqlite3* db, const char* query) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, query, -1, &statement, nullptr) != SQLITE_OK) {
        sqlite3_finalize(statement);
        return std::nullopt;
    }
    std::vector<std::string> rows;
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        rows.emplace_back(text != nullptr ? text : "");
    }
    sqlite3_finalize(statement);
    return rc == SQLITE_DONE ? std::optional(std::move(rows)) : std::nullopt;
}

/// True when the tables are Kestrel's, or there are none yet. A database of
/// another program (tables of its own, or "keys" and "vals" with other
/// columns) must not be given Kestrel's tables or written.
bool HoldsOwnTables(sqlite3* db) {
    const auto tables = FirstColumn(
        db,
        "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
        "ESCAPE '\\'");
    if (!tables) {
        return true;  // busy or unreadable now: the read-write open decides
    }
    const auto has = [&tables](std::string_view name) {
        return std::find(tables->begin(), tables->end(), name) != tables->end();
    };
    if (!tables->empty() && !has("keys") && !has("vals")) {
        return false;
    }
    const std::pair<const char*, std::vector<std::string>> expected[] = {
        {"SELECT name FROM pragma_table_info('keys')", {"path", "folded"}},
        {"SELECT name FROM pragma_table_info('vals')", {"key", "name", "folded", "type", "data"}},
    };
    for (const auto& [query, columns] : expected) {
        const auto found = FirstColumn(db, query);
        if (found && !found->empty() && *found != columns) {
            return false;
        }
    }
    return true;
}

/// Looks at the file without changing it: the header, SQLite's own quick
/// check on a read-only connection, and whose tables it holds. A file another
/// copy keeps busy past the time-out counts as sound: it is being written, not
/// damaged.
bool LooksSound(const std::string& path) {
    if (!HasDatabaseHeader(path)) {
        return false;
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        return true;  // not openable now; the read-write open decides
    }
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    sqlite3_stmt* check = nullptr;
    bool sound = true;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check", -1, &check, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(check);
        if (rc == SQLITE_ROW) {
            const auto* verdict = reinterpret_cast<const char*>(sqlite3_column_text(check, 0));
            sound = verdict != nullptr && std::string_view(verdict) == "ok";
        }
    }
    if (IsDamage(rc)) {
        sound = false;
    }
    sqlite3_finalize(check);
    sound = sound && HoldsOwnTables(db);
    sqlite3_close(db);
    return sound;
}

void BindText(sqlite3_stmt* statement, int index, std::string_view value) {
    sqlite3_bind_text(statement, index, value.data(), static_cast<int>(value.size()),
                      SQLITE_TRANSIENT);
}

/// Resets a cached statement when it goes out of scope, so its read lock is released.
class StatementUse {
  public:
    explicit StatementUse(sqlite3_stmt* statement) : statement_(statement) {}
    ~StatementUse() {
        if (statement_ != nullptr) {
            sqlite3_reset(statement_);
            sqlite3_clear_bindings(statement_);
        }
    }
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

  private:
    sqlite3_stmt* statement_;
};

}  // namespace

SqliteKeyStore::SqliteKeyStore(std::string databasePath) : databasePath_(std::move(databasePath)) {}

SqliteKeyStore::~SqliteKeyStore() {
    CloseConnection();
}

std::optional<std::string> SqliteKeyStore::ReadText(std::string_view keyPath,
                                                    std::string_view valueName) const {
    std::optional<StoredValue> value = ReadValue(keyPath, valueName);
    if (!value || value->type != kTypeText) {
        return std::nullopt;
    }
    return std::move(value->text);
}

std::optional<std::int32_t> SqliteKeyStore::ReadNumber(std::string_view keyPath,
                                                       std::string_view valueName) const {
    const std::optional<StoredValue> value = ReadValue(keyPath, valueName);
    if (!value || value->type != kTypeNumber) {
        return std::nullopt;
    }
    // A 32-bit value that reads back signed, whatever width another tool wrote.
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value->number));
}

void SqliteKeyStore::WriteText(std::string_view keyPath, std::string_view valueName,
                               std::string_view text) {
    WriteValue(keyPath, valueName, StoredValue{kTypeText, std::string(text), 0});
}

void SqliteKeyStore::WriteNumber(std::string_view keyPath, std::string_view valueName,
                                 std::int32_t number) {
    WriteValue(keyPath, valueName, StoredValue{kTypeNumber, {}, number});
}

int SqliteKeyStore::DeleteKey(std::string_view keyPath) {
    const std::string_view path = NormaliseKeyPath(keyPath);
    // The whole scope is not a key that can go.
    if (path.empty() || (batchDepth_ > 0 && batchFailed_)) {
        return kKeyDeleteFailed;
    }
    sqlite3_stmt* statement = Connection() ? Prepared(kDeleteKeys) : nullptr;
    if (statement == nullptr) {
        batchFailed_ = batchDepth_ > 0;
        return kKeyDeleteFailed;
    }
    StatementUse use(statement);
    const std::string folded = text::ToLower(path);
    BindText(statement, 1, folded);
    BindText(statement, 2, folded + '\\');
    BindText(statement, 3, folded + ']');  // ']' follows '\' in byte order
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        NoteFailure(rc);
        batchFailed_ = batchDepth_ > 0;
        return kKeyDeleteFailed;
    }
    // Sub-keys and values go by the foreign key's cascade in the same statement.
    return sqlite3_changes(db_) > 0 ? kKeyDeleted : kKeyNotFound;
}

bool SqliteKeyStore::DeleteValue(std::string_view keyPath, std::string_view valueName) {
    const std::string_view path = NormaliseKeyPath(keyPath);
    if (path.empty() || (batchDepth_ > 0 && batchFailed_)) {
        return false;
    }
    sqlite3_stmt* statement = Connection() ? Prepared(kDeleteValue) : nullptr;
    if (statement == nullptr) {
        batchFailed_ = batchDepth_ > 0;
        return false;
    }
    StatementUse use(statement);
    BindText(statement, 1, text::ToLower(path));
    BindText(statement, 2, text::ToLower(valueName));
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        NoteFailure(rc);
        batchFailed_ = batchDepth_ > 0;
        return false;
    }
    return sqlite3_changes(db_) > 0;
}

std::vector<std::string> SqliteKeyStore::ListSubkeys(std::string_view keyPath) const {
    const std::string_view path = NormaliseKeyPath(keyPath);
    const std::size_t childLevels = path.empty() ? 1 : LevelCount(path) + 1;
    std::vector<std::string> names;
    for (const std::string& below : SelectKeysBelow(path)) {
        if (LevelCount(below) == childLevels) {
            names.emplace_back(LastLevel(below));
        }
    }
    SortNames(names);
    return names;
}

std::vector<std::string> SqliteKeyStore::ListValueNames(std::string_view keyPath) const {
    std::vector<std::string> names;
    sqlite3_stmt* statement = Connection() ? Prepared(kSelectValueNames) : nullptr;
    if (statement == nullptr) {
        return names;
    }
    StatementUse use(statement);
    BindText(statement, 1, text::ToLower(NormaliseKeyPath(keyPath)));
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        names.emplace_back(name, static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
    }
    if (rc != SQLITE_DONE) {
        NoteFailure(rc);
        return {};
    }
    SortNames(names);
    return names;
}

sqlite3* SqliteKeyStore::Connection() const {
    if (damaged_) {
        // Closed here rather than where the damage showed, so that no statement
        // in use is finalized under its caller.
        CloseConnection();
        return nullptr;
    }
    if (db_ == nullptr && !databasePath_.empty()) {
        OpenConnection();
    }
    if (db_ != nullptr && !schemaReady_) {
        // Another copy may hold the write lock past the timeout while it creates
        // the tables; reads still work then, so try again on the next call.
        schemaReady_ = EnsureSchema();
    }
    return damaged_ ? nullptr : db_;
}

void SqliteKeyStore::OpenConnection() const {
    const std::size_t slash = databasePath_.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        CreateFolders(databasePath_.substr(0, slash));
    }
    CreateFileIfMissing(databasePath_);
    // Nothing, not even the switch to WAL (which rewrites the header), may
    // touch a damaged file: it may be someone's only copy of their settings.
    if (!LooksSound(databasePath_)) {
        damaged_ = true;
        return;
    }
    // No SQLITE_OPEN_CREATE: the file was made above with its mode, and a file
    // that still is not there is a store that reads empty.
    const int rc = sqlite3_open_v2(databasePath_.c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr);
    if (rc != SQLITE_OK) {
        CloseConnection();
        return;
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    NoteFailure(sqlite3_exec(db_, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr));
    if (damaged_) {
        CloseConnection();
        return;
    }
    // In WAL mode NORMAL cannot corrupt the file; a power cut may cost only the
    // last settings written, and each write is spared a flush.
    sqlite3_exec(db_, "PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON", nullptr, nullptr,
                 nullptr);
}

bool SqliteKeyStore::EnsureSchema() const {
    if (!Run(kBeginWrite)) {
        return false;
    }
    const int rc = sqlite3_exec(db_, kSchema, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        NoteFailure(rc);
        Run(kRollback);
        return false;
    }
    return Run(kCommit);
}

void SqliteKeyStore::CloseConnection() const {
    for (sqlite3_stmt*& statement : statements_) {
        sqlite3_finalize(statement);
        statement = nullptr;
    }
    sqlite3_close(db_);
    db_ = nullptr;
    schemaReady_ = false;
}

sqlite3_stmt* SqliteKeyStore::Prepared(Statement which) const {
    static_assert(kStatementTexts.size() == kStatementCount);
    if (db_ == nullptr) {
        return nullptr;
    }
    sqlite3_stmt*& statement = statements_[which];
    if (statement == nullptr) {
        const int rc = sqlite3_prepare_v2(db_, kStatementTexts[which], -1, &statement, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_finalize(statement);
            statement = nullptr;
            NoteFailure(rc);
        }
    }
    return statement;
}

bool SqliteKeyStore::Run(Statement which) const {
    sqlite3_stmt* statement = Prepared(which);
    if (statement == nullptr) {
        return false;
    }
    StatementUse use(statement);
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_DONE) {
        NoteFailure(rc);
        return false;
    }
    return true;
}

void SqliteKeyStore::NoteFailure(int resultCode) const {
    if (IsDamage(resultCode)) {
        // Never repaired, rewritten or removed: the file may be someone's only
        // copy of their settings, and another tool may be able to save it.
        damaged_ = true;
    }
}

std::optional<SqliteKeyStore::StoredValue> SqliteKeyStore::ReadValue(
    std::string_view keyPath, std::string_view valueName) const {
    sqlite3_stmt* statement = Connection() ? Prepared(kSelectValue) : nullptr;
    if (statement == nullptr) {
        return std::nullopt;
    }
    StatementUse use(statement);
    BindText(statement, 1, text::ToLower(NormaliseKeyPath(keyPath)));
    BindText(statement, 2, text::ToLower(valueName));
    const int rc = sqlite3_step(statement);
    if (rc != SQLITE_ROW) {
        if (rc != SQLITE_DONE) {
            NoteFailure(rc);
        }
        return std::nullopt;
    }
    StoredValue value;
    value.type = sqlite3_column_int(statement, 0);
    // Other tools write these files too: a type whose data has the wrong
    // storage class is treated as missing rather than converted.
    const int storage = sqlite3_column_type(statement, 1);
    if (value.type == kTypeText && storage == SQLITE_TEXT) {
        const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(statement, 1));
        value.text.assign(data, static_cast<std::size_t>(sqlite3_column_bytes(statement, 1)));
    } else if (value.type == kTypeNumber && storage == SQLITE_INTEGER) {
        value.number = sqlite3_column_int64(statement, 1);
    } else {
        return std::nullopt;
    }
    return value;
}

void SqliteKeyStore::WriteValue(std::string_view keyPath, std::string_view valueName,
                                const StoredValue& value) {
    const std::string_view path = NormaliseKeyPath(keyPath);
    const bool inBatch = batchDepth_ > 0;
    if (inBatch && batchFailed_) {
        return;
    }
    // Values live in keys; the scope itself has no key row to hold them.
    if (path.empty() || Connection() == nullptr || Prepared(kUpsertValue) == nullptr ||
        (!inBatch && !Run(kBeginWrite))) {
        batchFailed_ = inBatch;
        return;
    }
    bool written = InsertKeyLevels(path);
    if (written) {
        sqlite3_stmt* statement = Prepared(kUpsertValue);
        StatementUse use(statement);
        BindText(statement, 1, text::ToLower(path));
        BindText(statement, 2, valueName);
        BindText(statement, 3, text::ToLower(valueName));
        sqlite3_bind_int(statement, 4, value.type);
        if (value.type == kTypeText) {
            BindText(statement, 5, value.text);
        } else {
            sqlite3_bind_int64(statement, 5, value.number);
        }
        const int rc = sqlite3_step(statement);
        written = rc == SQLITE_DONE;
        if (!written) {
            NoteFailure(rc);
        }
    }
    if (inBatch) {
        batchFailed_ = !written;
    } else if (!written || !Run(kCommit)) {
        Run(kRollback);
    }
}

void SqliteKeyStore::WriteBatch(const std::function<void()>& work) {
    const bool outermost = batchDepth_ == 0;
    bool begun = false;
    if (outermost) {
        begun = Connection() != nullptr && Run(kBeginWrite);
        batchFailed_ = !begun;
    }
    ++batchDepth_;
    try {
        work();
    } catch (...) {
        --batchDepth_;
        batchFailed_ = true;
        FinishTransaction(outermost && begun);
        throw;
    }
    --batchDepth_;
    if (outermost) {
        FinishTransaction(begun);
    }
}

void SqliteKeyStore::ReadSnapshot(const std::function<void()>& work) const {
    const bool outermost = batchDepth_ == 0;
    const bool begun = outermost && Connection() != nullptr && Run(kBeginRead);
    ++batchDepth_;
    try {
        work();
    } catch (...) {
        --batchDepth_;
        FinishTransaction(begun);
        throw;
    }
    --batchDepth_;
    FinishTransaction(begun);
}

void SqliteKeyStore::FinishTransaction(bool begun) const {
    if (!begun || db_ == nullptr) {
        return;
    }
    if (batchFailed_ || !Run(kCommit)) {
        Run(kRollback);
    }
    batchFailed_ = false;
}

bool SqliteKeyStore::InsertKeyLevels(std::string_view keyPath) {
    sqlite3_stmt* statement = Prepared(kInsertKey);
    if (statement == nullptr) {
        return false;
    }
    for (std::size_t end = keyPath.find('\\');; end = keyPath.find('\\', end + 1)) {
        const std::string_view level = keyPath.substr(0, end);
        StatementUse use(statement);
        BindText(statement, 1, level);
        BindText(statement, 2, text::ToLower(level));
        const int rc = sqlite3_step(statement);
        if (rc != SQLITE_DONE) {
            NoteFailure(rc);
            return false;
        }
        if (end == std::string_view::npos) {
            return true;
        }
    }
}

std::vector<std::string> SqliteKeyStore::SelectKeysBelow(std::string_view keyPath) const {
    std::vector<std::string> paths;
    const Statement which = keyPath.empty() ? kSelectAllKeys : kSelectKeysBelow;
    sqlite3_stmt* statement = Connection() ? Prepared(which) : nullptr;
    if (statement == nullptr) {
        return paths;
    }
    StatementUse use(statement);
    if (!keyPath.empty()) {
        const std::string folded = text::ToLower(keyPath);
        BindText(statement, 1, folded + '\\');
        BindText(statement, 2, folded + ']');  // ']' follows '\' in byte order
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto* path = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        paths.emplace_back(path, static_cast<std::size_t>(sqlite3_column_bytes(statement, 0)));
    }
    if (rc != SQLITE_DONE) {
        NoteFailure(rc);
        return {};
    }
    return paths;
}

}  // namespace kestrel::platform
