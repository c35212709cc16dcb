#include "platform/state_file.h"
#include "platform/user_folders.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

#include "platform/host_file_ops.h"

namespace kestrel::platform {
namespace {

constexpr mode_t kFileMode = 0600;

}  // namespace

LockedStateFile::~LockedStateFile() {
    if (lockFd_ >= 0) {
        ::close(lockFd_);
    }
}

FileError LockedStateFile::Lock(const std::string& folder, const std::string& name) {
    if (const int error = MakePrivateFolders(folder)) {
        return ErrorAt(error, folder);
    }
    folder_ = folder;
    path_ = folder + "/" + name;
    const std::string lockPath = path_ + ".lock";
    const int fd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kFileMode);
    if (fd < 0) {
        return ErrorAt(errno, lockPath);
    }
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            ::close(fd);
            return ErrorAt(error, lockPath);
        }
    }
    lockFd_ = fd;
    return {};
}

FileError LockedStateFile::Read(std::string& bytes) const {
    bytes.clear();
    const int fd = ::open(path_.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        return errno == ENOENT ? FileError{} : ErrorAt(errno, path_);
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return FileError::Make(kPathFileAccessError);
    }
    std::vector<char> buffer(64 * 1024);
    for (;;) {
        const ssize_t got = ::read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            const int error = errno;
            ::close(fd);
            return ErrorAt(error, path_);
        }
        if (got == 0) {
            break;
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
    ::close(fd);
    return {};
}

FileError LockedStateFile::Write(std::string_view bytes) {
    // Hidden, as every temporary file Kestrel makes beside the real one.
    std::string temporary = folder_ + "/." + path_.substr(folder_.size() + 1) + ".XXXXXX";
    // mkostemp makes the file with mode 0600, whatever the umask.
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return ErrorAt(errno, temporary);
    }
    int error = WriteAll(fd, bytes);
    if (error == 0 && ::fchmod(fd, kFileMode) != 0) {
        error = errno;
    }
    if (error == 0 && ::fsync(fd) != 0) {
        error = errno;
    }
    ::close(fd);
    // rename() replaces the name itself: a link planted there goes, and what
    // it pointed at stays as it was.
    if (error == 0 && ::rename(temporary.c_str(), path_.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        ::unlink(temporary.c_str());
        return ErrorAt(error, path_);
    }
    SyncFolder(folder_);
    return {};
}

}  // namespace kestrel::platform
