#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "engine/autonumber_counter.h"
#include "engine/name_pipeline.h"
#include "engine/row_message.h"
#include "lists/list_entry.h"
#include "lists/listed_names.h"
#include "lists/name_set.h"
#include "platform/file_system.h"

// The live preview: for every source row, the new name the rename options
// would give it (empty when the row is unselected or its name stays), and the
// message of the last failing name check. Nothing
// on disk changes here; the only file-system question is whether a target
// already exists.
namespace kestrel::lists {

/// Below this many rows a second thread for the names costs more than it saves.
inline constexpr std::size_t kRowsForTwoThreads = 4096;

struct PreviewChecks {
    int errorLevel = 3;  // 0 none .. 3 invalid characters, existing and duplicate targets
    bool maxLengthCheck = false;
    int maxLength = 64;
};

class PreviewObserver {
  public:
    virtual ~PreviewObserver() = default;
    /// Before row `row` (0-based) of `rowCount` is computed.
    virtual void RowStarted(int row, int rowCount) = 0;
};

struct PreviewInput {
    const std::vector<ListEntry>& rows;
    const std::vector<std::string>& folderTable;  // [0] is folder index 1
    std::string_view sourceDir;                   // the working folder
    std::string_view destDir;                     // the target folder
    int pathDisplay = 0;
    PreviewChecks checks;
    /// The names the listing read, so that their folders are not read again
    /// while nothing in them changes.
    ListedNames* listedNames = nullptr;
    /// "Copy": every source stays, so no row frees another's target.
    bool copy = false;
    /// What each row's file gave for the tags the texts name (null for a row
    /// not read); empty when the texts name none.
    std::span<const engine::TagValues* const> rowTags;
    /// "Restart numbering in each folder".
    bool numberPerFolder = false;
    /// A second pipeline of the same options, for a second thread to make
    /// names with; null keeps the pass on the calling thread.
    const engine::NamePipeline* secondPipeline = nullptr;
};

struct Preview {
    /// Target row i belongs to source row i; empty when it does not change.
    std::vector<std::string> targets;
    /// One entry per row, null when the row passed its checks (or did not
    /// change): a pointer, so that a long list of rows that pass costs eight
    /// bytes a row. A row the pipeline could not make a name for keeps its
    /// name (an empty target) and has the pipeline's message; so has a row
    /// whose name is made with a tag that found no value, unless a check failed.
    std::vector<std::unique_ptr<const engine::RowMessage>> messages;
    int renameCounter = 0;  // changed rows
    int errorCount = 0;     // flagged rows
    /// The longer of old and new name with the most characters, for the scroll extent.
    std::string widestName;

    bool Flagged(std::size_t row) const { return row < messages.size() && messages[row]; }
    /// The row's message in English, as the preview lines write it; empty when it passed.
    std::string_view EnglishMessage(std::size_t row) const {
        return Flagged(row) ? std::string_view(messages[row]->english) : std::string_view();
    }
    /// The same message in the user's language, as the window shows it.
    std::string_view ShownMessage(std::size_t row) const {
        return Flagged(row) ? std::string_view(messages[row]->shown) : std::string_view();
    }
};

/// The row's own name as the pipeline takes it: the leaf of its display text,
/// with a folder's trailing backslash kept.
std::string_view EntryFilename(std::string_view displayText);

/// The folder the row's entry was listed in, whatever the display mode shows.
std::string_view EntryFolder(const ListEntry& entry, const std::vector<std::string>& folderTable,
                             std::string_view sourceDir);

/// Answers "is there a readable file at this target?" for one preview pass, for
/// the disk as it is when the pass starts. Each target folder is read once (or
/// not at all while the names the listing read of it are known to be right);
/// only names found there (compared without regard to case) cost a metadata
/// call, so a pass over 32,767 renamed rows does not stat 32,767 missing paths.
class ExistingTargets {
  public:
    /// `folderTable` and `listedNames` are the listing's, when it read any;
    /// the names of folders changed since they were read are dropped here.
    explicit ExistingTargets(platform::FileSystem& fileSystem,
                             const std::vector<std::string>* folderTable = nullptr,
                             ListedNames* listedNames = nullptr);

    /// "Filename already exists" (in English) when an existing readable file is at
    /// `targetFolder` + `relativeName` (one trailing backslash ignored); folders never
    /// report. For a change of letter case only, pass the item's own path: on a
    /// volume that ignores case the lookup finds the item itself, which is no
    /// collision, while on one that tells case apart another file may hold
    /// exactly the new name.
    std::string ErrorCheck2(std::string_view targetFolder, std::string_view relativeName,
                            std::string_view caseChangedItem = {});
    /// False when no listed name is like the target, so that ErrorCheck2 would
    /// report nothing; true asks ErrorCheck2. Never touches an entry.
    bool MayBeTaken(std::string_view targetFolder, std::string_view relativeName);
    /// The names in `folder`, from the listing or read now.
    const NameSet& NamesIn(std::string_view folder);

  private:
    /// The names of the listing's folder `index`, read again when they are not
    /// known to be right, and then kept for later passes while it is watched.
    const NameSet& ListedNamesIn(std::string_view folder, std::size_t index);
    /// Whether `folder` holds an entry of exactly the name `leaf`.
    bool HoldsExactly(std::string_view folder, std::string_view leaf);

    platform::FileSystem& fileSystem_;
    ListedNames* listedNames_;
    /// The listing's folders by their text: their table index and, once this
    /// pass has asked, their names.
    struct ListedFolder {
        std::size_t index = 0;
        const NameSet* names = nullptr;
    };
    std::unordered_map<std::string_view, ListedFolder> listed_;
    std::unordered_map<std::string, NameSet> readNow_;
    /// The exact names of the folders HoldsExactly was asked about.
    std::unordered_map<std::string, std::unordered_set<std::string>> exactNames_;
};

/// The autonumber counter of a pass over `rows`, which counts the selected
/// rows of each folder for the width of automatic numbering.
engine::AutonumberCounter AutonumberCounterFor(const std::vector<ListEntry>& rows, bool perFolder);

/// Makes the preview of `input` into `preview`, reusing what its texts hold
/// from the last pass, so that a pass after a keystroke allocates little. On
/// failure `preview` is left with every row unchanged.
void ComputePreview(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
                    const PreviewInput& input, PreviewObserver& observer, Preview& preview);

/// A new preview of `input`.
Preview ComputePreview(platform::FileSystem& fileSystem, const engine::NamePipeline& pipeline,
                       const PreviewInput& input, PreviewObserver& observer);

}  // namespace kestrel::lists
