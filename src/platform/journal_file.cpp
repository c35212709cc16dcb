#include "platform/journal_file.h"
#include "platform/user_folders.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <memory>
#include <utility>

#include "platform/host_file_ops.h"
#include "platform/temporary_copies.h"

namespace kestrel::platform {
namespace {

constexpr std::string_view kPrefix = "journal-";
constexpr std::string_view kNewPrefix = ".journal-";
constexpr std::string_view kNewSuffix = ".new";
constexpr std::size_t kRandomLength = 6;  // the "XXXXXX" of mkostemps
constexpr int kNameAttempts = 16;

struct DirCloser {
    void operator()(DIR* dir) const { ::closedir(dir); }
};

bool IsRandomPart(std::string_view text) {
    return text.size() == kRandomLength && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
           });
}

bool IsJournalName(std::string_view name) {
    return name.starts_with(kPrefix) && IsRandomPart(name.substr(kPrefix.size()));
}

bool IsNewJournalName(std::string_view name) {
    return name.starts_with(kNewPrefix) && name.ends_with(kNewSuffix) &&
           IsRandomPart(
               name.substr(kNewPrefix.size(), name.size() - kNewPrefix.size() - kNewSuffix.size()));
}

int WriteDurably(int fd, std::string_view bytes) {
    if (const int error = WriteAll(fd, bytes)) {
        return error;
    }
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

struct Found {
    JournalFile file;
    std::int64_t modified = 0;
};

}  // namespace

JournalFile::JournalFile(JournalFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

JournalFile& JournalFile::operator=(JournalFile&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

JournalFile::~JournalFile() {
    Close();
}

void JournalFile::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

FileError JournalFile::Create(const std::string& folder, std::string_view firstRecords,
                              JournalFile& journal) {
    if (const int error = MakePrivateFolders(folder)) {
        return ErrorAt(error, folder + "/");
    }
    int error = 0;
    // A start-up sweep of another copy may take the new file for a leftover
    // in the moment before it is locked; the name is then gone, and a second
    // try starts afresh.
    for (int attempt = 0; attempt < 2; ++attempt) {
        error = journal.CreateOnce(folder, firstRecords);
        if (error != ENOENT) {
            break;
        }
    }
    return error == 0 ? FileError{} : ErrorAt(error, folder + "/" + std::string(kPrefix));
}

int JournalFile::CreateOnce(const std::string& folder, std::string_view firstRecords) {
    std::string newPath = folder + "/" + std::string(kNewPrefix) + std::string(kRandomLength, 'X') +
                          std::string(kNewSuffix);
    const int fd = ::mkostemps(newPath.data(), static_cast<int>(kNewSuffix.size()), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    JournalFile created;
    created.fd_ = fd;
    // Locked before it has a name another copy would look at.
    int error = ::flock(fd, LOCK_EX) == 0 ? 0 : errno;
    if (error == 0) {
        error = WriteDurably(fd, firstRecords);
    }
    const std::string random = newPath.substr(folder.size() + 1 + kNewPrefix.size(), kRandomLength);
    std::string path = folder + "/" + std::string(kPrefix) + random;
    for (int attempt = 0; error == 0 && attempt < kNameAttempts; ++attempt) {
        error = RenameNoReplace(newPath, path);
        if (error != EEXIST) {
            break;
        }
        path = folder + "/" + std::string(kPrefix) + random.substr(0, kRandomLength - 1) +
               static_cast<char>('a' + attempt);
    }
    if (error != 0) {
        ::unlink(newPath.c_str());
        return error;
    }
    SyncFolder(folder);
    created.path_ = std::move(path);
    *this = std::move(created);
    return 0;
}

FileError JournalFile::AppendDurably(std::string_view records) {
    if (const int error = WriteDurably(fd_, records)) {
        return ErrorAt(error, path_);
    }
    return {};
}

FileError JournalFile::ReadAll(std::string& bytes) const {
    return ReadWholeFile(path_, bytes);
}

void JournalFile::Remove() {
    if (!path_.empty() && ::unlink(path_.c_str()) == 0) {
        SyncFolder(HostParentFolder(path_));
    }
    Close();
    path_.clear();
}

std::vector<JournalFile> TakeAbandonedJournals(const std::string& folder) {
    std::vector<Found> found;
    std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
    if (!dir) {
        return {};
    }
    const int folderFd = ::dirfd(dir.get());
    while (const dirent* item = ::readdir(dir.get())) {
        const bool journal = IsJournalName(item->d_name);
        if (!journal && !IsNewJournalName(item->d_name)) {
            continue;
        }
        struct stat info {};
        // For writing too: a recovery notes on it what it has put back.
        const int fd = OpenAbandonedFile(folderFd, item->d_name, info, true);
        if (fd < 0) {
            continue;  // written by a running copy right now
        }
        if (!journal) {
            // Killed before its first records were on disk: nothing happened yet.
            ::unlinkat(folderFd, item->d_name, 0);
            ::close(fd);
            continue;
        }
        Found entry;
        entry.file.fd_ = fd;
        entry.file.path_ = folder + "/" + item->d_name;
        entry.modified =
            static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1'000'000'000 + info.st_mtim.tv_nsec;
        found.push_back(std::move(entry));
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return a.modified > b.modified; });
    std::vector<JournalFile> journals;
    for (Found& entry : found) {
        journals.push_back(std::move(entry.file));
    }
    return journals;
}

}  // namespace kestrel::platform
