#pragma once

#include <string>
#include <string_view>

#include "platform/file_error.h"

// Files Kestrel keeps among the desktop's own per-user files (a file
// manager's scripts and actions), on host paths.
namespace kestrel::platform {

/// $XDG_CONFIG_HOME, else ~/.config; empty when neither can be named.
std::string UserConfigHome();
/// $XDG_DATA_HOME, else ~/.local/share; empty when neither can be named.
std::string UserDataHome();

/// Makes `hostFolder` and every missing folder above it (mode 0755 as the
/// umask allows, as the desktop makes them).
FileError MakeHostFolders(const std::string& hostFolder);

/// Writes a whole file through a temporary file renamed into place, with the
/// permission bits `mode` (umask applied), replacing what was there.
FileError WriteHostFile(const std::string& hostPath, std::string_view bytes, unsigned mode);

/// Reads a whole file; 53 when it is not there.
FileError ReadHostFile(const std::string& hostPath, std::string& bytes);

/// Removes a file; success when it was not there.
FileError RemoveHostFile(const std::string& hostPath);

}  // namespace kestrel::platform
