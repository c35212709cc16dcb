#include "platform/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <span>

#include "platform/entry_metadata.h"
#include "platform/file_attributes.h"
#include "platform/host_file_ops.h"
#include "platform/inotify_folder_watch.h"
#include "platform/temporary_copies.h"
#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

constexpr int kTemporaryNameAttempts = 100;

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

FileError PathNotFound() {
    return FileError::Make(kPathNotFound);
}

// An error opening a folder: the pattern "folder/*" has the folder itself as
// its parent, so a missing folder reads as 76 "Path not found".
FileError FolderOpenError(int errnoValue, const std::string& hostFolder) {
    return ErrorAt(errnoValue, hostFolder + "/*");
}

class DirCloser {
  public:
    void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// Reads a folder in batches: the names of a batch first, then what the
// listing asked of each of them, all at once so that the metadata calls can
// run side by side.
class PosixFolderReader final : public FolderReader {
  public:
    PosixFolderReader(DirHandle dir, std::string hostFolder,
                      std::shared_ptr<LeftoverCopyRecord> leftoverCopies)
        : dir_(std::move(dir)),
          hostFolder_(std::move(hostFolder)),
          leftoverCopies_(std::move(leftoverCopies)) {
        if (hostFolder_.size() > 1 && hostFolder_.back() == '/') {
            hostFolder_.pop_back();
        }
    }

    bool Next(DirEntry& entry) override {
        for (;;) {
            while (next_ < filled_) {
                const EntryMetadata& item = batch_[next_++];
                if (item.present) {
                    ProgramNameFromHostInto(item.hostName, entry.name);
                    entry.isLink = item.isLink;
                    entry.attributes = AttributesOf(item.hostName, item.info, item.dosBits);
                    if (needs_.stamps) {
                        entry.modified =
                            static_cast<std::int64_t>(item.info.st_mtim.tv_sec) * 1'000'000'000 +
                            item.info.st_mtim.tv_nsec;
                        entry.size = S_ISDIR(item.info.st_mode)
                                         ? 0
                                         : static_cast<std::uint64_t>(item.info.st_size);
                    }
                    return true;
                }
            }
            if (!ReadBatch()) {
                return false;
            }
        }
    }

    const FileError& Error() const override { return error_; }
    void LimitAttributes(AttributeNeeds needs) override { needs_ = needs; }

  private:
    // Small at first, so that a small folder costs little, larger after.
    static constexpr std::size_t kFirstBatch = 64;
    static constexpr std::size_t kLargestBatch = 8192;

    // False at the end of the folder or when reading it failed.
    bool ReadBatch() {
        const std::size_t size = filled_ == 0 ? kFirstBatch : kLargestBatch;
        if (batch_.size() < size) {
            batch_.resize(size);
        }
        filled_ = 0;
        next_ = 0;
        while (filled_ < size && !atEnd_) {
            errno = 0;
            const dirent* item = ::readdir(dir_.get());
            if (item == nullptr) {
                atEnd_ = true;
                if (errno != 0) {
                    error_ = FolderOpenError(errno, hostFolder_);
                } else {
                    leftoverCopies_->NoteFolderRead(hostFolder_, sawTemporaryCopy_);
                }
            } else if (IsTemporaryCopyName(item->d_name)) {
                sawTemporaryCopy_ = true;
            } else if (!IsDotOrDotDot(item->d_name)) {
                EntryMetadata& entry = batch_[filled_++];
                entry.hostName.assign(item->d_name);
                entry.type = item->d_type;
                entry.present = true;
                entry.dosBits.reset();
            }
        }
        const MetadataSource source{::dirfd(dir_.get()), &hostFolder_, needs_,
                                    &storedMarksSupported_};
        ReadEntryMetadata(source, std::span(batch_).first(filled_));
        return filled_ > 0;
    }

    DirHandle dir_;
    std::string hostFolder_;
    std::vector<EntryMetadata> batch_;  // reused, with the names' buffers
    std::size_t filled_ = 0;
    std::size_t next_ = 0;
    bool atEnd_ = false;
    bool sawTemporaryCopy_ = false;
    std::shared_ptr<LeftoverCopyRecord> leftoverCopies_;
    std::atomic<bool> storedMarksSupported_ = true;
    AttributeNeeds needs_;
    FileError error_;
};

bool IsHostPathText(std::string_view path) {
    return path.starts_with('/') || path.starts_with('~');
}

// A new entry's path that this host would read differently from the program:
// a "/" inside a program path would make a folder of part of a name, "." and
// ".." lead elsewhere, a zero byte cuts the path short, and an empty last
// component names the folder instead of an entry in it.
bool IsSafeNewEntryPath(std::string_view programPath, std::string_view hostPath) {
    if (programPath.find('\0') != std::string_view::npos ||
        (!IsHostPathText(programPath) && programPath.find('/') != std::string_view::npos)) {
        return false;
    }
    if (hostPath.size() > 1 && hostPath.back() == '/') {
        hostPath.remove_suffix(1);
    }
    for (;;) {
        const std::size_t slash = hostPath.find('/');
        const std::string_view component = hostPath.substr(0, slash);
        if (component == "." || component == "..") {
            return false;
        }
        if (slash == std::string_view::npos) {
            return !component.empty();
        }
        hostPath.remove_prefix(slash + 1);
    }
}

FileError BadFileName() {
    return FileError::Make(kBadFileName);
}

FileError RenameError(int errnoValue, const std::string& from, const std::string& to) {
    if (errnoValue == 0) {
        return {};
    }
    // ENOENT concerns the source when it is missing, else the target's folder.
    struct stat info {};
    const bool sourceExists = ::lstat(from.c_str(), &info) == 0;
    return ErrorAt(errnoValue, sourceExists ? to : from);
}

}  // namespace

PosixFileSystem::PosixFileSystem(DriveTable drives)
    : drives_(std::move(drives)), effectiveUser_(::geteuid()), effectiveGroup_(::getegid()) {
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
        groups_.resize(static_cast<std::size_t>(count));
        const int got = ::getgroups(count, groups_.data());
        groups_.resize(static_cast<std::size_t>(std::max(got, 0)));
    }
}

std::optional<std::string> PosixFileSystem::HostPath(std::string_view programPath) const {
    return drives_.ToHostPath(programPath);
}

bool PosixFileSystem::MayRead(const struct stat& info) const {
    if (effectiveUser_ == 0) {
        return true;
    }
    if (info.st_uid == effectiveUser_) {
        return (info.st_mode & S_IRUSR) != 0;
    }
    const bool inGroup = info.st_gid == effectiveGroup_ ||
                         std::find(groups_.begin(), groups_.end(), info.st_gid) != groups_.end();
    if (inGroup) {
        return (info.st_mode & S_IRGRP) != 0;
    }
    return (info.st_mode & S_IROTH) != 0;
}

std::string PosixFileSystem::TemporaryNameBeside(const std::string& hostPath) {
    std::string folder = HostParentFolder(hostPath);
    if (folder.back() != '/') {
        folder.push_back('/');
    }
    return folder + ".kestrel-" + std::to_string(::getpid()) + "-" +
           std::to_string(++temporaryCounter_) + ".tmp";
}

std::unique_ptr<FolderReader> PosixFileSystem::OpenFolder(std::string_view folder,
                                                          FileError& error) {
    const auto host = HostPath(folder);
    if (!host) {
        error = PathNotFound();
        return nullptr;
    }
    DirHandle dir(::opendir(host->c_str()));
    if (!dir) {
        error = FolderOpenError(errno, *host);
        return nullptr;
    }
    error = {};
    return std::make_unique<PosixFolderReader>(std::move(dir), *host, leftoverCopies_);
}

FileError PosixFileSystem::ListNames(std::string_view folder, std::vector<std::string>& names) {
    names.clear();
    const auto host = HostPath(folder);
    if (!host) {
        return PathNotFound();
    }
    DirHandle dir(::opendir(host->c_str()));
    if (!dir) {
        return FolderOpenError(errno, *host);
    }
    bool sawTemporaryCopy = false;
    for (;;) {
        errno = 0;
        const dirent* item = ::readdir(dir.get());
        if (item == nullptr) {
            if (errno != 0) {
                return FolderOpenError(errno, *host);
            }
            leftoverCopies_->NoteFolderRead(*host, sawTemporaryCopy);
            return {};
        }
        if (IsTemporaryCopyName(item->d_name)) {
            sawTemporaryCopy = true;
        } else if (!IsDotOrDotDot(item->d_name)) {
            names.push_back(ProgramNameFromHost(item->d_name));
        }
    }
}

std::unique_ptr<FolderWatch> PosixFileSystem::WatchFolders() {
    return std::make_unique<InotifyFolderWatch>(drives_, inotifyInstances_);
}

AttributesResult PosixFileSystem::GetAttributes(std::string_view path) {
    const auto host = HostPath(path);
    if (!host) {
        return {0, PathNotFound()};
    }
    struct stat info {};
    if (::stat(host->c_str(), &info) != 0 && ::lstat(host->c_str(), &info) != 0) {
        return {0, ErrorAt(errno, *host)};
    }
    return {AttributesOf(HostBaseName(*host), info, ReadStoredMarks(*host)), {}};
}

std::string PosixFileSystem::HostPathOf(std::string_view path) {
    if (path.size() > 3 && path.back() == '\\') {
        path.remove_suffix(1);
    }
    return HostPath(path).value_or(std::string());
}

EntryDetails PosixFileSystem::GetDetails(std::string_view path) {
    EntryDetails details;
    std::string trimmed(path);
    // A folder row's mark is no part of the entry's name.
    if (trimmed.size() > 3 && trimmed.back() == '\\') {
        trimmed.pop_back();
    }
    const auto host = HostPath(trimmed);
    if (!host) {
        details.error = PathNotFound();
        return details;
    }
    struct stat own {};
    struct stat info {};
    if (::lstat(host->c_str(), &own) != 0) {
        details.error = ErrorAt(errno, *host);
        return details;
    }
    if (::stat(host->c_str(), &info) != 0) {
        info = own;
    }
    details.hostPath = *host;
    details.attributes = AttributesOf(HostBaseName(*host), info, ReadStoredMarks(*host));
    details.isLink = S_ISLNK(own.st_mode);
    details.size = static_cast<std::uint64_t>(info.st_size);
    details.modified = static_cast<std::int64_t>(info.st_mtime);
    details.modifiedNanoseconds = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 +
                                  static_cast<std::int64_t>(info.st_mtim.tv_nsec);
    details.device = static_cast<std::uint64_t>(own.st_dev);
    details.fileNumber = static_cast<std::uint64_t>(own.st_ino);
    details.ownerAccess = static_cast<int>((info.st_mode >> 6) & 7);
    return details;
}

bool PosixFileSystem::IsReadableFile(std::string_view path) {
    const auto host = HostPath(path);
    struct stat info {};
    return host && ::stat(host->c_str(), &info) == 0 && S_ISREG(info.st_mode) && MayRead(info);
}

bool PosixFileSystem::IsFolder(std::string_view path) {
    const auto host = HostPath(path);
    return host && IsHostFolder(*host);
}

bool PosixFileSystem::Exists(std::string_view path) {
    const auto host = HostPath(path);
    struct stat info {};
    return host && ::lstat(host->c_str(), &info) == 0;
}

int PosixFileSystem::RenameThroughTemporary(const std::string& from, const std::string& to) {
    std::string temporary;
    int error = EEXIST;
    for (int attempt = 0; attempt < kTemporaryNameAttempts && error == EEXIST; ++attempt) {
        temporary = TemporaryNameBeside(from);
        error = RenameNoReplace(from, temporary);
    }
    if (error != 0) {
        return error;
    }
    error = RenameNoReplace(temporary, to);
    if (error != 0) {
        RenameNoReplace(temporary, from);
    }
    return error;
}

int PosixFileSystem::RenameHost(const std::string& from, const std::string& to) {
    const int error = RenameNoReplace(from, to);
    if (error != EEXIST || from == to) {
        return error;
    }
    // On a volume that ignores letter case the target "exists" because it is
    // the source under another spelling; a temporary name lets the new
    // spelling be stored.
    struct stat source {};
    struct stat target {};
    const bool sameEntry = ::lstat(from.c_str(), &source) == 0 &&
                           ::lstat(to.c_str(), &target) == 0 && source.st_dev == target.st_dev &&
                           source.st_ino == target.st_ino &&
                           text::EqualIgnoringCase(HostBaseName(from), HostBaseName(to));
    return sameEntry ? RenameThroughTemporary(from, to) : error;
}

std::optional<std::string> PosixFileSystem::NewEntryHostPath(std::string_view programPath,
                                                             FileError& error) const {
    std::optional<std::string> host = HostPath(programPath);
    if (!host) {
        error = PathNotFound();
    } else if (!IsSafeNewEntryPath(programPath, *host)) {
        error = BadFileName();
        host.reset();
    }
    return host;
}

FileError PosixFileSystem::Rename(std::string_view from, std::string_view to) {
    FileError error;
    const auto hostFrom = HostPath(from);
    const auto hostTo = NewEntryHostPath(to, error);
    if (!hostFrom || !hostTo) {
        return error.Ok() ? PathNotFound() : error;
    }
    return RenameError(RenameHost(*hostFrom, *hostTo), *hostFrom, *hostTo);
}

FileError PosixFileSystem::Move(std::string_view from, std::string_view to) {
    FileError error;
    const auto hostFrom = HostPath(from);
    const auto hostTo = NewEntryHostPath(to, error);
    if (!hostFrom || !hostTo) {
        return error.Ok() ? PathNotFound() : error;
    }
    const int renameError = RenameHost(*hostFrom, *hostTo);
    if (renameError != EXDEV) {
        return RenameError(renameError, *hostFrom, *hostTo);
    }
    struct stat info {};
    if (::lstat(hostFrom->c_str(), &info) != 0) {
        return ErrorAt(errno, *hostFrom);
    }
    if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) {
        return FileError::Make(kPathFileAccessError);
    }
    if (FileError copyError = CopyEntryNoReplace(*hostFrom, *hostTo); !copyError.Ok()) {
        return copyError;
    }
    // Both names must never be missing at once: the copy goes again when the
    // source cannot be removed, leaving things as they were.
    if (::unlink(hostFrom->c_str()) != 0) {
        const int unlinkError = errno;
        ::unlink(hostTo->c_str());
        return ErrorAt(unlinkError, *hostFrom);
    }
    SyncFolder(HostParentFolder(*hostFrom));
    return {};
}

FileError PosixFileSystem::Copy(std::string_view from, std::string_view to) {
    FileError error;
    const auto hostFrom = HostPath(from);
    const auto hostTo = NewEntryHostPath(to, error);
    if (!hostFrom || !hostTo) {
        return error.Ok() ? PathNotFound() : error;
    }
    return CopyEntryNoReplace(*hostFrom, *hostTo);
}

FileError PosixFileSystem::DeleteFile(std::string_view path) {
    const auto host = HostPath(path);
    if (!host) {
        return PathNotFound();
    }
    return ::unlink(host->c_str()) == 0 ? FileError{} : ErrorAt(errno, *host);
}

FileError PosixFileSystem::MakeFolder(std::string_view path) {
    FileError error;
    const auto host = NewEntryHostPath(path, error);
    if (!host) {
        return error;
    }
    return ::mkdir(host->c_str(), 0777) == 0 ? FileError{} : ErrorAt(errno, *host);
}

FileError PosixFileSystem::RemoveFolder(std::string_view path) {
    const auto host = HostPath(path);
    if (!host) {
        return PathNotFound();
    }
    return ::rmdir(host->c_str()) == 0 ? FileError{} : ErrorAt(errno, *host);
}

FileError PosixFileSystem::ReadFile(std::string_view path, std::string& bytes) {
    const auto host = HostPath(path);
    if (!host) {
        bytes.clear();
        return PathNotFound();
    }
    return ReadWholeFile(*host, bytes);
}

FileError PosixFileSystem::ReadFileUpTo(std::string_view path, std::size_t maxBytes,
                                        std::string& bytes) {
    const auto host = HostPath(path);
    if (!host) {
        bytes.clear();
        return PathNotFound();
    }
    return ReadWholeFile(*host, bytes, maxBytes + 1);
}

FileError PosixFileSystem::WriteFileReplacing(std::string_view path, std::string_view bytes) {
    const auto host = HostPath(path);
    if (!host) {
        return PathNotFound();
    }
    TemporaryCopy temporary;
    if (const int error = CreateTemporaryCopy(HostParentFolder(*host), temporary)) {
        return ErrorAt(error, *host);
    }
    const int error = WriteNewFile(temporary.fd, bytes, *host);
    if (error == 0 && ::rename(temporary.path.c_str(), host->c_str()) == 0) {
        ::close(temporary.fd);
        return {};
    }
    const int renameError = error != 0 ? error : errno;
    ::close(temporary.fd);
    ::unlink(temporary.path.c_str());
    return ErrorAt(renameError, *host);
}

FileError PosixFileSystem::MakeExecutable(std::string_view path) {
    const auto host = HostPath(path);
    if (!host) {
        return PathNotFound();
    }
    if (::chmod(host->c_str(), 0755) != 0) {
        return ErrorAt(errno, *host);
    }
    return {};
}

bool PosixFileSystem::SameEntry(std::string_view a, std::string_view b) {
    const auto hostA = HostPath(a);
    const auto hostB = HostPath(b);
    struct stat infoA {};
    struct stat infoB {};
    return hostA && hostB && ::lstat(hostA->c_str(), &infoA) == 0 &&
           ::lstat(hostB->c_str(), &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
           infoA.st_ino == infoB.st_ino;
}

bool PosixFileSystem::OnOneFileSystem(std::string_view a, std::string_view b) {
    const auto hostA = HostPath(a);
    const auto hostB = HostPath(b);
    struct stat infoA {};
    struct stat infoB {};
    return hostA && hostB && ::lstat(hostA->c_str(), &infoA) == 0 &&
           ::lstat(hostB->c_str(), &infoB) == 0 && infoA.st_dev == infoB.st_dev;
}

bool PosixFileSystem::IsCopyOf(std::string_view copy, std::string_view original) {
    const auto hostCopy = HostPath(copy);
    const auto hostOriginal = HostPath(original);
    return hostCopy && hostOriginal && HostIsCopyOf(*hostCopy, *hostOriginal);
}

void PosixFileSystem::RemoveLeftoverCopies(std::string_view folder) {
    if (const auto host = HostPath(folder); host && leftoverCopies_->MayHoldLeftovers(*host)) {
        RemoveLeftoverTemporaryCopies(*host);
        leftoverCopies_->NoteSwept(*host);
    }
}

}  // namespace kestrel::platform
