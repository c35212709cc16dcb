#pragma once

#include <string>

// The folders of this user that the desktop's conventions name, as host paths.
namespace kestrel::platform {

/// $HOME, else the home folder the user database names; empty when neither
/// is known (a service started without one).
std::string HomeFolder();

/// Where a program keeps the user's own files: $XDG_DATA_HOME/kestrel, else
/// ~/.local/share/kestrel; empty when neither can be named.
std::string DefaultDataFolder();

/// Where state that must outlive a crash is kept: $XDG_STATE_HOME/kestrel,
/// else ~/.local/state/kestrel; empty when neither can be named.
std::string DefaultStateFolder();

/// Makes `hostFolder` and any folder above it that is missing, each private
/// to the user (0700); 0 or the errno value.
int MakePrivateFolders(const std::string& hostFolder);

}  // namespace kestrel::platform
