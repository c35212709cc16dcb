#include "platform/host_file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <vector>

namespace kestrel::platform {
namespace {

constexpr std::size_t kCopyBufferSize = 256 * 1024;

// Owns one file descriptor; closing is explicit where its result matters.
class UniqueFd {
  public:
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Close(); }

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    /// Closes now; 0 or the errno value of close().
    int Close() {
        if (fd_ < 0) {
            return 0;
        }
        const int result = ::close(fd_);
        fd_ = -1;
        return result == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

int WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

int CopyBytes(int source, int target) {
    std::vector<char> buffer(kCopyBufferSize);
    for (;;) {
        const ssize_t got = ::read(source, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return errno;
        }
        if (got == 0) {
            return 0;
        }
        if (const int error = WriteAll(target, {buffer.data(), static_cast<std::size_t>(got)})) {
            return error;
        }
    }
}

// Gives the new file the permission bits and times of the source and puts it
// on disk; 0 or the errno value.
int FinishCopy(UniqueFd& target, const struct stat& sourceInfo) {
    if (::fchmod(target.Get(), sourceInfo.st_mode & 07777) != 0) {
        return errno;
    }
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    if (::futimens(target.Get(), times) != 0) {
        return errno;
    }
    if (::fsync(target.Get()) != 0) {
        return errno;
    }
    return target.Close();
}

bool IsLinkRefused(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

int RenameCheckingTarget(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(from.c_str(), &info) != 0) {
        return errno;
    }
    // A hard link fails atomically when the target exists, which keeps the
    // no-replace guarantee; folders cannot be linked.
    if (!S_ISDIR(info.st_mode)) {
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0) {
                return 0;
            }
            const int error = errno;
            ::unlink(to.c_str());
            return error;
        }
        if (!IsLinkRefused(errno)) {
            return errno;
        }
    }
    // Without hard links the check and the rename are two steps; Kestrel
    // itself never creates the target in between.
    if (::lstat(to.c_str(), &info) == 0) {
        return EEXIST;
    }
    if (errno != ENOENT) {
        return errno;
    }
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

}  // namespace

std::string HostParentFolder(std::string_view hostPath) {
    while (hostPath.size() > 1 && hostPath.back() == '/') {
        hostPath.remove_suffix(1);
    }
    const auto slash = hostPath.rfind('/');
    if (slash == std::string_view::npos) {
        return ".";
    }
    if (slash == 0) {
        return "/";
    }
    return std::string(hostPath.substr(0, slash));
}

std::string HostBaseName(std::string_view hostPath) {
    while (hostPath.size() > 1 && hostPath.back() == '/') {
        hostPath.remove_suffix(1);
    }
    const auto slash = hostPath.rfind('/');
    if (slash == std::string_view::npos || hostPath == "/") {
        return std::string(hostPath);
    }
    return std::string(hostPath.substr(slash + 1));
}

bool IsHostFolder(const std::string& hostPath) {
    struct stat info {};
    return ::stat(hostPath.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

FileError ErrorAt(int errnoValue, const std::string& hostPath) {
    const bool parentExists = errnoValue == ENOENT && IsHostFolder(HostParentFolder(hostPath));
    return FileErrorFromErrno(errnoValue, parentExists);
}

int RenameNoReplace(const std::string& from, const std::string& to) {
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) {
        return 0;
    }
    const int error = errno;
    // EINVAL is also what renaming a folder into itself gives; the fallback
    // then fails the same way.
    if (error != EINVAL && error != ENOSYS && error != EOPNOTSUPP) {
        return error;
    }
    return RenameCheckingTarget(from, to);
}

FileError CopyFileNoReplace(const std::string& from, const std::string& to) {
    // O_NONBLOCK keeps a pipe from blocking the open; it is refused below.
    UniqueFd source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!source.Valid()) {
        return ErrorAt(errno, from);
    }
    struct stat info {};
    if (::fstat(source.Get(), &info) != 0) {
        return ErrorAt(errno, from);
    }
    if (!S_ISREG(info.st_mode)) {
        return FileError::Make(kPathFileAccessError);
    }
    // Private until complete; FinishCopy sets the source's bits.
    UniqueFd target(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (!target.Valid()) {
        return ErrorAt(errno, to);
    }
    int error = CopyBytes(source.Get(), target.Get());
    if (error == 0) {
        error = FinishCopy(target, info);
    }
    if (error != 0) {
        target.Close();
        ::unlink(to.c_str());
        return ErrorAt(error, to);
    }
    return {};
}

void SyncFolder(const std::string& hostFolder) {
    UniqueFd folder(::open(hostFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        ::fsync(folder.Get());
    }
}

FileError ReadWholeFile(const std::string& hostPath, std::string& bytes) {
    bytes.clear();
    UniqueFd file(::open(hostPath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!file.Valid()) {
        return ErrorAt(errno, hostPath);
    }
    struct stat info {};
    if (::fstat(file.Get(), &info) != 0) {
        return ErrorAt(errno, hostPath);
    }
    if (!S_ISREG(info.st_mode)) {
        return FileError::Make(kPathFileAccessError);
    }
    bytes.reserve(static_cast<std::size_t>(info.st_size));
    std::vector<char> buffer(kCopyBufferSize);
    for (;;) {
        const ssize_t got = ::read(file.Get(), buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            const int error = errno;
            bytes.clear();
            return ErrorAt(error, hostPath);
        }
        if (got == 0) {
            return {};
        }
        bytes.append(buffer.data(), static_cast<std::size_t>(got));
    }
}

int WriteNewFile(const std::string& temporaryPath, std::string_view bytes,
                 const std::string& modelPath) {
    UniqueFd file(::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (!file.Valid()) {
        return errno;
    }
    int error = 0;
    struct stat model {};
    if (::stat(modelPath.c_str(), &model) == 0 && S_ISREG(model.st_mode) &&
        ::fchmod(file.Get(), model.st_mode & 07777) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = WriteAll(file.Get(), bytes);
    }
    if (error == 0 && ::fsync(file.Get()) != 0) {
        error = errno;
    }
    if (error == 0) {
        error = file.Close();
    }
    if (error != 0) {
        file.Close();
        ::unlink(temporaryPath.c_str());
    }
    return error;
}

}  // namespace kestrel::platform
