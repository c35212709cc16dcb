#pragma once

#include <sys/types.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/drive_table.h"
#include "platform/folder_watch.h"

namespace kestrel::platform {

/// False for a network or user-space file system (a statfs type), whose
/// changes made elsewhere reach no watch.
bool IsLocalFileSystemType(long type);

/// Inotify instances kept for the next watch. Closing an instance makes the
/// caller wait for the kernel's grace period, about 8 ms, which every listing
/// and every commit would pay; an instance whose watches are removed serves
/// the next listing instead.
class InotifyInstances {
  public:
    InotifyInstances() = default;
    ~InotifyInstances();
    InotifyInstances(const InotifyInstances&) = delete;
    InotifyInstances& operator=(const InotifyInstances&) = delete;

    /// A kept instance with nothing queued, else a new one; -1 when none can
    /// be made.
    int Take();
    /// Keeps `fd`, whose watches are all removed, or closes it when enough
    /// are kept.
    void Give(int fd);

  private:
    std::mutex mutex_;
    std::vector<int> spare_;
};

/// A FolderWatch on the kernel's inotify events. Folders on network and
/// user-space file systems are not watched: what changes there may come from
/// elsewhere, unseen. The events of a change are
/// queued by the call that makes it, so a change made a moment before
/// TakeChanges, by any process, is reported by it.
class InotifyFolderWatch final : public FolderWatch {
  public:
    /// `instances` lends the inotify instance and takes it back at the end;
    /// without it the instance is made and closed here.
    explicit InotifyFolderWatch(DriveTable drives,
                                std::shared_ptr<InotifyInstances> instances = nullptr);
    ~InotifyFolderWatch() override;
    InotifyFolderWatch(const InotifyFolderWatch&) = delete;
    InotifyFolderWatch& operator=(const InotifyFolderWatch&) = delete;

    bool Watch(std::size_t key, std::string_view folder) override;
    void TakeChanges(std::vector<std::size_t>& changed) override;
    bool StillWatched(std::size_t key) override;

  private:
    struct Watched {
        int descriptor = -1;  // -1 when not watched (any more)
        std::string hostPath;
        dev_t device = 0;
        ino_t inode = 0;
    };

    void NoteEvent(int descriptor, std::uint32_t mask, std::vector<std::size_t>& changed);
    void Forget(std::size_t key);

    DriveTable drives_;
    std::shared_ptr<InotifyInstances> instances_;
    int fd_ = -1;
    std::vector<Watched> watched_;
    /// A folder reached under two paths (two drive letters) has one descriptor.
    std::unordered_map<int, std::vector<std::size_t>> keysOf_;
};

}  // namespace kestrel::platform
