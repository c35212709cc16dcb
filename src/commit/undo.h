#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "commit/undo_log.h"
#include "platform/file_error.h"
#include "platform/file_system.h"
#include "text/translation.h"

// Bringing the entries of one commit back from their new paths.
namespace kestrel::commit {

/// What became of one entry taken back.
struct EntryRestored {
    /// Set when the entry is not back under its old path.
    platform::FileError error;
    /// Set when it came back by a copy whose original, under the new path,
    /// could not be deleted: the entry is then there twice, whole both times.
    platform::FileError originalKept;
};

/// Moves one entry back to its old path; across drives it is copied back and
/// the new path deleted only after the copy succeeded. Nothing is replaced.
EntryRestored RestoreEntry(platform::FileSystem& fileSystem, const UndoEntry& entry);

struct UnrestoredEntry {
    UndoEntry entry;
    platform::FileError error;
};

struct LevelRestored {
    std::size_t restored = 0;
    /// Entries not back under their old paths, with why, in the order tried.
    std::vector<UnrestoredEntry> failed;
    /// Those of them passed over without a try because what stands under the
    /// new path is not what the commit left there, or nothing does.
    std::vector<UnrestoredEntry> passedOver;
    /// Entries back under their old paths that are also still under their new
    /// ones, with why the new one could not go.
    std::vector<UnrestoredEntry> keptTwice;
};

/// The description of the error an entry moved or changed since its commit
/// is passed over with, in English; the error carries it in the user's language.
inline constexpr std::string_view kChangedSinceText = N_("Moved or changed since it was renamed");

/// What stands under the entry's new path, against what its commit left there
/// (EntryIdentity); the error it is passed over with, or none when it is the
/// same or was not kept.
platform::FileError ChangedSince(platform::FileSystem& fileSystem, const UndoEntry& entry);

/// What stands under the entry's new path now, for a later ChangedSince.
EntryIdentity IdentityOf(platform::FileSystem& fileSystem, const std::string& path);

/// Called before an entry goes back that a later entry of the level took on
/// from its new name (a ring of renames, through a temporary name), with how
/// many entries at the level's end are dealt with. A ring closed and a ring
/// not begun look alike on disk, so a journal must know those as done before
/// the ring closes again.
using BeforeRingCloses = std::function<void(std::size_t dealtWith)>;

/// Restores a level's entries newest first, so that the files of a renamed
/// folder come back before the folder takes its old name again. Failures are
/// passed over.
LevelRestored RestoreLevel(platform::FileSystem& fileSystem, const std::vector<UndoEntry>& entries,
                           const BeforeRingCloses& beforeRingCloses = {});

// The entries of a commit or undo that stopped halfway. Each step may or may
// not have run, or may have stopped between the copy and the delete of a
// move; what is on disk tells which.

/// True when the entry is under its new name, wholly or as a move that
/// stopped between its copy and its delete.
bool UnderNewName(platform::FileSystem& fileSystem, const UndoEntry& entry);

/// Gives the entries their old names again, newest first, by the undo's
/// rules: nothing is replaced, a move across drives is copied back before
/// its copy is deleted, and of a move that stopped after its copy only the
/// copy is deleted. Entries already under their old names, and copies, stay
/// as they are. Returns the entries that could not be restored.
std::vector<UnrestoredEntry> RestoreInterrupted(platform::FileSystem& fileSystem,
                                                const std::vector<UndoEntry>& entries,
                                                const BeforeRingCloses& beforeRingCloses = {});

}  // namespace kestrel::commit
