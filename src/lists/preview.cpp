#include "lists/preview.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <thread>

#include "engine/name_checks.h"
#include "engine/rename_options.h"
#include "lists/taken_targets.h"
#include "text/translation.h"
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

// What the checks of one row found. Whether its target is taken may have to
// wait until the pass knows every new name, as another row may free it.
struct RowChecks {
    engine::RowMessage early;      // the length and invalid-character checks
    engine::RowMessage duplicate;  // the duplicate check, which comes last and so wins
    bool targetInQuestion = false;
};

constexpr const char* kAlreadyExists = N_("Filename already exists");

void SetMessage(Preview& preview, std::size_t row, engine::RowMessage message) {
    preview.messages[row] = std::move(message.english);
    preview.shownMessages[row] = std::move(message.shown);
}

// The checks in their fixed order; a later failing check replaces the message.
RowChecks CheckNewName(ExistingTargets& existing, const PreviewInput& input,
                       engine::DuplicateTargets& duplicates, const std::string& newName,
                       const std::string& targetFolder) {
    RowChecks found;
    const auto take = [&found](engine::RowMessage message) {
        if (!message.Empty()) {
            found.early = std::move(message);
        }
    };
    const PreviewChecks& checks = input.checks;
    if (checks.maxLengthCheck) {
        take(engine::LengthMessage(newName, checks.maxLength));
    }
    if (checks.errorLevel >= 1) {
        take(engine::RowMessage::Fixed(engine::ErrorCheck1(newName)));
    }
    if (checks.errorLevel >= 3) {
        found.duplicate = engine::RowMessage::Fixed(duplicates.ErrorCheck3(targetFolder, newName));
    }
    // A row flagged as a duplicate keeps that message whatever its target.
    found.targetInQuestion = checks.errorLevel >= 2 && found.duplicate.Empty() &&
                             existing.MayBeTaken(targetFolder, newName);
    return found;
}

std::string WithoutFolderMark(std::string_view name) {
    return std::string(name.ends_with('\\') ? name.substr(0, name.size() - 1) : name);
}

// A row whose target a listed name may hold, with what its existing-target
// check needs once the pass has seen every row.
struct QuestionDetails {
    std::string targetFolder;
    std::string newName;
    std::string caseChangedItem;  // the row's own path, for a change of case only
};

class DiskLookup : public TargetLookup {
  public:
    DiskLookup(platform::FileSystem& fileSystem, ExistingTargets& existing,
               const std::vector<QuestionDetails>& details)
        : fileSystem_(fileSystem), existing_(existing), details_(details) {}
    bool Taken(std::size_t question) override {
        const QuestionDetails& d = details_[question];
        return !existing_.ErrorCheck2(d.targetFolder, d.newName, d.caseChangedItem).empty();
    }
    bool SameEntry(const std::string& a, const std::string& b) override {
        return fileSystem_.SameEntry(a, b);
    }

  private:
    platform::FileSystem& fileSystem_;
    ExistingTargets& existing_;
    const std::vector<QuestionDetails>& details_;
};

// Most new names stay in the target folder itself, which is then looked up as
// it is; only a name with sub-folders needs its folder made (in `subFolder`).
std::string_view TargetPlace(std::string_view targetFolder, std::string_view& relativeName,
                             std::string& subFolder) {
    if (relativeName.ends_with('\\')) {
        relativeName.remove_suffix(1);
    }
    const std::size_t slash = relativeName.rfind('\\');
    if (slash == std::string_view::npos) {
        return targetFolder;
    }
    subFolder.assign(targetFolder).append(relativeName.substr(0, slash + 1));
    relativeName.remove_prefix(slash + 1);
    return subFolder;
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
    return NameSetOf(names);
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

bool ExistingTargets::MayBeTaken(std::string_view targetFolder, std::string_view relativeName) {
    std::string subFolder;
    const std::string_view folder = TargetPlace(targetFolder, relativeName, subFolder);
    return NamesIn(folder).MayHold(relativeName);
}

std::string ExistingTargets::ErrorCheck2(std::string_view targetFolder,
                                         std::string_view relativeName,
                                         std::string_view caseChangedItem) {
    std::string subFolder;
    std::string_view leaf = relativeName;
    const std::string_view folder = TargetPlace(targetFolder, leaf, subFolder);
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
    return taken ? kAlreadyExists : "";
}

namespace {

// The rows of a pass that rename an entry, and those whose target a listed
// name may hold, gathered while the pass runs: whether such a target is taken
// is decided at the end, when every row's new name is known.
class HeldTargets {
  public:
    HeldTargets(const PreviewInput& input, ExistingTargets& existing)
        : input_(input), existing_(existing) {}

    /// A row the pass renames; `keepsPlace` for a change of case only in its
    /// own folder. With "Copy" nothing leaves its place, so none is noted.
    void NoteRenamed(std::size_t row, bool keepsPlace) {
        if (!input_.copy) {
            renamed_.emplace_back(row, keepsPlace);
        }
    }
    void Ask(std::size_t row, const std::string& targetFolder, const std::string& newName,
             std::string_view caseChangedItem) {
        questions_.push_back({row, targetFolder + WithoutFolderMark(newName)});
        details_.push_back({targetFolder, newName, std::string(caseChangedItem)});
    }

    /// Flags the rows in question whose targets stay taken. Their messages
    /// so far come from the earlier checks, which this one replaces.
    void Decide(platform::FileSystem& fileSystem, Preview& preview) {
        if (questions_.empty()) {
            return;
        }
        std::vector<RenamedRow> renamed;
        renamed.reserve(renamed_.size());
        for (const auto& [row, keepsPlace] : renamed_) {
            const ListEntry& entry = input_.rows[row];
            renamed.push_back(
                {row,
                 std::string(EntryFolder(entry, input_.folderTable, input_.sourceDir)) +
                     WithoutFolderMark(EntryFilename(entry.text)),
                 keepsPlace});
        }
        std::vector<bool> flagged(preview.messages.size());
        for (std::size_t row = 0; row < flagged.size(); ++row) {
            flagged[row] = !preview.messages[row].empty();
        }
        DiskLookup lookup(fileSystem, existing_, details_);
        for (const std::size_t q : DecideTakenTargets(renamed, questions_, flagged, lookup)) {
            SetMessage(preview, questions_[q].row, engine::RowMessage::Fixed(kAlreadyExists));
        }
    }

  private:
    const PreviewInput& input_;
    ExistingTargets& existing_;
    std::vector<std::pair<std::size_t, bool>> renamed_;
    std::vector<TargetInQuestion> questions_;
    std::vector<QuestionDetails> details_;
};

// Makes the names of rows [begin, end) as the pass would if every selected
// row before each were renamed: its autonumber index is then the number of
// selected rows before it (in its folder, when each folder is numbered anew).
void MakeNames(const engine::NamePipeline& pipeline, const PreviewInput& input, std::size_t begin,
               std::size_t end, std::vector<engine::NameResult>& made) {
    engine::AutonumberCounter guess = AutonumberCounterFor(input.rows, input.numberPerFolder);
    for (std::size_t i = 0; i < begin; ++i) {
        if (input.rows[i].selected) {
            guess.Advance(input.rows[i].folderIndex);
        }
    }
    std::string fullPath;
    for (std::size_t i = begin; i < end; ++i) {
        PrefetchTags(input.rowTags, i);
        const ListEntry& entry = input.rows[i];
        if (!entry.selected) {
            continue;
        }
        const std::string_view filename = EntryFilename(entry.text);
        fullPath.assign(EntryFolder(entry, input.folderTable, input.sourceDir)).append(filename);
        const engine::TagValues* tags = i < input.rowTags.size() ? input.rowTags[i] : nullptr;
        made[i] = pipeline.Process(filename, {fullPath, guess.SelectionFor(entry.folderIndex),
                                              guess.IndexFor(entry.folderIndex), tags});
        guess.Advance(entry.folderIndex);
    }
}

// The names of a long list made ahead on two threads, one half each; empty
// when the pass makes them itself. Making a name is independent per row, so
// the halves need no lock; the pass takes a name made ahead only where the
// row's autonumber index came out as guessed (nearly always: a numbered name
// rarely stays as it was), so the names are exactly one thread's.
std::vector<engine::NameResult> MakeNamesAhead(const engine::NamePipeline& pipeline,
                                               const PreviewInput& input) {
    const std::size_t rowCount = input.rows.size();
    const engine::NamePipeline* second = input.secondPipeline;
    if (second == nullptr || rowCount < kRowsForTwoThreads || !pipeline.SameOnAnyThread()) {
        return {};
    }
    std::vector<engine::NameResult> made(rowCount);
    const std::size_t middle = rowCount / 2;
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            MakeNames(*second, input, middle, rowCount, made);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        MakeNames(pipeline, input, 0, middle, made);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
    return made;
}

}  // namespace

engine::AutonumberCounter AutonumberCounterFor(const std::vector<ListEntry>& rows, bool perFolder) {
    std::vector<std::int64_t> selected;
    for (const ListEntry& row : rows) {
        if (!row.selected) {
            continue;
        }
        const auto folder = static_cast<std::size_t>(std::max(row.folderIndex, 0));
        if (folder >= selected.size()) {
            selected.resize(folder + 1, 0);
        }
        ++selected[folder];
    }
    return engine::AutonumberCounter(std::move(selected), perFolder);
}

Preview ComputePreview(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
                       const PreviewInput& input, PreviewObserver& observer) {
    const std::size_t rowCount = input.rows.size();
    engine::AutonumberCounter counter = AutonumberCounterFor(input.rows, input.numberPerFolder);
    Preview preview;
    preview.targets.resize(rowCount);
    preview.messages.resize(rowCount);
    preview.shownMessages.resize(rowCount);
    engine::DuplicateTargets duplicates(input.checks.errorLevel >= 3 ? rowCount : 0);
    ExistingTargets existing(fileSystem, &input.folderTable, input.listedNames);
    HeldTargets held(input, existing);
    std::size_t widestLength = 0;

    // Reused for every row: a pass over 32,767 rows should not allocate for each.
    std::string fullPath;
    std::vector<std::optional<std::string>> targetFolders(input.folderTable.size() + 1);
    std::vector<std::pair<std::size_t, engine::RowMessage>> madeMessages;
    std::vector<engine::NameResult> madeAhead = MakeNamesAhead(pipeline, input);
    // The numbering the names were made ahead with: every selected row renamed.
    engine::AutonumberCounter guess = counter;
    for (std::size_t i = 0; i < rowCount; ++i) {
        observer.RowStarted(static_cast<int>(i), static_cast<int>(rowCount));
        const ListEntry& entry = input.rows[i];
        if (!entry.selected) {
            continue;
        }
        const std::string_view filename = EntryFilename(entry.text);
        const std::string_view folder = EntryFolder(entry, input.folderTable, input.sourceDir);
        // The real folder of the entry, whatever the display mode shows.
        fullPath.assign(folder).append(filename);
        const std::int64_t sequenceIndex = counter.IndexFor(entry.folderIndex);
        const bool madeAsGuessed =
            !madeAhead.empty() &&
            (!pipeline.NumbersNames() || guess.IndexFor(entry.folderIndex) == sequenceIndex);
        guess.Advance(entry.folderIndex);
        engine::NameResult made;
        if (madeAsGuessed) {
            made = std::move(madeAhead[i]);
        } else {
            PrefetchTags(input.rowTags, i);
            const engine::TagValues* tags = i < input.rowTags.size() ? input.rowTags[i] : nullptr;
            made = pipeline.Process(
                filename, {fullPath, counter.SelectionFor(entry.folderIndex), sequenceIndex, tags});
        }
        if (made.keptName) {
            // The row keeps its name, so neither the commit nor an export
            // touches it, and says why.
            SetMessage(preview, i, {std::move(made.message), std::move(made.shownMessage)});
            continue;
        }
        const std::string newName = std::move(made.name);
        if (newName == filename) {
            continue;
        }
        ++preview.renameCounter;
        counter.Advance(entry.folderIndex);

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

        RowChecks checks = CheckNewName(existing, input, duplicates, newName, targetFolder);
        if (input.checks.errorLevel >= 2) {
            const bool caseOnly = !engine::DiffersOtherThanCase(filename, newName);
            held.NoteRenamed(i, caseOnly && targetFolder == folder);
            if (checks.targetInQuestion) {
                held.Ask(i, targetFolder, newName, caseOnly ? fullPath : std::string_view());
            }
        }
        SetMessage(
            preview, i,
            checks.duplicate.Empty() ? std::move(checks.early) : std::move(checks.duplicate));
        if (!made.message.empty()) {
            madeMessages.emplace_back(
                i, engine::RowMessage{std::move(made.message), std::move(made.shownMessage)});
        }
    }
    held.Decide(fileSystem, preview);
    // A tag without a value says so only where no check found a fault: the
    // name is made all the same, so the row still frees its old name.
    for (auto& [row, message] : madeMessages) {
        if (preview.messages[row].empty()) {
            SetMessage(preview, row, std::move(message));
        }
    }
    preview.errorCount = static_cast<int>(
        std::count_if(preview.messages.begin(), preview.messages.end(),
                      [](const std::string& message) { return !message.empty(); }));
    return preview;
}

}  // namespace kestrel::lists
