#include "commit/commit_plan.h"

#include <cstddef>
#include <utility>

#include "engine/rename_options.h"
#include "text/program_path.h"

namespace kestrel::commit {
namespace {

// Folder texts are joined by concatenation, so a target folder typed without
// its closing backslash would otherwise run into the new name.
std::string AsFolder(std::string_view folder) {
    return folder.empty() ? std::string() : text::AddTrailingBackslash(folder);
}

const std::string* TableFolder(const FolderRules& rules, int folderIndex) {
    if (rules.folderTable == nullptr || folderIndex < 1 ||
        static_cast<std::size_t>(folderIndex) > rules.folderTable->size()) {
        return nullptr;
    }
    return &(*rules.folderTable)[static_cast<std::size_t>(folderIndex) - 1];
}

std::string WorkingFolderPlusPrefix(const FolderRules& rules, const EntryParts& parts) {
    return text::AddTrailingBackslash(rules.sourceDir) + parts.prefix;
}

}  // namespace

EntryParts SplitEntry(std::string_view entryText) {
    EntryParts parts;
    std::string text(entryText);
    parts.isFolder = text::StripTrailingBackslash(text);
    const std::size_t slash = text.rfind('\\');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    parts.prefix = text.substr(0, nameStart);
    parts.name = text.substr(nameStart);
    parts.pipelineInput = parts.isFolder ? parts.name + '\\' : parts.name;
    return parts;
}

std::string NewNameFrom(std::string pipelineResult) {
    text::StripTrailingBackslash(pipelineResult);
    return pipelineResult;
}

std::string SmartFolderPart(std::string_view newName) {
    const std::size_t slash = newName.rfind('\\');
    return slash == std::string_view::npos ? std::string()
                                           : std::string(newName.substr(0, slash + 1));
}

std::string SourceFolder(const FolderRules& rules, const EntryParts& parts, int folderIndex) {
    if (rules.pathDisplay == engine::kShowFullPath) {
        return parts.prefix;
    }
    if (rules.pathDisplay == engine::kShowFilenameOnly && rules.recurse) {
        if (const std::string* folder = TableFolder(rules, folderIndex)) {
            return *folder;
        }
    }
    return WorkingFolderPlusPrefix(rules, parts);
}

std::string TargetFolder(const FolderRules& rules, const EntryParts& parts, int folderIndex) {
    if (rules.consolidate) {
        return AsFolder(rules.destDir);
    }
    switch (rules.pathDisplay) {
        case engine::kShowPartialPath:
            return AsFolder(rules.destDir) + parts.prefix;
        case engine::kShowFullPath:
            return parts.prefix;
        default:
            // Without "Recurse" every entry goes to the target folder; with it,
            // each stays in the folder it was found in.
            return rules.recurse ? SourceFolder(rules, parts, folderIndex)
                                 : AsFolder(rules.destDir);
    }
}

void RenamedFolders::Add(std::string oldPath, std::string newPath) {
    rows_.push_back({std::move(oldPath), std::move(newPath)});
}

std::string RenamedFolders::ReAim(std::string folder, std::vector<std::size_t>* matched) const {
    for (std::size_t k = 0; k < rows_.size(); ++k) {
        if (folder.starts_with(rows_[k].oldPath)) {
            folder.replace(0, rows_[k].oldPath.size(), rows_[k].newPath);
            if (matched != nullptr) {
                matched->push_back(k);
            }
        }
    }
    return folder;
}

}  // namespace kestrel::commit
