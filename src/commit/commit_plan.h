#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Where one source row of a commit comes from and where it goes, worked out
// from its text and the window's settings alone. Nothing here touches a file,
// so every rule can be checked without a disk.
namespace kestrel::commit {

/// A row's text taken apart: 'Photos\2001\' is a folder with prefix 'Photos\'
/// and name '2001'.
struct EntryParts {
    bool isFolder = false;
    /// Up to and including the last backslash once a folder's own mark is set aside.
    std::string prefix;
    std::string name;
    /// What the name pipeline is given: the name, with "\" again for a folder.
    std::string pipelineInput;
};

EntryParts SplitEntry(std::string_view entryText);

/// The pipeline's result without a folder's trailing backslash.
std::string NewNameFrom(std::string pipelineResult);

/// The sub-folders a new name asks for ('A\B\' of 'A\B\x.txt'), or empty text.
std::string SmartFolderPart(std::string_view newName);

/// One entry of a commit with every path settled.
struct EntryPlan {
    EntryParts parts;
    /// May hold sub-folders ('A\B\x.txt'); never ends with a backslash.
    std::string newName;
    std::string smartFolder;
    std::string sourceFolder;
    std::string targetFolder;

    std::string OldPath() const { return sourceFolder + parts.name; }
    std::string NewPath() const { return targetFolder + newName; }
};

/// The settings that decide an entry's folders.
struct FolderRules {
    int pathDisplay = 0;
    bool recurse = false;
    bool consolidate = false;
    std::string_view sourceDir;  // the working folder
    std::string_view destDir;    // the target folder
    /// [0] is folder index 1, as the listing built it.
    const std::vector<std::string>* folderTable = nullptr;
};

/// The folder holding the entry, ending with a backslash.
std::string SourceFolder(const FolderRules& rules, const EntryParts& parts, int folderIndex);

/// The folder receiving the entry, ending with a backslash.
std::string TargetFolder(const FolderRules& rules, const EntryParts& parts, int folderIndex);

/// The folders one commit has renamed so far, in the order of renaming. Later
/// entries whose folders lie inside one of them are aimed at its new path.
class RenamedFolders {
  public:
    struct Row {
        std::string oldPath;  // ends with a backslash
        std::string newPath;  // ends with a backslash
    };

    void Add(std::string oldPath, std::string newPath);
    /// `folder` with the old path of every matching row, in turn, replaced by
    /// its new path. The numbers of the rows that matched are added to `matched`.
    std::string ReAim(std::string folder, std::vector<std::size_t>* matched = nullptr) const;
    const std::vector<Row>& Rows() const { return rows_; }
    /// Keeps only the first `count` rows.
    void Truncate(std::size_t count) {
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(std::min(count, rows_.size())),
                    rows_.end());
    }

  private:
    std::vector<Row> rows_;
};

}  // namespace kestrel::commit
