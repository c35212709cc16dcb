#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/desktop_opener.h"

// Acting on one entry of the source list: renaming it by hand, deleting it,
// opening it with the desktop's program. Each works on the entry a source row
// shows and asks and reports through the Workspace's window.
namespace kestrel::app {

class Workspace;

/// The program path of source row `row`'s entry, read as the row shows it: a
/// name in its own folder, a path below the working folder, or a full path.
/// A folder keeps its mark.
std::string EntryPath(const Workspace& workspace, std::size_t row);

/// The folder a row's text is written from (what EntryPath puts before it);
/// empty when the row shows full paths.
std::string EntryBase(const Workspace& workspace, std::size_t row);

/// Renames row `row`'s entry to `newText`, read as the row's text is read.
/// Names no entry may have are refused (52), an existing entry is never
/// replaced (58), and each failure asks Abort, Retry or Ignore. True when
/// renamed: the row then shows the new text (a folder keeps its mark).
bool RenameSingleItem(Workspace& workspace, std::size_t row, std::string_view newText);

/// Asks before deleting row `row`'s file or empty folder (never a folder's
/// contents) and reports a failure. True when the user said OK: the folder
/// is then to be read again.
bool DeleteSingleItem(Workspace& workspace, std::size_t row);

/// '"a.txt" to "b.txt"': the line that names a rename in the boxes about a
/// failed one, in the user's language.
std::string RenameLine(std::string_view from, std::string_view to);

/// Opens the file, or explores the folder, with the desktop's program.
void OpenSingleItem(Workspace& workspace, platform::DesktopOpener& opener, std::size_t row);

}  // namespace kestrel::app
