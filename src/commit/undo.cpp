#include "commit/undo.h"

#include <string>
#include <string_view>
#include <unordered_set>

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

}  // namespace

platform::FileError RestoreEntry(platform::FileSystem& fileSystem, const UndoEntry& entry) {
    if (SameVolumePrefix(entry.oldPath, entry.newPath)) {
        // A letter may map to two file systems; Move copies across them.
        return fileSystem.Move(entry.newPath, entry.oldPath);
    }
    platform::FileError copied = fileSystem.Copy(entry.newPath, entry.oldPath);
    if (!copied.Ok()) {
        return copied;
    }
    return fileSystem.DeleteFile(entry.newPath);
}

std::size_t RestoreLevel(platform::FileSystem& fileSystem, const std::vector<UndoEntry>& entries) {
    std::size_t restored = 0;
    std::unordered_set<std::string> sweptFolders;
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        // A copy back may land where a killed copy left its part file.
        if (const std::string folder = FolderOf(entry->oldPath);
            sweptFolders.insert(folder).second) {
            fileSystem.RemoveLeftoverCopies(folder);
        }
        if (RestoreEntry(fileSystem, *entry).Ok()) {
            ++restored;
        }
    }
    return restored;
}

}  // namespace kestrel::commit
