#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

// The committed renames by level: each commit opens a level (also when it
// commits nothing) and each undo consumes the newest. Levels and entries grow
// as needed, so neither a large commit nor many commits in a row lose history.
namespace kestrel::commit {

/// How a commit took an entry to its new path, which tells a recovery after a
/// crash what a half-done step looks like.
enum class StepKind {
    Rename,            // one rename (or a move that copes with two file systems)
    MoveAcrossDrives,  // a copy to another drive letter, then the delete of the source
    Copy,              // "Copy": the source stays
    FolderTree,        // a folder whose new name only asked for sub-folders
};

/// What stood under an entry's new path when its commit ended, so that an
/// undo in a later run can tell the entry from one moved or changed since.
struct EntryIdentity {
    bool known = false;  // false: not checked (a temporary name, or not kept)
    bool isFolder = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // nanoseconds since 1970-01-01 UTC
    std::uint64_t device = 0;
    std::uint64_t fileNumber = 0;
    std::string hostPath{};  // the new path on this host
    bool operator==(const EntryIdentity&) const = default;
};

struct UndoEntry {
    std::string oldPath;  // full program path before the commit
    std::string newPath;  // full program path after it
    StepKind kind = StepKind::Rename;
    EntryIdentity identity{};
    bool operator==(const UndoEntry&) const = default;
};

class UndoLog {
  public:
    void OpenLevel() { levels_.emplace_back(); }
    /// Records into the newest level (opening one if none is open).
    void Record(std::string oldPath, std::string newPath, StepKind kind = StepKind::Rename) {
        if (levels_.empty()) {
            OpenLevel();
        }
        levels_.back().push_back({std::move(oldPath), std::move(newPath), kind, {}});
    }
    /// Replaces every level, oldest first (levels kept on disk).
    void Assign(std::vector<std::vector<UndoEntry>> levels) { levels_ = std::move(levels); }
    /// Adds a level as the newest.
    void Push(std::vector<UndoEntry> level) { levels_.push_back(std::move(level)); }
    /// The newest level's number; 0 when there is nothing to undo.
    int Level() const { return static_cast<int>(levels_.size()); }
    const std::vector<UndoEntry>& Newest() const { return levels_.back(); }
    std::vector<UndoEntry>& Newest() { return levels_.back(); }
    const std::vector<std::vector<UndoEntry>>& Levels() const { return levels_; }
    /// Removes the newest level and returns its entries in the order recorded.
    std::vector<UndoEntry> TakeNewest() {
        std::vector<UndoEntry> entries = std::move(levels_.back());
        levels_.pop_back();
        return entries;
    }

  private:
    std::vector<std::vector<UndoEntry>> levels_;
};

}  // namespace kestrel::commit
