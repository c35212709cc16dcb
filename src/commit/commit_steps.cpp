#include "commit/commit_steps.h"

#include <string>
#include <utility>

#include "platform/path_tools.h"
#include "text/program_path.h"

namespace kestrel::commit {
namespace {

// A later failure replaces an earlier one.
void Note(platform::FileError& record, platform::FileError result) {
    if (!result.Ok()) {
        record = std::move(result);
    }
}

bool SameDriveLetter(std::string_view a, std::string_view b) {
    return !a.empty() && !b.empty() && a.front() == b.front();
}

// Across drive letters the file is copied and the source deleted only after a
// complete copy. When the source cannot be deleted the copy goes again, so the
// entry is left as it was and may be retried.
platform::FileError CopyThenDelete(platform::FileSystem& fileSystem, const std::string& from,
                                   const std::string& to) {
    platform::FileError copied = fileSystem.Copy(from, to);
    if (!copied.Ok()) {
        return copied;
    }
    platform::FileError deleted = fileSystem.DeleteFile(from);
    if (!deleted.Ok()) {
        fileSystem.DeleteFile(to);
    }
    return deleted;
}

StepResult CommitFolder(platform::FileSystem& fileSystem, const EntryPlan& plan) {
    StepResult result;
    if (plan.targetFolder != plan.sourceFolder) {
        Note(result.error, fileSystem.MakeFolder(plan.targetFolder + plan.parts.name));
    }
    if (plan.smartFolder.empty()) {
        platform::FileError renamed = fileSystem.Rename(plan.OldPath(), plan.NewPath());
        result.folderMoved = renamed.Ok();
        Note(result.error, std::move(renamed));
    } else {
        // The folder stays; only the tree its new name asks for is made.
        platform::MakeFolderTree(fileSystem, plan.targetFolder + plan.smartFolder);
    }
    return result;
}

StepResult CommitFile(platform::FileSystem& fileSystem, const EntryPlan& plan, bool copy) {
    const std::string from = plan.OldPath();
    const std::string to = plan.NewPath();
    if (plan.targetFolder == plan.sourceFolder) {
        if (!plan.smartFolder.empty()) {
            platform::MakeFolderTree(fileSystem, plan.targetFolder + plan.smartFolder);
        }
        return {copy ? fileSystem.Copy(from, to) : fileSystem.Rename(from, to)};
    }
    platform::MakeFolderTree(fileSystem, plan.targetFolder);
    if (!plan.smartFolder.empty()) {
        platform::MakeFolderTree(fileSystem, plan.targetFolder + plan.smartFolder);
    }
    if (copy) {
        return {fileSystem.Copy(from, to)};
    }
    // One drive letter may still span two file systems; Move copes with that.
    if (SameDriveLetter(plan.targetFolder, plan.sourceFolder)) {
        return {fileSystem.Move(from, to)};
    }
    return {CopyThenDelete(fileSystem, from, to)};
}

}  // namespace

StepResult CommitEntry(platform::FileSystem& fileSystem, const EntryPlan& plan, bool copy) {
    // A name no entry may have (a "?" the autonumber left, a "/" or "..\"
    // typed into an insert) is refused before anything is made for it: on
    // this host "/" would make a folder, ".." would lead out of the target
    // folder and a "?" entry would vanish from the listing.
    if (!text::IsAcceptableNewName(plan.newName)) {
        return {platform::FileError::Make(platform::kBadFileName)};
    }
    return plan.parts.isFolder ? CommitFolder(fileSystem, plan)
                               : CommitFile(fileSystem, plan, copy);
}

StepKind KindOf(const EntryPlan& plan, bool copy) {
    if (plan.parts.isFolder) {
        return plan.smartFolder.empty() ? StepKind::Rename : StepKind::FolderTree;
    }
    if (copy) {
        return StepKind::Copy;
    }
    const bool otherDrive = plan.targetFolder != plan.sourceFolder &&
                            !SameDriveLetter(plan.targetFolder, plan.sourceFolder);
    return otherDrive ? StepKind::MoveAcrossDrives : StepKind::Rename;
}

}  // namespace kestrel::commit
