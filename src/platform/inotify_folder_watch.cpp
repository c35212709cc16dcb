#include "platform/inotify_folder_watch.h"

#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <utility>

namespace kestrel::platform {
namespace {

// Everything that can change which names a folder holds, or what they are.
constexpr std::uint32_t kChangeEvents =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_ATTRIB;
// The folder itself went away from its path.
constexpr std::uint32_t kGoneEvents = IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED | IN_UNMOUNT;

// Room for many events at once; a single one needs at most the header and a
// name of NAME_MAX bytes.
constexpr std::size_t kEventBufferSize = 16 * 1024;

// File systems whose changes may come from elsewhere (another computer, a
// user-space server) without the kernel seeing them: a watch there would say
// nothing while the folder changes.
constexpr long kUnwatchedFileSystems[] = {
    0x6969,      // NFS
    0x517B,      // SMB
    0xFF534D42,  // CIFS
    0xFE534D42,  // SMB2
    0x65735546,  // FUSE
    0x564C,      // NCP
    0x73757245,  // Coda
    0x5346414F,  // AFS
    0x6B414653,  // kAFS
    0x01021997,  // 9P
    0x47504653,  // GPFS
    0x0BD00BD0,  // Lustre
    0x19830326,  // FhGFS / BeeGFS
    0x00C36400,  // Ceph
};

bool KernelSeesEveryChange(const std::string& hostPath) {
    struct statfs info {};
    if (::statfs(hostPath.c_str(), &info) != 0) {
        return false;
    }
    return IsLocalFileSystemType(static_cast<long>(info.f_type));
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

bool IsLocalFileSystemType(long type) {
    for (const long unwatched : kUnwatchedFileSystems) {
        if (static_cast<std::uint32_t>(type) == static_cast<std::uint32_t>(unwatched)) {
            return false;
        }
    }
    return true;
}

namespace {

// Reads and drops every queued event of `fd`.
void DropQueuedEvents(int fd) {
    alignas(inotify_event) char buffer[kEventBufferSize];
    for (;;) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;
        }
    }
}

// Two are enough: one in use by the listing on screen, one by the next.
constexpr std::size_t kSpareInstances = 2;

}  // namespace

InotifyInstances::~InotifyInstances() {
    for (const int fd : spare_) {
        ::close(fd);
    }
}

int InotifyInstances::Take() {
    {
        const std::lock_guard lock(mutex_);
        if (!spare_.empty()) {
            const int fd = spare_.back();
            spare_.pop_back();
            // What the removed watches queued last (their IN_IGNORED) is
            // nothing to the next listing.
            DropQueuedEvents(fd);
            return fd;
        }
    }
    return ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
}

void InotifyInstances::Give(int fd) {
    {
        const std::lock_guard lock(mutex_);
        if (spare_.size() < kSpareInstances) {
            spare_.push_back(fd);
            return;
        }
    }
    ::close(fd);
}

InotifyFolderWatch::InotifyFolderWatch(DriveTable drives,
                                       std::shared_ptr<InotifyInstances> instances)
    : drives_(std::move(drives)),
      instances_(std::move(instances)),
      fd_(instances_ ? instances_->Take() : ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

InotifyFolderWatch::~InotifyFolderWatch() {
    if (fd_ < 0) {
        return;
    }
    if (!instances_) {
        ::close(fd_);
        return;
    }
    for (const auto& [descriptor, keys] : keysOf_) {
        ::inotify_rm_watch(fd_, descriptor);
    }
    instances_->Give(fd_);
}

bool InotifyFolderWatch::Watch(std::size_t key, std::string_view folder) {
    const auto host = drives_.ToHostPath(folder);
    if (fd_ < 0 || !host) {
        return false;
    }
    Watched watched{-1, WithoutTrailingSlash(*host), 0, 0};
    // The identity is taken before the watch is added: if the folder is
    // replaced in between, StillWatched sees another folder and says no.
    struct stat info {};
    if (::stat(watched.hostPath.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return false;
    }
    if (!KernelSeesEveryChange(watched.hostPath)) {
        return false;
    }
    watched.device = info.st_dev;
    watched.inode = info.st_ino;
    watched.descriptor = ::inotify_add_watch(fd_, watched.hostPath.c_str(),
                                             kChangeEvents | kGoneEvents | IN_ONLYDIR);
    // ENOSPC: the user's watch limit is reached; the caller reads instead.
    if (watched.descriptor < 0) {
        return false;
    }
    if (key >= watched_.size()) {
        watched_.resize(key + 1);
    }
    if (watched_[key].descriptor >= 0) {
        Forget(key);
    }
    keysOf_[watched.descriptor].push_back(key);
    watched_[key] = std::move(watched);
    return true;
}

void InotifyFolderWatch::TakeChanges(std::vector<std::size_t>& changed) {
    if (fd_ < 0) {
        return;
    }
    alignas(inotify_event) char buffer[kEventBufferSize];
    for (;;) {
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return;  // EAGAIN: nothing more is queued
        }
        for (ssize_t at = 0; at < got;) {
            inotify_event event{};
            std::memcpy(&event, buffer + at, sizeof event);
            NoteEvent(event.wd, event.mask, changed);
            at += static_cast<ssize_t>(sizeof event + event.len);
        }
    }
}

void InotifyFolderWatch::NoteEvent(int descriptor, std::uint32_t mask,
                                   std::vector<std::size_t>& changed) {
    if ((mask & IN_Q_OVERFLOW) != 0) {
        // Events were lost: any folder may have changed.
        for (std::size_t key = 0; key < watched_.size(); ++key) {
            if (watched_[key].descriptor >= 0) {
                changed.push_back(key);
            }
        }
        return;
    }
    const auto keys = keysOf_.find(descriptor);
    if (keys == keysOf_.end()) {
        return;  // an event queued before its watch was forgotten
    }
    const std::vector<std::size_t> affected = keys->second;
    changed.insert(changed.end(), affected.begin(), affected.end());
    if ((mask & kGoneEvents) != 0) {
        for (const std::size_t key : affected) {
            Forget(key);
        }
    }
}

void InotifyFolderWatch::Forget(std::size_t key) {
    const int descriptor = std::exchange(watched_[key].descriptor, -1);
    const auto keys = keysOf_.find(descriptor);
    if (keys == keysOf_.end()) {
        return;
    }
    std::erase(keys->second, key);
    if (keys->second.empty()) {
        keysOf_.erase(keys);
        ::inotify_rm_watch(fd_, descriptor);  // fails harmlessly when already gone
    }
}

bool InotifyFolderWatch::StillWatched(std::size_t key) {
    if (key >= watched_.size() || watched_[key].descriptor < 0) {
        return false;
    }
    const Watched& watched = watched_[key];
    struct stat info {};
    return ::stat(watched.hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_dev == watched.device && info.st_ino == watched.inode;
}

}  // namespace kestrel::platform
