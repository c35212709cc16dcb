#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

// One scope of the settings store kept in one SQLite file. Several running
// copies of Kestrel, installers and tests share these files, so every call is
// its own transaction and the schema is fixed:
//   keys(path, folded PRIMARY KEY)
//   vals(key REFERENCES keys(folded) ON DELETE CASCADE, name, folded,
//        type 1 text | 4 number, data, PRIMARY KEY(key, folded))
// "folded" is the lower-cased form that makes names match without regard to
// case; "path" and "name" keep the letter case in which they were first written.
namespace kestrel::platform {

/// DeleteKey results.
inline constexpr int kKeyDeleted = 0;
inline constexpr int kKeyDeleteFailed = 1;
inline constexpr int kKeyNotFound = 2;

class SqliteKeyStore {
  public:
    /// Opens nothing yet: the file is opened (and created, with its folder, when
    /// missing) on the first call that needs it. An empty path stores nothing.
    explicit SqliteKeyStore(std::string databasePath);
    ~SqliteKeyStore();
    SqliteKeyStore(const SqliteKeyStore&) = delete;
    SqliteKeyStore& operator=(const SqliteKeyStore&) = delete;

    /// The stored text, or nothing when the value is missing or is not text.
    std::optional<std::string> ReadText(std::string_view keyPath, std::string_view valueName) const;
    /// The stored number, or nothing when the value is missing or is not a number.
    std::optional<std::int32_t> ReadNumber(std::string_view keyPath,
                                           std::string_view valueName) const;

    /// Create every missing level of the key, then replace the value whatever
    /// its earlier type. A write the file refuses is lost without a report.
    void WriteText(std::string_view keyPath, std::string_view valueName, std::string_view text);
    void WriteNumber(std::string_view keyPath, std::string_view valueName, std::int32_t number);

    /// Removes the key, its values and every key below it.
    int DeleteKey(std::string_view keyPath);

    /// Removes one value of the key; false when it was not there or could not go.
    bool DeleteValue(std::string_view keyPath, std::string_view valueName);

    /// Names of the direct sub-keys as first written, ascending without regard to case.
    std::vector<std::string> ListSubkeys(std::string_view keyPath) const;
    /// Names of the key's values as first written ("" is the unnamed value), ascending
    /// without regard to case.
    std::vector<std::string> ListValueNames(std::string_view keyPath) const;

    /// Runs `work` as one write transaction: other copies see all of its writes
    /// or none. When the transaction cannot start or a write fails, none of its
    /// writes are kept. Calls inside join it.
    void WriteBatch(const std::function<void()>& work);
    /// Runs `work` as one read transaction: its reads see one state of the
    /// file, never half of another copy's batch.
    void ReadSnapshot(const std::function<void()>& work) const;

  private:
    enum Statement {
        kBeginWrite,
        kBeginRead,
        kCommit,
        kRollback,
        kInsertKey,
        kUpsertValue,
        kSelectValue,
        kDeleteKeys,
        kSelectKeysBelow,
        kSelectAllKeys,
        kSelectValueNames,
        kDeleteValue,
        kStatementCount
    };
    struct StoredValue {
        int type = 0;
        std::string text;
        std::int64_t number = 0;
    };

    sqlite3* Connection() const;
    void OpenConnection() const;
    /// Ends the transaction of the outermost batch.
    void FinishTransaction(bool begun) const;
    bool EnsureSchema() const;
    void CloseConnection() const;
    sqlite3_stmt* Prepared(Statement which) const;
    /// Runs a statement that returns no rows; false on failure.
    bool Run(Statement which) const;
    /// Notes a failed SQLite call; a damaged file closes the connection for good.
    void NoteFailure(int resultCode) const;

    std::optional<StoredValue> ReadValue(std::string_view keyPath,
                                         std::string_view valueName) const;
    void WriteValue(std::string_view keyPath, std::string_view valueName, const StoredValue& value);
    bool InsertKeyLevels(std::string_view keyPath);
    std::vector<std::string> SelectKeysBelow(std::string_view keyPath) const;

    std::string databasePath_;
    // Opening lazily is invisible to callers, so the read calls stay const.
    mutable sqlite3* db_ = nullptr;
    mutable std::array<sqlite3_stmt*, kStatementCount> statements_{};
    mutable bool schemaReady_ = false;
    mutable bool damaged_ = false;
    // Depth of nested batches; inside one, single calls open no transaction.
    mutable int batchDepth_ = 0;
    // A write of the current batch failed or its transaction never started.
    mutable bool batchFailed_ = false;
};

}  // namespace kestrel::platform
