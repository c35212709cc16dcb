#include "platform/temporary_copies.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <memory>

namespace kestrel::platform {
namespace {

constexpr std::string_view kPrefix = ".kestrel-";
constexpr std::string_view kSuffix = ".part";
constexpr std::size_t kRandomLength = 6;  // the "XXXXXX" of mkostemps

bool IsNameCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

bool IsTemporaryCopyName(std::string_view name) {
    if (name.size() != kPrefix.size() + kRandomLength + kSuffix.size() ||
        !name.starts_with(kPrefix) || !name.ends_with(kSuffix)) {
        return false;
    }
    const std::string_view random = name.substr(kPrefix.size(), kRandomLength);
    for (char c : random) {
        if (!IsNameCharacter(c)) {
            return false;
        }
    }
    return true;
}

int CreateTemporaryCopy(const std::string& hostFolder, TemporaryCopy& copy) {
    std::string path = hostFolder;
    if (path.empty() || path.back() != '/') {
        path.push_back('/');
    }
    path.append(kPrefix).append(kRandomLength, 'X').append(kSuffix);
    const int fd = ::mkostemps(path.data(), static_cast<int>(kSuffix.size()), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // Taken before anything is written: a sweep that finds the file unlocked
    // between the two calls removes an empty file, and the copy then fails
    // cleanly when it moves the name into place.
    if (::flock(fd, LOCK_EX) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(path.c_str());
        return error;
    }
    copy.fd = fd;
    copy.path = std::move(path);
    return 0;
}

int OpenAbandonedFile(int folderFd, const char* name, struct stat& info, bool forWriting) {
    const int fd =
        ::openat(folderFd, name,
                 (forWriting ? O_RDWR | O_APPEND : O_RDONLY) | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return -1;
    }
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || ::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

void RemoveLeftoverTemporaryCopies(const std::string& hostFolder) {
    std::unique_ptr<DIR, DirCloser> dir(::opendir(hostFolder.c_str()));
    if (!dir) {
        return;
    }
    const int folderFd = ::dirfd(dir.get());
    while (const dirent* item = ::readdir(dir.get())) {
        if (!IsTemporaryCopyName(item->d_name)) {
            continue;
        }
        struct stat info {};
        if (const int fd = OpenAbandonedFile(folderFd, item->d_name, info); fd >= 0) {
            ::unlinkat(folderFd, item->d_name, 0);
            ::close(fd);
        }
    }
}

namespace {

// One spelling per folder: "/a/b/" and "/a/b" are the same folder.
std::string_view FolderKey(std::string_view hostFolder) {
    if (hostFolder.size() > 1 && hostFolder.back() == '/') {
        hostFolder.remove_suffix(1);
    }
    return hostFolder;
}

}  // namespace

void LeftoverCopyRecord::NoteFolderRead(std::string_view hostFolder, bool sawTemporaryCopy) {
    if (sawTemporaryCopy) {
        NoteSwept(hostFolder);
    } else {
        clean_.emplace(FolderKey(hostFolder));
    }
}

bool LeftoverCopyRecord::MayHoldLeftovers(std::string_view hostFolder) const {
    return !clean_.contains(std::string(FolderKey(hostFolder)));
}

void LeftoverCopyRecord::NoteSwept(std::string_view hostFolder) {
    // A copy still being written survives a sweep: only a later read can
    // tell whether it was finished or abandoned.
    clean_.erase(std::string(FolderKey(hostFolder)));
}

}  // namespace kestrel::platform
