#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

// A FileSystem that passes every call to another one. Tests derive from it and
// override only the calls they want to watch or make fail:
//
//     struct FullDisk : kestrel::support::ForwardingFileSystem {
//         using ForwardingFileSystem::ForwardingFileSystem;
//         FileError Copy(std::string_view, std::string_view) override {
//             return FileError::Make(kestrel::platform::kDiskFull);
//         }
//     };
namespace kestrel::support {

class ForwardingFileSystem : public platform::FileSystem {
  public:
    using FileError = platform::FileError;

    explicit ForwardingFileSystem(platform::FileSystem& inner) : inner_(inner) {}

    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view folder,
                                                       FileError& error) override {
        return inner_.OpenFolder(folder, error);
    }
    FileError ListNames(std::string_view folder, std::vector<std::string>& names) override {
        return inner_.ListNames(folder, names);
    }
    std::unique_ptr<platform::FolderWatch> WatchFolders() override { return inner_.WatchFolders(); }
    platform::AttributesResult GetAttributes(std::string_view path) override {
        return inner_.GetAttributes(path);
    }
    platform::EntryDetails GetDetails(std::string_view path) override {
        return inner_.GetDetails(path);
    }
    bool IsReadableFile(std::string_view path) override { return inner_.IsReadableFile(path); }
    bool IsFolder(std::string_view path) override { return inner_.IsFolder(path); }
    bool Exists(std::string_view path) override { return inner_.Exists(path); }
    FileError Rename(std::string_view from, std::string_view to) override {
        return inner_.Rename(from, to);
    }
    FileError Move(std::string_view from, std::string_view to) override {
        return inner_.Move(from, to);
    }
    FileError Copy(std::string_view from, std::string_view to) override {
        return inner_.Copy(from, to);
    }
    FileError DeleteFile(std::string_view path) override { return inner_.DeleteFile(path); }
    FileError MakeFolder(std::string_view path) override { return inner_.MakeFolder(path); }
    FileError RemoveFolder(std::string_view path) override { return inner_.RemoveFolder(path); }
    FileError ReadFile(std::string_view path, std::string& bytes) override {
        return inner_.ReadFile(path, bytes);
    }
    FileError WriteFileReplacing(std::string_view path, std::string_view bytes) override {
        return inner_.WriteFileReplacing(path, bytes);
    }
    bool SameEntry(std::string_view a, std::string_view b) override {
        return inner_.SameEntry(a, b);
    }
    bool OnOneFileSystem(std::string_view a, std::string_view b) override {
        return inner_.OnOneFileSystem(a, b);
    }
    void RemoveLeftoverCopies(std::string_view folder) override {
        inner_.RemoveLeftoverCopies(folder);
    }

  protected:
    platform::FileSystem& inner_;
};

/// Forwards every call, but fails the ones a test names, and counts what it
/// was asked: renames of an entry whose path ends with `refusedName` fail with
/// `renameError` (`refusalsLeft` times), copies with `copyError`, the delete
/// of `refusedDelete` with 70, and a move throws while `throwOnMove` holds.
class ScriptedFileSystem : public ForwardingFileSystem {
  public:
    using ForwardingFileSystem::ForwardingFileSystem;

    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view folder,
                                                       FileError& error) override {
        ++foldersRead;
        return inner_.OpenFolder(folder, error);
    }
    FileError Rename(std::string_view from, std::string_view to) override {
        ++renamesTried;
        if (!refusedName.empty() && from.ends_with(refusedName) && refusalsLeft > 0) {
            --refusalsLeft;
            return FileError::Make(renameError);
        }
        return inner_.Rename(from, to);
    }
    FileError Move(std::string_view from, std::string_view to) override {
        if (throwOnMove) {
            throw std::runtime_error("broken");
        }
        return inner_.Move(from, to);
    }
    FileError Copy(std::string_view from, std::string_view to) override {
        return copyError != 0 ? FileError::Make(copyError) : inner_.Copy(from, to);
    }
    FileError DeleteFile(std::string_view path) override {
        return path == refusedDelete ? FileError::Make(platform::kPermissionDenied)
                                     : inner_.DeleteFile(path);
    }
    FileError MakeFolder(std::string_view path) override {
        made.emplace_back(path);
        return inner_.MakeFolder(path);
    }

    std::string refusedName;
    int renameError = platform::kPermissionDenied;
    int refusalsLeft = 1000;
    int copyError = 0;
    std::string refusedDelete;
    bool throwOnMove = false;
    int renamesTried = 0;
    int foldersRead = 0;
    std::vector<std::string> made;  // the folders made, in order
};

}  // namespace kestrel::support
