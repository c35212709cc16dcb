#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

// Tells which folders changed since they were read, so that what a listing
// read of a folder can be trusted until something in it changes, without
// asking the disk again for each name.
namespace kestrel::platform {

class FolderWatch {
  public:
    virtual ~FolderWatch() = default;

    /// Watches `folder` (a program path) under `key` from now on. Call it
    /// before the folder is read: what changes after the call is reported.
    /// False when the folder cannot be watched; nothing is then reported for it.
    virtual bool Watch(std::size_t key, std::string_view folder) = 0;
    /// Appends the keys of the folders in which an entry was made, removed,
    /// moved in or out or had its marks changed since the last call; every
    /// watched key when more happened than the watch could keep track of.
    virtual void TakeChanges(std::vector<std::size_t>& changed) = 0;
    /// Whether the folder watched under `key` is still the one its path names
    /// (not moved, removed or put in another place by a move of a folder above
    /// it). One metadata call.
    virtual bool StillWatched(std::size_t key) = 0;
};

}  // namespace kestrel::platform
