#include "browse/folder_navigation.h"

#include "lists/position_picking.h"
#include "platform/path_tools.h"
#include "text/program_path.h"

namespace kestrel::browse {

bool SameFolderText(std::string_view a, std::string_view b) {
    const auto trimmed = [](std::string_view folder) {
        return folder.ends_with('\\') ? folder.substr(0, folder.size() - 1) : folder;
    };
    return trimmed(a) == trimmed(b);
}

void MoveWorkingFolder(const std::string& folder, bool locked, std::string& working,
                       std::string& target) {
    if (locked || SameFolderText(working, target)) {
        target = folder;
    }
    working = folder;
}

bool BackUpOneLevel(platform::FileSystem& fileSystem, bool locked, std::string& working,
                    std::string& target) {
    const std::string parent = lists::ParentFolder(working);
    if (parent.empty() || !platform::PathExists(fileSystem, parent)) {
        return false;
    }
    MoveWorkingFolder(parent, locked, working, target);
    return true;
}

std::string DroppedFolder(platform::FileSystem& fileSystem, const platform::DriveTable& drives,
                          std::string_view hostPath) {
    const std::string path = drives.ToProgramPath(hostPath);
    if (path.empty() || fileSystem.IsFolder(path)) {
        return path.empty() ? path : text::AddTrailingBackslash(path);
    }
    // A file: the folder it is in ends at its last backslash.
    return path.substr(0, path.rfind('\\') + 1);
}

}  // namespace kestrel::browse
