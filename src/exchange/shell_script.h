#pragma once

#include <string>
#include <string_view>
#include <vector>

// A POSIX shell script of a commit's renames and the script that takes them
// back. The paths are the host's own, so the scripts run from any folder, and
// every name is carried in single quotes: whatever a Linux file system can
// hold in a name, a space, a quote, "$", a backquote, a line break or a
// leading dash, reaches "mv" as one argument, unchanged.
namespace kestrel::exchange {

/// One disk step of a commit, on host paths, in the order the commit takes it.
struct ScriptStep {
    std::string from;
    std::string to;
    /// "Copy": the entry stays under `from` and a copy takes `to`.
    bool copy = false;
    /// A folder whose new name only asked for sub-folders: they are made, and
    /// the folder stays where it is.
    bool foldersOnly = false;
};

struct ShellScripts {
    std::string renameBytes;
    std::string undoBytes;
};

/// The script carrying out `steps` and its ".undo.sh" companion, which takes
/// them back in reverse order. `fileName` goes into each script's second line.
ShellScripts ShellScriptBytes(std::string_view fileName, const std::vector<ScriptStep>& steps);

/// The undo script's name: the script's name + ".undo.sh".
std::string UndoScriptName(std::string_view fileName);

/// `text` in single quotes for the shell, each "'" written as '\''.
std::string ShellQuoted(std::string_view text);

}  // namespace kestrel::exchange
