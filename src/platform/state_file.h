#pragma once

#include <string>
#include <string_view>

#include "platform/file_error.h"

// A small file of state kept between runs in a folder of the user's own
// (the undo log). Only the user may read or write it (mode 0600), it is
// replaced whole through a temporary file, and it stays locked while a run
// reads and rewrites it, so that two running copies take turns. Whatever
// stands under its name that is not a plain file, a symbolic link planted
// there included, is never followed: it reads as an error and is replaced,
// not written through, by the next write.
namespace kestrel::platform {

class LockedStateFile {
  public:
    LockedStateFile() = default;
    LockedStateFile(const LockedStateFile&) = delete;
    LockedStateFile& operator=(const LockedStateFile&) = delete;
    /// Gives up the lock.
    ~LockedStateFile();

    /// Waits for the lock on `name` in `folder` (created with mode 0700 when
    /// missing); the lock is a file beside it, `name` + ".lock".
    FileError Lock(const std::string& folder, const std::string& name);
    bool Locked() const { return lockFd_ >= 0; }

    /// The file's bytes; empty when it is not there yet.
    FileError Read(std::string& bytes) const;
    /// Replaces the file with `bytes`, on disk when it returns.
    FileError Write(std::string_view bytes);

  private:
    std::string folder_;
    std::string path_;
    int lockFd_ = -1;
};

}  // namespace kestrel::platform
