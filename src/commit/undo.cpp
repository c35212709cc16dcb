#include "commit/undo.h"

#include <string_view>

namespace kestrel::commit {
namespace {

// The same drive letter, or the same network prefix: the entry can go back by
// renaming.
bool SameVolumePrefix(std::string_view a, std::string_view b) {
    return a.substr(0, 2) == b.substr(0, 2);
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
    for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry) {
        if (RestoreEntry(fileSystem, *entry).Ok()) {
            ++restored;
        }
    }
    return restored;
}

}  // namespace kestrel::commit
