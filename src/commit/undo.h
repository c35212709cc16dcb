#pragma once

#include <cstddef>
#include <vector>

#include "commit/undo_log.h"
#include "platform/file_error.h"
#include "platform/file_system.h"

// Bringing the entries of one commit back from their new paths.
namespace kestrel::commit {

/// Moves one entry back to its old path; across drives it is copied back and
/// the new path deleted only after the copy succeeded. Nothing is replaced.
platform::FileError RestoreEntry(platform::FileSystem& fileSystem, const UndoEntry& entry);

/// Restores a level's entries newest first, so that the files of a renamed
/// folder come back before the folder takes its old name again. Failures are
/// passed over; returns how many entries came back.
std::size_t RestoreLevel(platform::FileSystem& fileSystem, const std::vector<UndoEntry>& entries);

}  // namespace kestrel::commit
