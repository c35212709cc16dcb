#include "commit/undo.h"

#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "platform/file_attributes.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::commit {
namespace {

// The same drive letter, or the same network prefix: the entry can go back by
// renaming.
bool SameVolumePrefix(std::string_view a, std::string_view b) {
    return a.substr(0, 2) == b.substr(0, 2);
}

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool Moves(StepKind kind) {
    return kind == StepKind::Rename || kind == StepKind::MoveAcrossDrives;
}

std::string NameOf(std::string_view path) {
    const std::size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// Where one entry stands, judged with both its names present or not.
enum class Standing { OldName, NewName, HalfMoved, Missing };

Standing StandingOf(platform::FileSystem& fileSystem, const UndoEntry& entry) {
    const bool oldThere = fileSystem.Exists(entry.oldPath);
    if (!fileSystem.Exists(entry.newPath)) {
        return oldThere ? Standing::OldName : Standing::Missing;
    }
    if (!oldThere) {
        return Standing::NewName;
    }
    if (!Moves(entry.kind)) {
        return Standing::OldName;
    }
    if (fileSystem.SameEntry(entry.newPath, entry.oldPath)) {
        // One file under both names: on a volume that ignores letter case a
        // change of case, else a move by link and unlink cut short.
        return text::EqualIgnoringCase(NameOf(entry.oldPath), NameOf(entry.newPath))
                   ? Standing::NewName
                   : Standing::HalfMoved;
    }
    // A move copies before it deletes: a whole copy beside its source is one
    // that stopped in between. Any other file under the new name was there
    // before, and the step never ran. A rename on one file system never
    // copies: there two like files (a commit whose entries wait on each other
    // stopped before it moved either) are two files, and both stay.
    if (entry.kind == StepKind::Rename &&
        fileSystem.OnOneFileSystem(entry.newPath, entry.oldPath)) {
        return Standing::OldName;
    }
    return fileSystem.IsCopyOf(entry.newPath, entry.oldPath) ? Standing::HalfMoved
                                                             : Standing::OldName;
}

// Walks a level newest first, telling `beforeRingCloses` when an entry is
// reached whose new name a later entry moved on from.
class RingWatch {
  public:
    explicit RingWatch(const BeforeRingCloses& beforeRingCloses)
        : beforeRingCloses_(beforeRingCloses) {}
    void Reached(const UndoEntry& entry) {
        if (beforeRingCloses_ && movedOnFrom_.contains(entry.newPath)) {
            beforeRingCloses_(dealtWith_);
        }
        movedOnFrom_.insert(entry.oldPath);
        ++dealtWith_;
    }

  private:
    const BeforeRingCloses& beforeRingCloses_;
    std::unordered_set<std::string_view> movedOnFrom_;
    std::size_t dealtWith_ = 0;
};

}  // namespace

EntryRestored RestoreEntry(platform::FileSystem& fileSystem, const UndoEntry& entry) {
    if (SameVolumePrefix(entry.oldPath, entry.newPath)) {
        // A letter may map to two file systems; Move copies across them.
        return {fileSystem.Move(entry.newPath, entry.oldPath), {}};
    }
    platform::FileError copied = fileSystem.Copy(entry.newPath, entry.oldPath);
    if (!copied.Ok()) {
        return {std::move(copied), {}};
    }
    return {{}, fileSystem.DeleteFile(entry.newPath)};
}

LevelRestored RestoreLevel(platform::FileSystem& fileSystem, const std::vector<UndoEntry>& entries,
                           const BeforeRingCloses& beforeRingCloses) {
    LevelRestored result;
    std::unordered_set<std::string> sweptFolders;
    RingWatch rings(beforeRingCloses);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        rings.Reached(*entry);
        // A copy back may land where a killed copy left its temporary file.
        if (const std::string folder = FolderOf(entry->oldPath);
            sweptFolders.insert(folder).second) {
            fileSystem.RemoveLeftoverCopies(folder);
        }
        // Never guessed at: an entry that is not what the commit left is
        // passed over, so that an undo cannot move a file the user put there.
        if (platform::FileError changed = ChangedSince(fileSystem, *entry); !changed.Ok()) {
            result.passedOver.push_back({*entry, changed});
            result.failed.push_back({*entry, std::move(changed)});
            continue;
        }
        EntryRestored restored = RestoreEntry(fileSystem, *entry);
        if (restored.error.Ok()) {
            ++result.restored;
        } else {
            result.failed.push_back({*entry, restored.error});
        }
        if (!restored.originalKept.Ok()) {
            result.keptTwice.push_back({*entry, std::move(restored.originalKept)});
        }
    }
    return result;
}

namespace {

EntryIdentity IdentityFrom(const platform::EntryDetails& details) {
    if (!details.error.Ok()) {
        return {};
    }
    const bool isFolder = (details.attributes & platform::kAttrFolder) != 0;
    // A folder's size and time change with what it holds; its place is what counts.
    return {true,
            isFolder,
            isFolder ? 0 : details.size,
            isFolder ? 0 : details.modifiedNanoseconds,
            details.device,
            details.fileNumber,
            details.hostPath};
}

}  // namespace

EntryIdentity IdentityOf(platform::FileSystem& fileSystem, const std::string& path) {
    return IdentityFrom(fileSystem.GetDetails(path));
}

platform::FileError ChangedSince(platform::FileSystem& fileSystem, const UndoEntry& entry) {
    if (!entry.identity.known) {
        return {};
    }
    const platform::EntryDetails details = fileSystem.GetDetails(entry.newPath);
    if (!details.error.Ok()) {
        return details.error;
    }
    // The same program path on another host folder: a drive letter mapped
    // elsewhere since.
    if (IdentityFrom(details) != entry.identity) {
        return {platform::kPathFileAccessError, text::Tr(kChangedSinceText.data())};
    }
    return {};
}

bool UnderNewName(platform::FileSystem& fileSystem, const UndoEntry& entry) {
    const Standing standing = StandingOf(fileSystem, entry);
    return standing == Standing::NewName || standing == Standing::HalfMoved;
}

std::vector<UnrestoredEntry> RestoreInterrupted(platform::FileSystem& fileSystem,
                                                const std::vector<UndoEntry>& entries,
                                                const BeforeRingCloses& beforeRingCloses) {
    std::vector<UnrestoredEntry> unrestored;
    std::unordered_set<std::string> sweptFolders;
    RingWatch rings(beforeRingCloses);
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        rings.Reached(*entry);
        if (const std::string folder = FolderOf(entry->oldPath);
            sweptFolders.insert(folder).second) {
            fileSystem.RemoveLeftoverCopies(folder);
        }
        platform::FileError error;
        switch (StandingOf(fileSystem, *entry)) {
            case Standing::OldName:
                break;
            case Standing::NewName: {
                // Back, but still under the new name too: reported, as the
                // user should know, with why the new one could not go.
                EntryRestored restored = RestoreEntry(fileSystem, *entry);
                error = restored.error.Ok() ? std::move(restored.originalKept)
                                            : std::move(restored.error);
                break;
            }
            case Standing::HalfMoved:
                // The file is whole under its old name; the extra name goes.
                error = fileSystem.DeleteFile(entry->newPath);
                break;
            case Standing::Missing:
                error = platform::FileError::Make(platform::kFileNotFound);
                break;
        }
        if (!error.Ok()) {
            unrestored.push_back({*entry, std::move(error)});
        }
    }
    return unrestored;
}

}  // namespace kestrel::commit
