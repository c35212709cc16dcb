#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commit/undo_log.h"
#include "platform/file_error.h"

// The undo log kept between runs: the newest levels of every commit, in one
// file of the state folder, so that "Undo the Do!" in a window opened later,
// or UNDO on the command line, takes back a commit of an earlier run. Every
// change reads and rewrites the file under its lock: two running copies
// never both take one level.
namespace kestrel::commit {

/// How many levels are kept; the oldest go first.
inline constexpr std::size_t kKeptUndoLevels = 8;

/// The file's bytes for `levels`, oldest first.
std::string UndoStoreBytes(const std::vector<std::vector<UndoEntry>>& levels);
/// The levels a file holds. A file that is not an undo log, or damaged, reads
/// as the whole levels before the damage.
std::vector<std::vector<UndoEntry>> ReadUndoStore(std::string_view bytes);

class UndoStore {
  public:
    /// `folder` is a host folder; with an empty one nothing is kept.
    explicit UndoStore(std::string folder);

    bool Keeping() const { return !folder_.empty(); }
    const std::string& Folder() const { return folder_; }
    /// The levels kept, oldest first; none when the file cannot be read.
    std::vector<std::vector<UndoEntry>> Levels() const;
    /// Adds `level` as the newest, dropping the oldest beyond the kept number.
    platform::FileError Append(const std::vector<UndoEntry>& level);
    /// Takes the newest level out of the file and returns it; nullopt when
    /// there is none (or it cannot be read, which `error` then says).
    std::optional<std::vector<UndoEntry>> TakeNewest(platform::FileError& error);

  private:
    std::string folder_;
};

}  // namespace kestrel::commit
