#include "update/updater_leftovers.h"

#include <string>

#include "update/update_check.h"

namespace kestrel::update {

void RemoveUpdaterLeftovers(platform::FileSystem& fileSystem, std::string_view programFolder) {
    fileSystem.DeleteFile(std::string(programFolder) + std::string(kUpdaterName));
    // A download killed while it was being saved leaves its temporary file.
    fileSystem.RemoveLeftoverCopies(programFolder);
}

}  // namespace kestrel::update
