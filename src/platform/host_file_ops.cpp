#include "platform/host_file_ops.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "platform/temporary_copies.h"

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

// Gives the new file the permission bits and times of the source and puts
// its bytes on disk; 0 or the errno value.
int FinishCopy(int target, const struct stat& sourceInfo) {
    if (::fchmod(target, sourceInfo.st_mode & 07777) != 0) {
        return errno;
    }
    const struct timespec times[2] = {sourceInfo.st_atim, sourceInfo.st_mtim};
    if (::futimens(target, times) != 0) {
        return errno;
    }
    return ::fdatasync(target) == 0 ? 0 : errno;
}

bool IsLinkRefused(int error) {
    return error == EPERM || error == EOPNOTSUPP || error == EMLINK || error == ENOSYS;
}

// Creating the target name first makes the kernel refuse it to anyone else;
// the rename then replaces only the placeholder made here. Checking for the
// target and then renaming would replace whatever appeared in between.
int RenameOntoClaimedName(const std::string& from, const std::string& to, bool folder) {
    if (folder) {
        if (::mkdir(to.c_str(), 0700) != 0) {
            return errno;
        }
    } else {
        const int fd = ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            return errno;
        }
        ::close(fd);
    }
    if (::rename(from.c_str(), to.c_str()) == 0) {
        return 0;
    }
    const int error = errno;
    if (folder) {
        ::rmdir(to.c_str());
    } else {
        ::unlink(to.c_str());
    }
    return error;
}

int RenameWithoutNoReplaceFlag(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(from.c_str(), &info) != 0) {
        return errno;
    }
    // A hard link fails atomically when the target exists; folders cannot be
    // linked.
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
    return RenameOntoClaimedName(from, to, S_ISDIR(info.st_mode));
}

// symlink() fails when `to` exists, so a link needs no temporary copy.
FileError CopyLinkNoReplace(const std::string& from, const std::string& to,
                            const struct stat& info) {
    std::string target(static_cast<std::size_t>(info.st_size) + 1, '\0');
    for (;;) {
        const ssize_t length = ::readlink(from.c_str(), target.data(), target.size());
        if (length < 0) {
            return ErrorAt(errno, from);
        }
        if (static_cast<std::size_t>(length) < target.size()) {
            target.resize(static_cast<std::size_t>(length));
            break;
        }
        target.resize(target.size() * 2);  // the link changed since lstat
    }
    if (::symlink(target.c_str(), to.c_str()) != 0) {
        return ErrorAt(errno, to);
    }
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, to.c_str(), times, AT_SYMLINK_NOFOLLOW);
    SyncFolder(HostParentFolder(to));
    return {};
}

FileError CopyFileThroughPart(const std::string& from, const std::string& to) {
    // O_NONBLOCK keeps a pipe from blocking the open; it is refused below.
    UniqueFd source(::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC));
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
    // Copying a large file only to find its name taken at the end would waste
    // the user's time; the final no-replace rename still decides.
    struct stat existing {};
    if (::lstat(to.c_str(), &existing) == 0) {
        return FileError::Make(kFileAlreadyExists);
    }
    const std::string folder = HostParentFolder(to);
    TemporaryCopy temporary;
    if (const int error = CreateTemporaryCopy(folder, temporary)) {
        return ErrorAt(error, to);
    }
    UniqueFd target(temporary.fd);
    int error = CopyBytes(source.Get(), target.Get());
    if (error == 0) {
        error = FinishCopy(target.Get(), info);
    }
    if (error == 0) {
        error = RenameNoReplace(temporary.path, to);
    }
    if (error != 0) {
        ::unlink(temporary.path.c_str());
        return ErrorAt(error, to);
    }
    target.Close();
    SyncFolder(folder);
    return {};
}

}  // namespace

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
    return RenameWithoutNoReplaceFlag(from, to);
}

FileError CopyEntryNoReplace(const std::string& from, const std::string& to) {
    struct stat info {};
    if (::lstat(from.c_str(), &info) != 0) {
        return ErrorAt(errno, from);
    }
    if (S_ISLNK(info.st_mode)) {
        return CopyLinkNoReplace(from, to, info);
    }
    return CopyFileThroughPart(from, to);
}

bool HostIsCopyOf(const std::string& copy, const std::string& original) {
    struct stat a {};
    struct stat b {};
    if (::lstat(copy.c_str(), &a) != 0 || ::lstat(original.c_str(), &b) != 0 ||
        (a.st_mode & S_IFMT) != (b.st_mode & S_IFMT) || a.st_size != b.st_size ||
        a.st_mtim.tv_sec != b.st_mtim.tv_sec || a.st_mtim.tv_nsec != b.st_mtim.tv_nsec) {
        return false;
    }
    if (S_ISLNK(a.st_mode)) {
        std::string targetA(static_cast<std::size_t>(a.st_size) + 1, '\0');
        std::string targetB(targetA.size(), '\0');
        const ssize_t lengthA = ::readlink(copy.c_str(), targetA.data(), targetA.size());
        const ssize_t lengthB = ::readlink(original.c_str(), targetB.data(), targetB.size());
        return lengthA >= 0 && lengthA == lengthB && targetA == targetB;
    }
    if (!S_ISREG(a.st_mode)) {
        return false;
    }
    UniqueFd fileA(::open(copy.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    UniqueFd fileB(::open(original.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!fileA.Valid() || !fileB.Valid()) {
        return false;
    }
    std::vector<char> bufferA(kCopyBufferSize);
    std::vector<char> bufferB(kCopyBufferSize);
    for (;;) {
        const ssize_t gotA = ::read(fileA.Get(), bufferA.data(), bufferA.size());
        if (gotA < 0) {
            return false;
        }
        // Regular files give a full buffer until the end.
        std::size_t gotB = 0;
        while (gotB < static_cast<std::size_t>(gotA)) {
            const ssize_t got =
                ::read(fileB.Get(), bufferB.data() + gotB, static_cast<std::size_t>(gotA) - gotB);
            if (got <= 0) {
                return false;
            }
            gotB += static_cast<std::size_t>(got);
        }
        if (gotA == 0) {
            char extra = 0;
            return ::read(fileB.Get(), &extra, 1) == 0;
        }
        if (!std::equal(bufferA.begin(), bufferA.begin() + gotA, bufferB.begin())) {
            return false;
        }
    }
}

void SyncFolder(const std::string& hostFolder) {
    UniqueFd folder(::open(hostFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.Valid()) {
        ::fsync(folder.Get());
    }
}

FileError ReadWholeFile(const std::string& hostPath, std::string& bytes, std::size_t limit) {
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
    bytes.reserve(std::min(static_cast<std::size_t>(info.st_size), limit));
    std::vector<char> buffer(kCopyBufferSize);
    while (bytes.size() < limit) {
        const ssize_t got =
            ::read(file.Get(), buffer.data(), std::min(buffer.size(), limit - bytes.size()));
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
    return {};
}

int WriteNewFile(int fd, std::string_view bytes, const std::string& modelPath) {
    struct stat model {};
    mode_t mode = 0;
    if (::stat(modelPath.c_str(), &model) == 0 && S_ISREG(model.st_mode)) {
        mode = model.st_mode & 07777;
    } else {
        // A new file gets what the user's umask gives any new file.
        const mode_t mask = ::umask(0);
        ::umask(mask);
        mode = 0666 & ~mask;
    }
    if (::fchmod(fd, mode) != 0) {
        return errno;
    }
    if (const int error = WriteAll(fd, bytes)) {
        return error;
    }
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

}  // namespace kestrel::platform
