#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_error.h"

// The file under a commit journal, on host paths. A journal appears under its
// final name ('journal-Ab12Cd') only once its first records are on disk, and
// it stays locked for as long as its writer has it open: a journal nobody
// holds locked was left by a run that ended without finishing its operation.
namespace kestrel::platform {

class JournalFile {
  public:
    JournalFile() = default;
    JournalFile(JournalFile&& other) noexcept;
    JournalFile& operator=(JournalFile&& other) noexcept;
    JournalFile(const JournalFile&) = delete;
    JournalFile& operator=(const JournalFile&) = delete;
    /// Closes the file and so gives up its lock; the file stays.
    ~JournalFile();

    /// Makes a new journal in `folder` (created with mode 0700 when missing)
    /// holding `firstRecords`, which are on disk, with the name, on return.
    static FileError Create(const std::string& folder, std::string_view firstRecords,
                            JournalFile& journal);

    bool IsOpen() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }
    /// Appends `records` and puts them on disk before returning.
    FileError AppendDurably(std::string_view records);
    FileError ReadAll(std::string& bytes) const;
    /// Deletes the journal: its operation is over.
    void Remove();

  private:
    friend std::vector<JournalFile> TakeAbandonedJournals(const std::string& folder);
    void Close();
    /// Create without its retry; 0 or the errno value.
    int CreateOnce(const std::string& folder, std::string_view firstRecords);

    int fd_ = -1;
    std::string path_;
};

/// Opens (for reading and appending) and locks every journal in `folder` that
/// no running copy of the program holds, newest first, and removes what a
/// creation cut short left.
/// Another copy calling this meanwhile gets none of them.
std::vector<JournalFile> TakeAbandonedJournals(const std::string& folder);

}  // namespace kestrel::platform
