#pragma once

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_attributes.h"
#include "platform/file_system.h"

// A file system held in memory for fuzz targets: files are whatever the fuzzer
// put in them, and every operation that would change the disk only answers,
// success and failure by turn, so both paths of a caller run.
namespace kestrel::fuzzing {

class MemoryFileSystem final : public platform::FileSystem {
  public:
    using FileError = platform::FileError;

    std::map<std::string, std::string, std::less<>> files;

    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view,
                                                       FileError& error) override {
        error = FileError::Make(platform::kPathNotFound);
        return nullptr;
    }
    FileError ListNames(std::string_view, std::vector<std::string>& names) override {
        names.clear();
        return {};
    }
    platform::AttributesResult GetAttributes(std::string_view path) override {
        return {platform::kAttrArchive, Found(path)};
    }
    platform::EntryDetails GetDetails(std::string_view path) override {
        platform::EntryDetails details;
        details.error = Found(path);
        return details;
    }
    bool IsReadableFile(std::string_view path) override { return files.contains(path); }
    bool IsFolder(std::string_view) override { return false; }
    bool Exists(std::string_view path) override { return files.contains(path); }
    bool SameEntry(std::string_view a, std::string_view b) override { return a == b; }
    FileError Rename(std::string_view, std::string_view) override { return Turn(); }
    FileError Move(std::string_view, std::string_view) override { return Turn(); }
    FileError Copy(std::string_view, std::string_view) override { return Turn(); }
    void RemoveLeftoverCopies(std::string_view) override {}
    FileError DeleteFile(std::string_view) override { return Turn(); }
    FileError MakeFolder(std::string_view) override { return Turn(); }
    FileError RemoveFolder(std::string_view) override { return Turn(); }
    FileError ReadFile(std::string_view path, std::string& bytes) override {
        const auto file = files.find(path);
        bytes = file == files.end() ? std::string() : file->second;
        return Found(path);
    }
    FileError WriteFileReplacing(std::string_view path, std::string_view bytes) override {
        files.insert_or_assign(std::string(path), std::string(bytes));
        return {};
    }

  private:
    FileError Found(std::string_view path) const {
        return files.contains(path) ? FileError{} : FileError::Make(platform::kFileNotFound);
    }
    FileError Turn() {
        return (++calls_ % 2 == 0) ? FileError{} : FileError::Make(platform::kFileAlreadyExists);
    }

    unsigned calls_ = 0;
};

}  // namespace kestrel::fuzzing
