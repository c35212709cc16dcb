#pragma once

#include <string>

namespace kestrel::lists {

/// One row of the source list.
struct ListEntry {
    /// The row as shown; a folder's text ends with one backslash.
    std::string text;
    /// 1-based index into the folder table of the folder holding the entry.
    int folderIndex = 1;
    /// Whether the entry takes part in preview and commit.
    bool selected = false;
};

/// The list holds at most this many rows, and the folder table this many folders.
inline constexpr int kMaxListRows = 32767;
inline constexpr int kMaxFolders = 32767;

}  // namespace kestrel::lists
