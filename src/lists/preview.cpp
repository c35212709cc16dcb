#include "lists/preview.h"

#include <algorithm>

#include "engine/name_checks.h"
#include "engine/rename_options.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

std::string_view FolderOf(const PreviewInput& input, const ListEntry& entry) {
    const auto index = static_cast<std::size_t>(entry.folderIndex);
    if (index >= 1 && index <= input.folderTable.size()) {
        return input.folderTable[index - 1];
    }
    return input.sourceDir;
}

// The text after the first `length` characters, or empty when there are fewer.
std::string_view After(std::string_view text, std::size_t length) {
    return length <= text.size() ? text.substr(length) : std::string_view();
}

std::string TargetRowText(int pathDisplay, std::string_view targetFolder,
                          std::string_view relativeFolder, const std::string& newName) {
    switch (pathDisplay) {
        case engine::kShowPartialPath:
            return std::string(relativeFolder) + newName;
        case engine::kShowFullPath:
            return std::string(targetFolder) + newName;
        default:
            return newName;
    }
}

// The checks in their fixed order; a later failing check replaces the message.
std::string CheckNewName(ExistingTargets& existing, const PreviewInput& input,
                         engine::DuplicateTargets& duplicates, const std::string& itemPath,
                         const std::string& filename, const std::string& newName,
                         const std::string& targetFolder, std::string_view relativeFolder) {
    std::string message;
    const auto take = [&message](std::string found) {
        if (!found.empty()) {
            message = std::move(found);
        }
    };
    const PreviewChecks& checks = input.checks;
    if (checks.maxLengthCheck) {
        take(engine::LengthCheck(newName, checks.maxLength));
    }
    if (checks.errorLevel >= 1) {
        take(engine::ErrorCheck1(newName));
    }
    if (checks.errorLevel >= 2) {
        const bool caseOnly = !engine::DiffersOtherThanCase(filename, newName);
        take(existing.ErrorCheck2(input.destDir, std::string(relativeFolder) + newName,
                                  caseOnly ? std::string_view(itemPath) : std::string_view()));
    }
    if (checks.errorLevel >= 3) {
        take(duplicates.ErrorCheck3(targetFolder + newName));
    }
    return message;
}

}  // namespace

std::string EntryFilename(std::string_view displayText) {
    std::string_view text = displayText;
    const bool isFolder = !text.empty() && text.back() == '\\';
    if (isFolder) {
        text.remove_suffix(1);
    }
    const std::size_t slash = text.rfind('\\');
    std::string name(slash == std::string_view::npos ? text : text.substr(slash + 1));
    if (isFolder) {
        name.push_back('\\');
    }
    return name;
}

ExistingTargets::ExistingTargets(platform::FileSystem& fileSystem,
                                 const std::vector<std::string>* folderTable,
                                 const ListedNames* listedNames)
    : fileSystem_(fileSystem) {
    if (folderTable == nullptr || listedNames == nullptr) {
        return;
    }
    const std::size_t count = std::min(folderTable->size(), listedNames->size());
    for (std::size_t f = 0; f < count; ++f) {
        if ((*listedNames)[f]) {
            listed_.emplace((*folderTable)[f], &*(*listedNames)[f]);
        }
    }
}

const std::unordered_set<std::string>& ExistingTargets::FoldedNamesIn(const std::string& folder) {
    if (const auto listed = listed_.find(folder); listed != listed_.end()) {
        return *listed->second;
    }
    auto found = readNow_.find(folder);
    if (found == readNow_.end()) {
        std::vector<std::string> names;
        fileSystem_.ListNames(folder, names);  // a missing folder holds no names
        std::unordered_set<std::string> folded;
        folded.reserve(names.size());
        for (const std::string& name : names) {
            folded.insert(text::FoldCase(name));
        }
        found = readNow_.emplace(folder, std::move(folded)).first;
    }
    return found->second;
}

bool ExistingTargets::HoldsExactly(const std::string& folder, std::string_view leaf) {
    // Asked only for a change of letter case, which is rare: read the folder.
    std::vector<std::string> names;
    fileSystem_.ListNames(folder, names);
    return std::find(names.begin(), names.end(), leaf) != names.end();
}

std::string ExistingTargets::ErrorCheck2(std::string_view destDir, std::string_view relativeName,
                                         std::string_view caseChangedItem) {
    std::string path = std::string(destDir) + std::string(relativeName);
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
    }
    const std::size_t slash = path.rfind('\\');
    const std::string folder =
        slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string_view leaf = std::string_view(path).substr(slash + 1);
    // Names are matched without regard to case, so that a volume that ignores
    // case still gets its lookup; the lookup itself then decides.
    if (!FoldedNamesIn(folder).contains(text::FoldCase(leaf)) ||
        !fileSystem_.IsReadableFile(path)) {
        return {};
    }
    // For a change of case only: an entry of exactly the new name is another
    // file (two names in the folder); otherwise the lookup found the item
    // itself through a volume that ignores case, unless it is another file.
    const bool taken = caseChangedItem.empty() || HoldsExactly(folder, leaf) ||
                       !fileSystem_.SameEntry(path, caseChangedItem);
    return taken ? "Filename already exists" : "";
}

Preview ComputePreview(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
                       const PreviewInput& input, PreviewObserver& observer) {
    const std::size_t rowCount = input.rows.size();
    const auto selectedCount = static_cast<std::int64_t>(CountSelected(input.rows));
    Preview preview;
    preview.targets.resize(rowCount);
    preview.messages.resize(rowCount);
    engine::DuplicateTargets duplicates(input.checks.errorLevel >= 3 ? rowCount : 0);
    ExistingTargets existing(fileSystem, &input.folderTable, input.listedNames);
    std::size_t widestLength = 0;

    for (std::size_t i = 0; i < rowCount; ++i) {
        observer.RowStarted(static_cast<int>(i), static_cast<int>(rowCount));
        const ListEntry& entry = input.rows[i];
        if (!entry.selected) {
            continue;
        }
        const std::string filename = EntryFilename(entry.text);
        const std::string_view folder = FolderOf(input, entry);
        // The real folder of the entry, whatever the display mode shows.
        const std::string fullPath = std::string(folder) + filename;
        const std::string newName = pipeline.Process(
            filename, {fullPath, selectedCount, static_cast<std::int64_t>(preview.renameCounter)});
        if (newName == filename) {
            continue;
        }
        ++preview.renameCounter;

        const std::string targetFolder =
            std::string(input.destDir) + std::string(After(folder, input.sourceDir.size()));
        const std::string_view relativeFolder = After(targetFolder, input.destDir.size());
        preview.targets[i] =
            TargetRowText(input.pathDisplay, targetFolder, relativeFolder, newName);

        for (const std::string* name : {&filename, &newName}) {
            const std::size_t length = text::CodePointCount(*name);
            if (length > widestLength) {
                widestLength = length;
                preview.widestName = *name;
            }
        }

        preview.messages[i] = CheckNewName(existing, input, duplicates, fullPath, filename, newName,
                                           targetFolder, relativeFolder);
        if (!preview.messages[i].empty()) {
            ++preview.errorCount;
        }
    }
    return preview;
}

}  // namespace kestrel::lists
