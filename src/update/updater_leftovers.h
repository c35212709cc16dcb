#pragma once

#include <string_view>

#include "platform/file_system.h"

// Apart from the update check so that a command-line run, which cleans up at
// every start, does not bring the Internet transfer code and its libraries in.
namespace kestrel::update {

/// Removes what an earlier update left in the program folder.
void RemoveUpdaterLeftovers(platform::FileSystem& fileSystem, std::string_view programFolder);

}  // namespace kestrel::update
