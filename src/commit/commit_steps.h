#pragma once

#include "commit/commit_plan.h"
#include "commit/undo_log.h"
#include "platform/file_error.h"
#include "platform/file_system.h"

// The file work of one commit entry. A failing step does not stop the entry:
// the steps after it still run and the last failure is the one reported, so
// that the user is asked once per entry.
namespace kestrel::commit {

struct StepResult {
    platform::FileError error;
    /// A folder entry now lives at its new path (its contents moved with it).
    bool folderMoved = false;
};

/// Renames, moves or copies (`copy`) the entry from its old path to its new
/// path, creating the folders its target needs. Nothing is ever replaced, and a
/// source is deleted only once its copy is complete. A new name no entry may
/// have fails with 52 before any step.
StepResult CommitEntry(platform::FileSystem& fileSystem, const EntryPlan& plan, bool copy);

/// The kind of step CommitEntry takes for the entry.
StepKind KindOf(const EntryPlan& plan, bool copy);

}  // namespace kestrel::commit
