#include "lists/preview.h"

#include <algorithm>
#include <exception>
#include <iterator>
#include <optional>
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

constexpr const char* kAlreadyExists = N_("Filename already exists");

void SetMessage(Preview& preview, std::size_t row, engine::RowMessage message) {
    preview.messages[row] = std::make_unique<const engine::RowMessage>(std::move(message));
}

std::string_view WithoutFolderMark(std::string_view name) {
    return name.ends_with('\\') ? name.substr(0, name.size() - 1) : name;
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
        questions_.push_back({row, std::string(targetFolder).append(WithoutFolderMark(newName))});
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
            renamed.push_back({row,
                               std::string(EntryFolder(entry, input_.folderTable, input_.sourceDir))
                                   .append(WithoutFolderMark(EntryFilename(entry.text))),
                               keepsPlace});
        }
        std::vector<bool> flagged(preview.messages.size());
        for (std::size_t row = 0; row < flagged.size(); ++row) {
            flagged[row] = preview.Flagged(row);
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

// Where the rows of one listed folder go. Made for every folder of the
// listing before the names are, so that the threads that make names only read it.
struct FolderPlace {
    std::string_view folder;  // where its rows were listed
    std::string targetFolder;
    std::string_view relativeFolder;  // the target folder past the target folder of the pass
    /// The target folder folded for case and hashed, for the rows that stay in it.
    std::uint64_t foldedHash = 0;
    /// Its names are the rows' own when a new name has no sub-folder.
    bool plain = false;
    /// A change of case only keeps a row where it is.
    bool samePlace = false;
    /// The folder's names, once the pass has asked for them.
    const NameSet* names = nullptr;
};

// Slot 0 stands for the working folder itself, as EntryFolder reads an index
// outside the table.
std::vector<FolderPlace> FolderPlaces(const PreviewInput& input) {
    std::vector<FolderPlace> places(input.folderTable.size() + 1);
    std::string folded;
    for (std::size_t f = 0; f < places.size(); ++f) {
        FolderPlace& place = places[f];
        place.folder = f == 0 ? input.sourceDir : std::string_view(input.folderTable[f - 1]);
        place.targetFolder =
            std::string(input.destDir) + std::string(After(place.folder, input.sourceDir.size()));
        place.relativeFolder = After(place.targetFolder, input.destDir.size());
        text::FoldCaseInto(place.targetFolder, folded);
        place.foldedHash = engine::FoldedHash(folded);
        place.plain = place.targetFolder.empty() || place.targetFolder.ends_with('\\');
        place.samePlace = place.targetFolder == place.folder;
    }
    return places;
}

std::size_t PlaceSlot(const ListEntry& entry, std::size_t placeCount) {
    const auto index = static_cast<std::size_t>(entry.folderIndex);
    return index < placeCount ? index : 0;
}

// How much of a target row's text is its folder, as the display shows it.
std::size_t ShownFolderLength(int pathDisplay, const FolderPlace& place) {
    switch (pathDisplay) {
        case engine::kShowPartialPath:
            return place.relativeFolder.size();
        case engine::kShowFullPath:
            return place.targetFolder.size();
        default:
            return 0;
    }
}

// A renamed row's new name: its text in the target list past the folder shown.
std::string_view NewNameOf(const Preview& preview, int pathDisplay, const FolderPlace& place,
                           std::size_t row) {
    return After(preview.targets[row], ShownFolderLength(pathDisplay, place));
}

// What the checks of one row that need no other row found, made on the thread
// that made its name.
struct RowFacts {
    enum class Kind : std::uint8_t { NotMade, Kept, Unchanged, Renamed };
    Kind kind = Kind::NotMade;
    /// Which maker made it last, so that a name made again replaces the first.
    std::uint8_t maker = 0;
    bool caseOnly = false;
    /// The name has no sub-folder and its target folder is plain: its leaf is
    /// looked up among the target folder's names by `leafHash`.
    bool plainPlace = false;
    std::uint64_t leafHash = 0;
    std::uint64_t pathHash = 0;
};

// Makes rows of the pass: each row's name, its text in the target list, the
// checks that need no other row, and the keys the other checks compare. One
// maker belongs to one thread; makers write only the rows they are given.
class RowMaker {
  public:
    RowMaker(std::uint8_t id, const engine::NamePipeline& pipeline, const PreviewInput& input,
             const std::vector<FolderPlace>& places, Preview& preview, std::vector<RowFacts>& facts)
        : id_(id),
          pipeline_(pipeline),
          input_(input),
          places_(places),
          preview_(preview),
          facts_(facts) {}

    void Make(std::size_t row, std::int64_t selectionCount, std::int64_t sequenceIndex);

    /// Makes the selected rows of [begin, end) as the pass would if every
    /// selected row before each were renamed: its autonumber index is then the
    /// number of selected rows before it (in its folder, when each folder is
    /// numbered anew).
    void MakeGuessing(std::size_t begin, std::size_t end);

    /// Rows named with a tag that found no value, with what they say.
    const std::vector<std::pair<std::size_t, engine::RowMessage>>& TagMisses() const {
        return tagMisses_;
    }
    std::uint8_t Id() const { return id_; }

  private:
    void CheckOnItsOwn(std::size_t row, std::string_view newName);
    void MakeKeys(RowFacts& facts, const FolderPlace& place, std::string_view newName);

    std::uint8_t id_;
    const engine::NamePipeline& pipeline_;
    const PreviewInput& input_;
    const std::vector<FolderPlace>& places_;
    Preview& preview_;
    std::vector<RowFacts>& facts_;
    std::vector<std::pair<std::size_t, engine::RowMessage>> tagMisses_;
    // Reused from row to row.
    engine::NameResult made_;
    std::string fullPath_;
    std::string folded_;
    std::string path_;
};

void RowMaker::Make(std::size_t row, std::int64_t selectionCount, std::int64_t sequenceIndex) {
    const ListEntry& entry = input_.rows[row];
    const FolderPlace& place = places_[PlaceSlot(entry, places_.size())];
    const std::string_view filename = EntryFilename(entry.text);
    // The real folder of the entry, whatever the display mode shows.
    fullPath_.assign(place.folder).append(filename);
    const engine::TagValues* tags = row < input_.rowTags.size() ? input_.rowTags[row] : nullptr;
    pipeline_.Process(filename, {fullPath_, selectionCount, sequenceIndex, tags}, made_);

    RowFacts& facts = facts_[row];
    facts = {};
    facts.maker = id_;
    std::string& target = preview_.targets[row];
    target.clear();
    preview_.messages[row].reset();
    if (made_.keptName) {
        // The row keeps its name, so neither the commit nor an export
        // touches it, and says why.
        facts.kind = RowFacts::Kind::Kept;
        SetMessage(preview_, row, {made_.message, made_.shownMessage});
        return;
    }
    if (made_.name == filename) {
        facts.kind = RowFacts::Kind::Unchanged;
        return;
    }
    facts.kind = RowFacts::Kind::Renamed;
    const std::size_t folderLength = ShownFolderLength(input_.pathDisplay, place);
    target.assign(place.targetFolder, place.targetFolder.size() - folderLength, folderLength)
        .append(made_.name);
    facts.caseOnly = !engine::DiffersOtherThanCase(filename, made_.name);
    CheckOnItsOwn(row, made_.name);
    if (input_.checks.errorLevel >= 2) {
        MakeKeys(facts, place, made_.name);
    }
    if (!made_.message.empty()) {
        tagMisses_.emplace_back(row, engine::RowMessage{made_.message, made_.shownMessage});
    }
}

// The length and invalid-character checks, in their fixed order: a later
// failing check replaces the message.
void RowMaker::CheckOnItsOwn(std::size_t row, std::string_view newName) {
    const PreviewChecks& checks = input_.checks;
    engine::RowMessage found;
    if (checks.maxLengthCheck) {
        found = engine::LengthMessage(newName, checks.maxLength);
    }
    if (checks.errorLevel >= 1) {
        if (std::string invalid = engine::ErrorCheck1(newName); !invalid.empty()) {
            found = engine::RowMessage::Fixed(std::move(invalid));
        }
    }
    if (!found.Empty()) {
        SetMessage(preview_, row, std::move(found));
    }
}

// A file and a folder with the same target collide, so the folder mark is
// not part of the keys.
void RowMaker::MakeKeys(RowFacts& facts, const FolderPlace& place, std::string_view newName) {
    newName = WithoutFolderMark(newName);
    if (place.plain && newName.find('\\') == std::string_view::npos) {
        text::FoldCaseInto(newName, folded_);
        facts.plainPlace = true;
        facts.leafHash = engine::FoldedHash(folded_);
        facts.pathHash = engine::TargetPathHash(place.foldedHash, facts.leafHash);
        return;
    }
    // A name with sub-folders: the whole path, split after its last backslash.
    path_.assign(place.targetFolder).append(newName);
    text::FoldCaseInto(path_, folded_);
    const std::size_t slash = folded_.rfind('\\');
    const std::size_t leaf = slash == std::string::npos ? 0 : slash + 1;
    const std::string_view folded(folded_);
    facts.pathHash = engine::TargetPathHash(engine::FoldedHash(folded.substr(0, leaf)),
                                            engine::FoldedHash(folded.substr(leaf)));
}

void RowMaker::MakeGuessing(std::size_t begin, std::size_t end) {
    engine::AutonumberCounter guess = AutonumberCounterFor(input_.rows, input_.numberPerFolder);
    for (std::size_t i = 0; i < begin; ++i) {
        if (input_.rows[i].selected) {
            guess.Advance(input_.rows[i].folderIndex);
        }
    }
    for (std::size_t i = begin; i < end; ++i) {
        PrefetchTags(input_.rowTags, i);
        const ListEntry& entry = input_.rows[i];
        if (entry.selected) {
            Make(i, guess.SelectionFor(entry.folderIndex), guess.IndexFor(entry.folderIndex));
            guess.Advance(entry.folderIndex);
        }
    }
}

// The rows of a long list made ahead on two threads, one half each. Making a
// row is independent of the others, so the halves need no lock; the pass
// keeps a row made ahead only where its autonumber index came out as guessed
// (nearly always: a numbered name rarely stays as it was), so the rows are
// exactly one thread's.
void MakeRowsAhead(const PreviewInput& input, RowMaker& first, RowMaker& second) {
    const std::size_t rowCount = input.rows.size();
    const std::size_t middle = rowCount / 2;
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            second.MakeGuessing(middle, rowCount);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        first.MakeGuessing(0, middle);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

bool MakesRowsAhead(const engine::NamePipeline& pipeline, const PreviewInput& input) {
    return input.secondPipeline != nullptr && input.rows.size() >= kRowsForTwoThreads &&
           pipeline.SameOnAnyThread();
}

// Every row as it is, for a pass about to start or one that failed.
void ResetPreview(Preview& preview, std::size_t rowCount) {
    preview.targets.resize(rowCount);
    for (std::string& target : preview.targets) {
        target.clear();
    }
    preview.messages.clear();
    preview.messages.resize(rowCount);
    preview.renameCounter = 0;
    preview.errorCount = 0;
    preview.widestName.clear();
}

// The checks that compare a row with the others and with the disk, row by
// row in the order of the list.
class PassChecks {
  public:
    PassChecks(platform::FileSystem& fileSystem, const PreviewInput& input,
               std::vector<FolderPlace>& places, Preview& preview)
        : input_(input),
          places_(places),
          preview_(preview),
          duplicates_(input.checks.errorLevel >= 3 ? input.rows.size() : 0),
          existing_(fileSystem, &input.folderTable, input.listedNames),
          held_(input, existing_) {}

    void CheckRenamed(std::size_t row, const RowFacts& facts);
    void Finish(platform::FileSystem& fileSystem) { held_.Decide(fileSystem, preview_); }

  private:
    std::string_view NewName(std::size_t row) const;
    const FolderPlace& PlaceOf(std::size_t row) const {
        return places_[PlaceSlot(input_.rows[row], places_.size())];
    }
    bool SameTarget(std::size_t earlier, std::size_t row);
    bool MayBeTaken(FolderPlace& place, const RowFacts& facts, std::string_view newName);

    const PreviewInput& input_;
    std::vector<FolderPlace>& places_;
    Preview& preview_;
    engine::DuplicateTargets duplicates_;
    ExistingTargets existing_;
    HeldTargets held_;
    std::string foldedEarlier_;
    std::string foldedRow_;
};

std::string_view PassChecks::NewName(std::size_t row) const {
    return NewNameOf(preview_, input_.pathDisplay, PlaceOf(row), row);
}

// Hashes agree: the paths decide, folded for case, without folder marks.
bool PassChecks::SameTarget(std::size_t earlier, std::size_t row) {
    const auto folded = [this](std::size_t r, std::string& out) {
        std::string path = PlaceOf(r).targetFolder;
        path.append(WithoutFolderMark(NewName(r)));
        text::FoldCaseInto(path, out);
    };
    folded(earlier, foldedEarlier_);
    folded(row, foldedRow_);
    return foldedEarlier_ == foldedRow_;
}

bool PassChecks::MayBeTaken(FolderPlace& place, const RowFacts& facts, std::string_view newName) {
    if (!facts.plainPlace) {
        return existing_.MayBeTaken(place.targetFolder, newName);
    }
    if (place.names == nullptr) {
        place.names = &existing_.NamesIn(place.targetFolder);
    }
    return place.names->MayHoldFolded(facts.leafHash);
}

void PassChecks::CheckRenamed(std::size_t row, const RowFacts& facts) {
    const int errorLevel = input_.checks.errorLevel;
    bool duplicate = false;
    if (errorLevel >= 3) {
        duplicate = duplicates_.Repeats(facts.pathHash, row, [this, row](std::size_t earlier) {
            return SameTarget(earlier, row);
        });
        if (duplicate) {
            // The duplicate check comes last, so it wins.
            SetMessage(preview_, row, engine::RowMessage::Fixed(N_("Duplicate filename")));
        }
    }
    if (errorLevel < 2) {
        return;
    }
    FolderPlace& place = places_[PlaceSlot(input_.rows[row], places_.size())];
    held_.NoteRenamed(row, facts.caseOnly && place.samePlace);
    // A row flagged as a duplicate keeps that message whatever its target.
    const std::string_view newName = NewName(row);
    if (!duplicate && MayBeTaken(place, facts, newName)) {
        const std::string newNameText(newName);
        const std::string fullPath =
            facts.caseOnly
                ? std::string(place.folder) + std::string(EntryFilename(input_.rows[row].text))
                : std::string();
        held_.Ask(row, place.targetFolder, newNameText, fullPath);
    }
}

void RunPass(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
             const PreviewInput& input, PreviewObserver& observer, Preview& preview) {
    const std::size_t rowCount = input.rows.size();
    ResetPreview(preview, rowCount);
    std::vector<FolderPlace> places = FolderPlaces(input);
    std::vector<RowFacts> facts(rowCount);
    RowMaker first(0, pipeline, input, places, preview, facts);
    RowMaker main(2, pipeline, input, places, preview, facts);
    std::optional<RowMaker> second;
    bool ahead = false;
    if (MakesRowsAhead(pipeline, input)) {
        second.emplace(1, *input.secondPipeline, input, places, preview, facts);
        MakeRowsAhead(input, first, *second);
        ahead = true;
    }

    PassChecks checks(fileSystem, input, places, preview);
    engine::AutonumberCounter counter = AutonumberCounterFor(input.rows, input.numberPerFolder);
    // The numbering the rows were made ahead with: every selected row renamed.
    engine::AutonumberCounter guess = counter;
    std::size_t widestLength = 0;
    for (std::size_t i = 0; i < rowCount; ++i) {
        observer.RowStarted(static_cast<int>(i), static_cast<int>(rowCount));
        const ListEntry& entry = input.rows[i];
        if (!entry.selected) {
            continue;
        }
        const std::int64_t sequenceIndex = counter.IndexFor(entry.folderIndex);
        const bool madeAsGuessed = ahead && (!pipeline.NumbersNames() ||
                                             guess.IndexFor(entry.folderIndex) == sequenceIndex);
        guess.Advance(entry.folderIndex);
        if (!madeAsGuessed) {
            PrefetchTags(input.rowTags, i);
            main.Make(i, counter.SelectionFor(entry.folderIndex), sequenceIndex);
        }
        if (facts[i].kind != RowFacts::Kind::Renamed) {
            continue;
        }
        ++preview.renameCounter;
        counter.Advance(entry.folderIndex);
        // Never more characters than bytes: most names need no counting.
        const FolderPlace& place = places[PlaceSlot(entry, places.size())];
        const std::string_view newName = NewNameOf(preview, input.pathDisplay, place, i);
        for (const std::string_view name : {EntryFilename(entry.text), newName}) {
            if (name.size() > widestLength) {
                const std::size_t length = text::CodePointCount(name);
                if (length > widestLength) {
                    widestLength = length;
                    preview.widestName = name;
                }
            }
        }
        checks.CheckRenamed(i, facts[i]);
    }
    checks.Finish(fileSystem);
    // A tag without a value says so only where no check found a fault: the
    // name is made all the same, so the row still frees its old name.
    for (const RowMaker* maker : {&first, &main, second ? &*second : nullptr}) {
        if (maker == nullptr) {
            continue;
        }
        for (const auto& [row, message] : maker->TagMisses()) {
            if (facts[row].maker == maker->Id() && !preview.Flagged(row)) {
                SetMessage(preview, row, message);
            }
        }
    }
    preview.errorCount =
        static_cast<int>(std::count_if(preview.messages.begin(), preview.messages.end(),
                                       [](const auto& message) { return message != nullptr; }));
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

void ComputePreview(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
                    const PreviewInput& input, PreviewObserver& observer, Preview& preview) {
    try {
        RunPass(fileSystem, pipeline, input, observer, preview);
    } catch (...) {
        ResetPreview(preview, input.rows.size());
        throw;
    }
}

Preview ComputePreview(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
                       const PreviewInput& input, PreviewObserver& observer) {
    Preview preview;
    ComputePreview(fileSystem, pipeline, input, observer, preview);
    return preview;
}

}  // namespace kestrel::lists
