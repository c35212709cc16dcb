#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commit/undo_log.h"
#include "platform/drive_table.h"
#include "platform/file_error.h"
#include "platform/journal_file.h"

// The journal of a commit or an undo, kept on disk while it runs so that one
// the machine or the program stopped halfway can be undone at the next start.
// Steps are written before they run (a write-ahead journal): after a crash
// every step that ran is in the journal, and the few written but perhaps not
// run are judged by what is on disk. To keep the cost of flushing low, steps
// are added in groups and one flush puts a whole group on disk.
namespace kestrel::commit {

enum class JournalOperation { Commit, Undo };

/// Where journals are kept, and the drive table that gives their program
/// paths a meaning on this host (recorded, so that a drive mapped elsewhere
/// since cannot turn a recovery onto other files).
struct JournalPlace {
    std::string folder;  // host folder; empty: no journal is kept
    const platform::DriveTable* drives = nullptr;
};

class CommitJournal {
  public:
    /// Nothing is written before the first Flush.
    CommitJournal(JournalPlace place, JournalOperation operation, int level);

    /// A step about to run; on disk at the next Flush.
    void Add(StepKind kind, std::string_view oldPath, std::string_view newPath);
    /// The last `count` steps added will not run as added.
    void Withdraw(std::size_t count);
    /// Puts what was added on disk, creating the journal at the first call.
    /// On failure the journal is removed and the rest of the operation runs
    /// without one (every later call does nothing).
    platform::FileError Flush();
    /// The operation ended: the journal goes.
    void Finish();

    const std::string& Folder() const { return place_.folder; }
    /// False without a folder or after a failed Flush: Add then does nothing.
    bool Keeping() const { return !failed_ && !place_.folder.empty(); }

  private:
    std::string FirstRecords() const;

    JournalPlace place_;
    JournalOperation operation_;
    int level_;
    bool failed_ = false;
    std::string pending_;
    platform::JournalFile file_;
};

/// Withdraws the last `count` steps of a journal another run left, on disk
/// before it returns: a recovery that stops halfway must not be taken back by
/// the next.
platform::FileError WithdrawDurably(platform::JournalFile& file, std::size_t count);

/// What a journal holds.
struct JournalContents {
    JournalOperation operation = JournalOperation::Commit;
    int level = 0;
    platform::DriveTable drives;
    /// The steps that may have run, in the order they were added.
    std::vector<UndoEntry> steps;
};

/// Nullopt when `bytes` are not a journal. A record cut short or damaged ends
/// the reading there: only what was whole on disk counts.
std::optional<JournalContents> ReadJournal(std::string_view bytes);

}  // namespace kestrel::commit
