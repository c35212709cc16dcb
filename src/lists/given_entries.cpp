#include "lists/given_entries.h"

#include <algorithm>
#include <unordered_map>

#include "platform/file_attributes.h"
#include "text/program_path.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

// The folder text of a path's parent, with its trailing backslash.
std::string_view ParentOf(std::string_view path) {
    return path.substr(0, path.rfind('\\') + 1);
}

std::string_view LeafOf(std::string_view path) {
    return path.substr(path.rfind('\\') + 1);
}

// The path's own folder mark goes: entries are named as the undo log names them.
std::string WithoutFolderMark(std::string path) {
    if (path.size() > 3) {
        text::StripTrailingBackslash(path);
    }
    return path;
}

std::string CommonFolder(const std::vector<std::string>& paths) {
    if (paths.empty()) {
        return {};
    }
    std::string_view common = ParentOf(paths.front());
    for (const std::string& path : paths) {
        // Shortened at a backslash until it is a folder of this path too.
        while (!common.empty() && !path.starts_with(common)) {
            common = ParentOf(common.substr(0, common.size() - 1));
        }
    }
    return std::string(common);
}

}  // namespace

GivenEntries GiveEntries(std::vector<std::string> paths) {
    for (std::string& path : paths) {
        path = WithoutFolderMark(std::move(path));
    }
    // The same entry given twice is one row.
    std::vector<std::string> unique;
    for (std::string& path : paths) {
        if (std::find(unique.begin(), unique.end(), path) == unique.end()) {
            unique.push_back(std::move(path));
        }
    }
    GivenEntries given{CommonFolder(unique), std::move(unique)};
    return given;
}

SourceListing ReadGivenEntries(platform::FileSystem& fileSystem,
                               const engine::RenameOptions& options, const GivenEntries& given,
                               ListingObserver& observer) {
    SourceListing listing;
    listing.folderNames = ListedNames(fileSystem.WatchFolders());
    listing.folderTable.push_back(given.workingFolder);
    std::unordered_map<std::string, int> folderIndex{{given.workingFolder, 1}};
    std::vector<bool> namesRead(1, false);
    std::size_t widest = 0;
    int count = 0;
    for (const std::string& path : given.paths) {
        observer.EntryStarted(++count);
        const std::string_view parent = ParentOf(path);
        const auto [found, added] = folderIndex.try_emplace(
            std::string(parent), static_cast<int>(listing.folderTable.size()) + 1);
        if (added) {
            listing.folderTable.emplace_back(parent);
            namesRead.push_back(false);
        }
        const auto index = static_cast<std::size_t>(found->second) - 1;
        // Each folder that holds an entry is watched, then read once, for the
        // preview's existing-target check.
        if (!namesRead[index]) {
            namesRead[index] = true;
            const std::string& folder = listing.folderTable[index];
            if (listing.folderNames.Watch(index, folder)) {
                std::vector<std::string> names;
                if (fileSystem.ListNames(folder, names).Ok()) {
                    listing.folderNames.Keep(index, NameSetOf(names));
                }
            }
        }
        const platform::AttributesResult attributes = fileSystem.GetAttributes(path);
        const std::string_view name = LeafOf(path);
        if (attributes.error.Ok() && !IsExcludedName(name)) {
            ListEntry row;
            row.text = DisplayText(options.cboPathDisplay, given.workingFolder,
                                   listing.folderTable[index], name);
            row.folderIndex = found->second;
            row.selected = true;
            row.readOrder = static_cast<std::uint32_t>(listing.rows.size());
            if (NeedsStamps(options.cboSort)) {
                const platform::EntryDetails details = fileSystem.GetDetails(path);
                row.modified = details.modified * 1'000'000'000;
                row.size = (attributes.attributes & platform::kAttrFolder) != 0 ? 0 : details.size;
            }
            if (const std::size_t width = text::CodePointCount(row.text); width > widest) {
                widest = width;
                listing.widestText = row.text;
            }
            if ((attributes.attributes & platform::kAttrFolder) != 0) {
                row.text.push_back('\\');
            }
            listing.rows.push_back(std::move(row));
        }
        listing.rowLimitReached = listing.rows.size() >= static_cast<std::size_t>(kMaxListRows);
        listing.interrupted = !observer.ContinueAfter(count);
        if (listing.rowLimitReached || listing.interrupted) {
            break;
        }
    }
    listing.stampsRead = NeedsStamps(options.cboSort);
    SortRows(listing.rows, options.cboSort, options.chkSortDescending == 1);
    return listing;
}

void FollowMovedEntries(GivenEntries& given,
                        const std::vector<std::pair<std::string, std::string>>& moves) {
    // The moves are taken in order, so a chain through a temporary name (a
    // swap: a to a temporary name, b to a, the temporary name to b) is one
    // move from where each entry started to where it ended.
    std::unordered_map<std::string, std::string> startedAt;  // keyed by where it is now
    for (const auto& [from, to] : moves) {
        std::string start = WithoutFolderMark(from);
        if (const auto earlier = startedAt.find(start); earlier != startedAt.end()) {
            start = std::move(earlier->second);
            startedAt.erase(earlier);
        }
        startedAt[WithoutFolderMark(to)] = std::move(start);
    }
    std::unordered_map<std::string, std::string> movedTo;
    for (auto& [now, start] : startedAt) {
        movedTo[std::move(start)] = now;
    }
    std::vector<std::string> followed;
    for (const std::string& path : given.paths) {
        std::string now = path;
        // The entry itself, else the nearest folder above it that moved.
        for (std::string_view above = path;;) {
            if (const auto moved = movedTo.find(std::string(above)); moved != movedTo.end()) {
                now = moved->second + path.substr(above.size());
                break;
            }
            const std::size_t slash = above.rfind('\\');
            if (slash == std::string_view::npos || slash < 3) {
                break;  // a drive root: nothing above it moves
            }
            above = above.substr(0, slash);
        }
        if (now.starts_with(given.workingFolder) && now.size() > given.workingFolder.size()) {
            followed.push_back(std::move(now));
        }
    }
    given.paths = std::move(followed);
}

}  // namespace kestrel::lists
