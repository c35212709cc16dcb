#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <memory>
#include <optional>
#include <vector>

#include "platform/drive_table.h"
#include "platform/file_system.h"
#include "platform/inotify_folder_watch.h"
#include "platform/temporary_copies.h"

namespace kestrel::platform {

/// The file system of this machine, reached through a drive table. A program
/// path whose letter is not mapped fails with 76 "Path not found".
class PosixFileSystem : public FileSystem {
  public:
    explicit PosixFileSystem(DriveTable drives = DriveTable());

    DriveTable& Drives() { return drives_; }
    const DriveTable& Drives() const { return drives_; }

    std::unique_ptr<FolderReader> OpenFolder(std::string_view folder, FileError& error) override;
    FileError ListNames(std::string_view folder, std::vector<std::string>& names) override;
    std::unique_ptr<FolderWatch> WatchFolders() override;
    AttributesResult GetAttributes(std::string_view path) override;
    EntryDetails GetDetails(std::string_view path) override;
    std::string HostPathOf(std::string_view path) override;
    bool IsReadableFile(std::string_view path) override;
    bool IsFolder(std::string_view path) override;
    bool Exists(std::string_view path) override;
    FileError Rename(std::string_view from, std::string_view to) override;
    FileError Move(std::string_view from, std::string_view to) override;
    FileError Copy(std::string_view from, std::string_view to) override;
    FileError DeleteFile(std::string_view path) override;
    FileError MakeFolder(std::string_view path) override;
    FileError RemoveFolder(std::string_view path) override;
    FileError ReadFile(std::string_view path, std::string& bytes) override;
    FileError ReadFileUpTo(std::string_view path, std::size_t maxBytes,
                           std::string& bytes) override;
    FileError WriteFileReplacing(std::string_view path, std::string_view bytes) override;
    FileError MakeExecutable(std::string_view path) override;
    bool SameEntry(std::string_view a, std::string_view b) override;
    bool OnOneFileSystem(std::string_view a, std::string_view b) override;
    bool IsCopyOf(std::string_view copy, std::string_view original) override;
    void RemoveLeftoverCopies(std::string_view folder) override;

  private:
    std::optional<std::string> HostPath(std::string_view programPath) const;
    /// The host path for an entry about to be made; none, with `error` set
    /// (76, or 52 for a name this host cannot hold), when there is none.
    std::optional<std::string> NewEntryHostPath(std::string_view programPath,
                                                FileError& error) const;
    bool MayRead(const struct stat& info) const;
    /// A name for a temporary entry beside `hostPath`, not yet checked for use.
    std::string TemporaryNameBeside(const std::string& hostPath);
    /// RenameNoReplace, plus the change of letter case on a volume that
    /// ignores case; 0 or the errno value.
    int RenameHost(const std::string& from, const std::string& to);
    int RenameThroughTemporary(const std::string& from, const std::string& to);

    DriveTable drives_;
    uid_t effectiveUser_;
    gid_t effectiveGroup_;
    std::vector<gid_t> groups_;
    unsigned temporaryCounter_ = 0;
    // Shared with the folder readers, which note what each full read saw.
    std::shared_ptr<LeftoverCopyRecord> leftoverCopies_ = std::make_shared<LeftoverCopyRecord>();
    // Lent to each listing's watch and taken back at its end.
    std::shared_ptr<InotifyInstances> inotifyInstances_ = std::make_shared<InotifyInstances>();
};

}  // namespace kestrel::platform
