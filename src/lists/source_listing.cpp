#include "lists/source_listing.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "lists/filter_pattern.h"
#include "platform/file_attributes.h"
#include "platform/file_error.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

// Names the platform or older systems keep for themselves; renaming them would
// do harm, so they never appear.
constexpr std::string_view kExcludedNames[] = {
    ".",          "..",       "pagefile.sys", "hiberfil.sys",
    "WIN386.SWP", "RECYCLER", "RECYCLED",     "System Volume Information",
};

bool PassesRule(int attributes, int bit, int rule) {
    switch (rule) {
        case engine::kAttributeFilter:
            return (attributes & bit) == 0;
        case engine::kAttributeSelect:
            return (attributes & bit) != 0;
        default:
            return true;
    }
}

// The marks the attribute rules look at; with every rule at "don't care" the
// listing needs no more than the names and kinds the folder read returns.
platform::AttributeNeeds NeedsOf(const engine::RenameOptions& o) {
    const auto cares = [](int rule) { return rule != engine::kAttributeDontCare; };
    return {.readOnly = cares(o.chkRbit),
            .storedMarks = cares(o.chkHbit) || cares(o.chkSbit) || cares(o.chkAbit),
            .stamps = NeedsStamps(o.cboSort)};
}

bool PassesAttributeTest(int attributes, const engine::RenameOptions& options) {
    return PassesRule(attributes, platform::kAttrHidden, options.chkHbit) &&
           PassesRule(attributes, platform::kAttrReadOnly, options.chkRbit) &&
           PassesRule(attributes, platform::kAttrArchive, options.chkAbit) &&
           PassesRule(attributes, platform::kAttrSystem, options.chkSbit);
}

bool ShowsFolders(int filesFolders) {
    return filesFolders == engine::kFoldersOnly || filesFolders == engine::kFilesAndFolders;
}

bool ShowsFiles(int filesFolders) {
    return filesFolders == engine::kFilesOnly || filesFolders == engine::kFilesAndFolders;
}

// The part of the display text that comes before the entry's name.
std::string_view DisplayPrefix(int pathDisplay, std::string_view workingFolder,
                               std::string_view folder) {
    switch (pathDisplay) {
        case engine::kShowPartialPath:
            return folder.substr(std::min(workingFolder.size(), folder.size()));
        case engine::kShowFullPath:
            return folder;
        default:
            return {};
    }
}

// One listing in progress: the folder loop, the entry loop and the rows made
// so far. Rows are collected in reading order and sorted once at the end.
class SourceLister {
  public:
    SourceLister(platform::FileSystem& fileSystem, const engine::RenameOptions& options,
                 std::string_view workingFolder, ListingObserver& observer)
        : fileSystem_(fileSystem),
          options_(options),
          workingFolder_(workingFolder),
          observer_(observer),
          filter_(options.txtFilter) {}

    SourceListing Run() {
        listing_.folderNames = ListedNames(fileSystem_.WatchFolders());
        listing_.folderTable.emplace_back(workingFolder_);
        // The table grows while it is walked, so it is indexed, not iterated.
        for (std::size_t f = 0; f < listing_.folderTable.size(); ++f) {
            if (!ListFolder(static_cast<int>(f) + 1)) {
                break;
            }
        }
        listing_.stampsRead = NeedsStamps(options_.cboSort);
        // The date taken is not the listing's to read: the Workspace sorts by
        // it once the files' tags are known.
        SortRows(listing_.rows, options_.cboSort, options_.chkSortDescending == 1);
        return std::move(listing_);
    }

  private:
    // False when the listing must end (row cap reached or interrupted).
    bool ListFolder(int folderIndex) {
        platform::FileError error;
        // A copy: appending sub-folders may move the table's strings.
        const auto tableIndex = static_cast<std::size_t>(folderIndex) - 1;
        const std::string folder = listing_.folderTable[tableIndex];
        // Watched before it is read, so that no change after the read is missed.
        const bool watched = listing_.folderNames.Watch(tableIndex, folder);
        const std::unique_ptr<platform::FolderReader> reader =
            fileSystem_.OpenFolder(folder, error);
        if (!reader) {
            return true;  // unreadable or vanished: pass it over
        }
        reader->LimitAttributes(NeedsOf(options_));
        NameSet names;
        platform::DirEntry entry;
        while (reader->Next(entry)) {
            ++entryCount_;
            observer_.EntryStarted(entryCount_);
            if (watched) {
                names.Add(entry.name);
            }
            if (!IsExcludedName(entry.name)) {
                HandleEntry(entry, folder, folderIndex);
            }
            // Both are recorded when they fall on the same entry, so the
            // Workspace can still warn that the list is full.
            listing_.rowLimitReached =
                listing_.rows.size() >= static_cast<std::size_t>(kMaxListRows);
            listing_.interrupted = !observer_.ContinueAfter(entryCount_);
            if (listing_.interrupted) {
                return false;
            }
            if (listing_.rowLimitReached) {
                // No more rows, but the rest of the names still count for the
                // existing-target check, which would otherwise read them again.
                // Names are all it needs of them.
                reader->LimitAttributes({.readOnly = false, .storedMarks = false, .stamps = false});
                while (watched && reader->Next(entry)) {
                    names.Add(entry.name);
                }
                break;
            }
        }
        // Only a folder read to its end is known to hold no other names.
        if (watched && reader->Error().Ok()) {
            listing_.folderNames.Keep(tableIndex, std::move(names));
        }
        return !listing_.rowLimitReached;
    }

    void HandleEntry(const platform::DirEntry& entry, std::string_view folder, int folderIndex) {
        const bool passes = PassesAttributeTest(entry.attributes, options_);
        if ((entry.attributes & platform::kAttrFolder) != 0) {
            // A link is never entered, so a link to a parent cannot loop.
            if (options_.chkRecurse != 0 && passes && !entry.isLink) {
                AppendFolder(folder, entry.name);
            }
            if (ShowsFolders(options_.cboFilesFolders)) {
                AddRow(folder, folderIndex, entry, true);
            }
        } else if (ShowsFiles(options_.cboFilesFolders) && passes) {
            AddRow(folder, folderIndex, entry, false);
        }
    }

    void AppendFolder(std::string_view parent, std::string_view name) {
        if (listing_.folderTable.size() >= static_cast<std::size_t>(kMaxFolders)) {
            listing_.folderLimitReached = true;
            return;
        }
        std::string path;
        path.reserve(parent.size() + name.size() + 1);
        path.append(parent).append(name).push_back('\\');
        listing_.folderTable.push_back(std::move(path));
    }

    void AddRow(std::string_view folder, int folderIndex, const platform::DirEntry& entry,
                bool isFolder) {
        const std::string_view name = entry.name;
        const std::string_view prefix =
            DisplayPrefix(options_.cboPathDisplay, workingFolder_, folder);
        ListEntry row;
        row.text.reserve(prefix.size() + name.size() + 1);
        row.text.append(prefix).append(name);
        row.folderIndex = folderIndex;
        if (!ApplyFilter(name, row)) {
            return;
        }
        // Measured before the folder mark is added: the mark is not part of
        // what the scroll extent has to show.
        const std::size_t width = text::CodePointCount(row.text);
        if (width > widestWidth_) {
            widestWidth_ = width;
            listing_.widestText = row.text;
        }
        if (isFolder) {
            row.text.push_back('\\');
        }
        row.readOrder = static_cast<std::uint32_t>(listing_.rows.size());
        row.modified = entry.modified;
        row.size = entry.size;
        listing_.rows.push_back(std::move(row));
    }

    // Sets the row's selection by the filter mode; false when the row is
    // not to be listed at all.
    bool ApplyFilter(std::string_view name, ListEntry& row) const {
        switch (options_.cboFilter) {
            case engine::kViewAndSelectAll:
                row.selected = true;
                return true;
            case engine::kViewMatching:
                return filter_.Matches(name);
            case engine::kSelectMatching:
                row.selected = filter_.Matches(name);
                return true;
            case engine::kSelectNonMatching:
                row.selected = !filter_.Matches(name);
                return true;
            default:
                return true;
        }
    }

    platform::FileSystem& fileSystem_;
    const engine::RenameOptions& options_;
    std::string_view workingFolder_;
    ListingObserver& observer_;
    const FilterPattern filter_;
    SourceListing listing_;
    int entryCount_ = 0;
    std::size_t widestWidth_ = 0;
};

}  // namespace

bool IsExcludedName(std::string_view name) {
    return name.find('?') != std::string_view::npos ||
           std::find(std::begin(kExcludedNames), std::end(kExcludedNames), name) !=
               std::end(kExcludedNames);
}

std::string DisplayText(int pathDisplay, std::string_view workingFolder, std::string_view folder,
                        std::string_view name) {
    const std::string_view prefix = DisplayPrefix(pathDisplay, workingFolder, folder);
    std::string out;
    out.reserve(prefix.size() + name.size());
    out.append(prefix).append(name);
    return out;
}

SourceListing ReadSourceList(platform::FileSystem& fileSystem, const engine::RenameOptions& options,
                             std::string_view workingFolder, ListingObserver& observer) {
    return SourceLister(fileSystem, options, workingFolder, observer).Run();
}

}  // namespace kestrel::lists
