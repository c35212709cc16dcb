#include "lists/preview.h"

#include <algorithm>
#include <iterator>

#include "engine/name_checks.h"
#include "engine/rename_options.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

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
                         engine::DuplicateTargets& duplicates, std::string_view itemPath,
                         std::string_view filename, const std::string& newName,
                         const std::string& targetFolder) {
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
        // The target folder is the target folder text plus the relative folder.
        take(existing.ErrorCheck2(targetFolder, newName, caseOnly ? itemPath : std::string_view()));
    }
    if (checks.errorLevel >= 3) {
        take(duplicates.ErrorCheck3(targetFolder, newName));
    }
    return message;
}

// The kept values of the rows are scattered over memory, one file's here and
// the next one's there. Asked for a few rows ahead, one pointer deeper at
// each step (the values, their first entry, its text), they are at hand
// when their row's name is made.
void PrefetchTags(std::span<const engine::TagValues* const> rowTags, std::size_t row) {
    const auto at = [rowTags](std::size_t ahead) -> const engine::TagValues* {
        return ahead < rowTags.size() ? rowTags[ahead] : nullptr;
    };
    if (const engine::TagValues* values = at(row + 12)) {
        __builtin_prefetch(values);
    }
    if (const engine::TagValues* values = at(row + 8); values != nullptr) {
        __builtin_prefetch(values->entries.data());
    }
    if (const engine::TagValues* values = at(row + 4);
        values != nullptr && !values->entries.empty()) {
        __builtin_prefetch(values->entries.front().value.data());
    }
}

// Every name in `folder`; a folder that cannot be read holds none.
NameSet ReadNames(platform::FileSystem& fileSystem, std::string_view folder) {
    std::vector<std::string> names;
    fileSystem.ListNames(folder, names);
    NameSet set;
    for (const std::string& name : names) {
        set.Add(name);
    }
    set.Seal();
    return set;
}

}  // namespace

std::string_view EntryFilename(std::string_view displayText) {
    std::string_view text = displayText;
    if (text.ends_with('\\')) {
        text.remove_suffix(1);  // the folder mark stays part of the name
    }
    const std::size_t slash = text.rfind('\\');
    return slash == std::string_view::npos ? displayText : displayText.substr(slash + 1);
}

std::string_view EntryFolder(const ListEntry& entry, const std::vector<std::string>& folderTable,
                             std::string_view sourceDir) {
    const auto index = static_cast<std::size_t>(entry.folderIndex);
    if (index >= 1 && index <= folderTable.size()) {
        return folderTable[index - 1];
    }
    return sourceDir;
}

ExistingTargets::ExistingTargets(platform::FileSystem& fileSystem,
                                 const std::vector<std::string>* folderTable,
                                 ListedNames* listedNames)
    : fileSystem_(fileSystem), listedNames_(listedNames) {
    if (folderTable == nullptr || listedNames == nullptr) {
        return;
    }
    listedNames->ForgetChanged();
    for (std::size_t f = 0; f < folderTable->size(); ++f) {
        listed_.emplace((*folderTable)[f], ListedFolder{f, nullptr});
    }
}

const NameSet& ExistingTargets::NamesIn(std::string_view folder) {
    if (const auto listed = listed_.find(folder); listed != listed_.end()) {
        ListedFolder& known = listed->second;
        if (known.names == nullptr) {
            known.names = &ListedNamesIn(folder, known.index);
        }
        return *known.names;
    }
    auto found = readNow_.find(std::string(folder));
    if (found == readNow_.end()) {
        found = readNow_.emplace(folder, ReadNames(fileSystem_, folder)).first;
    }
    return found->second;
}

const NameSet& ExistingTargets::ListedNamesIn(std::string_view folder, std::size_t index) {
    if (const NameSet* trusted = listedNames_->Trusted(index)) {
        return *trusted;
    }
    // Asked before the read: a change after it is then reported to the next pass.
    if (listedNames_->Watched(index)) {
        return listedNames_->Keep(index, ReadNames(fileSystem_, folder));
    }
    return readNow_.emplace(folder, ReadNames(fileSystem_, folder)).first->second;
}

bool ExistingTargets::HoldsExactly(std::string_view folder, std::string_view leaf) {
    // Asked only for a change of letter case on a volume that ignores case;
    // there it is asked for every such row, so each folder is read once.
    auto found = exactNames_.find(std::string(folder));
    if (found == exactNames_.end()) {
        std::vector<std::string> names;
        fileSystem_.ListNames(folder, names);
        found = exactNames_
                    .emplace(folder,
                             std::unordered_set<std::string>(std::make_move_iterator(names.begin()),
                                                             std::make_move_iterator(names.end())))
                    .first;
    }
    return found->second.contains(std::string(leaf));
}

std::string ExistingTargets::ErrorCheck2(std::string_view targetFolder,
                                         std::string_view relativeName,
                                         std::string_view caseChangedItem) {
    if (relativeName.ends_with('\\')) {
        relativeName.remove_suffix(1);
    }
    // Most new names stay in the target folder itself, which is then looked
    // up as it is; only a name with sub-folders needs its folder made.
    const std::size_t slash = relativeName.rfind('\\');
    const std::string_view leaf =
        slash == std::string_view::npos ? relativeName : relativeName.substr(slash + 1);
    std::string subFolder;
    if (slash != std::string_view::npos) {
        subFolder.append(targetFolder).append(relativeName.substr(0, slash + 1));
    }
    const std::string_view folder = slash == std::string_view::npos ? targetFolder : subFolder;
    // Names are matched without regard to case, so that a volume that ignores
    // case still gets its lookup; the lookup itself then decides.
    if (!NamesIn(folder).MayHold(leaf)) {
        return {};
    }
    const std::string path = std::string(folder) + std::string(leaf);
    if (!fileSystem_.IsReadableFile(path)) {
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

    // Reused for every row: a pass over 32,767 rows should not allocate for each.
    std::string fullPath;
    std::vector<std::optional<std::string>> targetFolders(input.folderTable.size() + 1);
    for (std::size_t i = 0; i < rowCount; ++i) {
        observer.RowStarted(static_cast<int>(i), static_cast<int>(rowCount));
        PrefetchTags(input.rowTags, i);
        const ListEntry& entry = input.rows[i];
        if (!entry.selected) {
            continue;
        }
        const std::string_view filename = EntryFilename(entry.text);
        const std::string_view folder = EntryFolder(entry, input.folderTable, input.sourceDir);
        // The real folder of the entry, whatever the display mode shows.
        fullPath.assign(folder).append(filename);
        const engine::TagValues* tags = i < input.rowTags.size() ? input.rowTags[i] : nullptr;
        engine::NameResult made = pipeline.Process(
            filename,
            {fullPath, selectedCount, static_cast<std::int64_t>(preview.renameCounter), tags});
        if (made.keptName) {
            // The row keeps its name, so neither the commit nor an export
            // touches it, and says why.
            preview.messages[i] = made.message;
            ++preview.errorCount;
            continue;
        }
        const std::string newName = std::move(made.name);
        if (newName == filename) {
            continue;
        }
        ++preview.renameCounter;

        // The target folder follows from the row's folder, so it is made once.
        const auto index = static_cast<std::size_t>(entry.folderIndex);
        std::optional<std::string>& cached =
            targetFolders[index < targetFolders.size() ? index : 0];
        if (!cached) {
            cached =
                std::string(input.destDir) + std::string(After(folder, input.sourceDir.size()));
        }
        const std::string& targetFolder = *cached;
        const std::string_view relativeFolder = After(targetFolder, input.destDir.size());
        preview.targets[i] =
            TargetRowText(input.pathDisplay, targetFolder, relativeFolder, newName);

        // Never more characters than bytes: most names need no counting.
        for (const std::string_view name : {filename, std::string_view(newName)}) {
            if (name.size() > widestLength) {
                const std::size_t length = text::CodePointCount(name);
                if (length > widestLength) {
                    widestLength = length;
                    preview.widestName = name;
                }
            }
        }

        preview.messages[i] =
            CheckNewName(existing, input, duplicates, fullPath, filename, newName, targetFolder);
        if (preview.messages[i].empty()) {
            preview.messages[i] = std::move(made.message);
        }
        if (!preview.messages[i].empty()) {
            ++preview.errorCount;
        }
    }
    return preview;
}

}  // namespace kestrel::lists
