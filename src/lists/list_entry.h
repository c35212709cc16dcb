#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace kestrel::lists {

/// One row of the source list.
struct ListEntry {
    /// The row as shown; a folder's text ends with one backslash.
    std::string text;
    /// 1-based index into the folder table of the folder holding the entry.
    int folderIndex = 1;
    /// Whether the entry takes part in preview and commit.
    bool selected = false;
    /// The row's place in the order the listing read the entries: equal keys
    /// keep that order in every sort, so that a list sorted again comes out
    /// as a fresh listing would.
    std::uint32_t readOrder = 0;
    /// Last modification in nanoseconds since 1970 and size in bytes, read
    /// only for the orders that compare them (see SourceListing::stampsRead).
    std::int64_t modified = 0;
    std::uint64_t size = 0;
};

/// Number of rows taking part in preview and commit.
inline std::size_t CountSelected(const std::vector<ListEntry>& rows) {
    return static_cast<std::size_t>(
        std::count_if(rows.begin(), rows.end(), [](const ListEntry& e) { return e.selected; }));
}

/// The list holds at most this many rows, and the folder table this many folders.
inline constexpr int kMaxListRows = 32767;
inline constexpr int kMaxFolders = 32767;

}  // namespace kestrel::lists
