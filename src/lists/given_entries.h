#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/rename_options.h"
#include "lists/source_listing.h"
#include "platform/file_system.h"

// The entries a file manager hands over ("Rename with Kestrel" on a selection):
// listed alone, every one of them selected, instead of whole folders. They may
// come from one folder or from several, as a recursive listing's rows do.
namespace kestrel::lists {

struct GivenEntries {
    /// The nearest folder holding every entry, with its trailing backslash:
    /// the working folder while these entries are listed.
    std::string workingFolder;
    /// Program paths; a folder's without its trailing backslash.
    std::vector<std::string> paths;
};

/// The entries of `paths` (program paths; a trailing backslash is dropped),
/// with the nearest folder that holds them all.
GivenEntries GiveEntries(std::vector<std::string> paths);

/// Rows for exactly the given entries that are there now, all selected and
/// sorted as a listing sorts; the folder table starts with the working folder
/// and holds each entry's folder. The filter and the attribute rules do not
/// apply: the user chose these entries one by one.
SourceListing ReadGivenEntries(platform::FileSystem& fileSystem,
                               const engine::RenameOptions& options, const GivenEntries& given,
                               ListingObserver& observer);

/// After a commit or an undo moved entries from the first path of each pair
/// to the second, in the order given: the given entries under their new paths (an entry inside a
/// moved folder too). An entry that left the working folder's tree is no
/// longer listed, as a folder listing would not show it either.
void FollowMovedEntries(GivenEntries& given,
                        const std::vector<std::pair<std::string, std::string>>& moves);

}  // namespace kestrel::lists
