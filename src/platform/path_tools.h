#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

// Path questions the windows and the command line ask on program paths.
namespace kestrel::platform {

/// True when a file or folder of that name exists; a trailing backslash is
/// allowed, and any failure while asking counts as false.
bool PathExists(FileSystem& fileSystem, std::string_view path);

/// Creates every missing folder named by the text before each backslash,
/// skipping empty texts and drive roots ('C:'); the text after the last
/// backslash is never created. Failures are ignored.
void MakeFolderTree(FileSystem& fileSystem, std::string_view path);

/// A path with each component's letter case as stored ('c:\HOME\ME' ->
/// 'C:\home\me'), "." and ".." resolved, without a trailing backslash. A text
/// without a drive letter comes back unchanged; empty when a component does
/// not exist.
std::string ExpandPathName(FileSystem& fileSystem, std::string_view path);

}  // namespace kestrel::platform
