#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/rename_options.h"
#include "lists/list_entry.h"
#include "lists/list_order.h"
#include "lists/listed_names.h"
#include "platform/file_system.h"

// Reads the working folder (and, with "Recurse", its sub-folders breadth-first)
// into source-list rows: which entries appear, how each is written, which start
// out selected. The Workspace wraps it with the status texts, the progress bar
// and the interrupt question through a ListingObserver.
namespace kestrel::lists {

class ListingObserver {
  public:
    virtual ~ListingObserver() = default;
    /// Before each entry of a folder is handled; `number` is the running
    /// number n, starting at 1.
    virtual void EntryStarted(int number) = 0;
    /// After each entry; `count` is the entry counter c (skipped and excluded
    /// entries count). Returning false ends the listing (the user aborted).
    virtual bool ContinueAfter(int count) = 0;
};

struct SourceListing {
    std::vector<ListEntry> rows;  // in the order "Sort" asks for
    /// Each row's modification time and size were read (an order by them asked).
    bool stampsRead = false;
    /// Folder paths ending with a backslash; folderTable[0] is folder index 1,
    /// the working folder exactly as given.
    std::vector<std::string> folderTable;
    bool rowLimitReached = false;     // stopped at kMaxListRows rows
    bool folderLimitReached = false;  // sub-folders beyond kMaxFolders were not entered
    bool interrupted = false;         // the observer ended the listing
    /// The display text (without a folder's trailing backslash) with the most
    /// characters, for the lists' horizontal scroll extent.
    std::string widestText;
    /// For each folder of the table read to its end, every name in it, listed
    /// or not, kept while the folder is watched, so that the preview's
    /// existing-target check need not read the folder again.
    ListedNames folderNames;
};

/// The entry names that are never listed (exact, case-sensitive), and any
/// name holding "?" (a host name that cannot be written as program text).
bool IsExcludedName(std::string_view name);

/// The row text of entry `name` in `folder` for the path display mode, given
/// the working folder (without the trailing backslash a folder row gets).
std::string DisplayText(int pathDisplay, std::string_view workingFolder, std::string_view folder,
                        std::string_view name);

/// Lists `workingFolder` (a folder text ending with a backslash, kept as given
/// in folderTable[0]). A folder that cannot be read is passed over; a working
/// folder that cannot be read lists nothing.
SourceListing ReadSourceList(platform::FileSystem& fileSystem, const engine::RenameOptions& options,
                             std::string_view workingFolder, ListingObserver& observer);

}  // namespace kestrel::lists
