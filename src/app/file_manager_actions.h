#pragma once

#include <string>
#include <vector>

// "Rename with Kestrel" in the file managers that read only per-user actions:
// a script in Files (Nautilus) and a custom action in Thunar. Installing twice
// changes nothing; removing takes away only Kestrel's own entries, never the
// user's other scripts and actions.
namespace kestrel::app {

/// The folders these file managers read their per-user actions from.
struct ActionFolders {
    std::string nautilusScripts;  // $XDG_DATA_HOME/nautilus/scripts
    std::string thunarConfig;     // $XDG_CONFIG_HOME/Thunar
};

/// The folders of the user running Kestrel.
ActionFolders UserActionFolders();

/// One line per file manager: what was done, or why it could not be.
struct ActionsReport {
    std::vector<std::string> lines;
    bool ok = true;
};

ActionsReport InstallFileManagerActions(const ActionFolders& folders);
ActionsReport RemoveFileManagerActions(const ActionFolders& folders);

/// The script Files runs with the selected entries as its arguments.
std::string NautilusScript();

}  // namespace kestrel::app
