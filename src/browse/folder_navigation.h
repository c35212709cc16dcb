#pragma once

#include <string>
#include <string_view>

#include "platform/drive_table.h"
#include "platform/file_system.h"

// The steps that move the main window's working folder (txtSourceDir) and
// target folder (txtDestDir). While "Lock source and target folders" is on,
// every step that moves the working folder moves the target folder with it,
// so that new names never land in a folder the user has left behind. Without
// the lock, a target folder that is the working folder follows it too: only a
// target the user set apart stays where it is.
namespace kestrel::browse {

/// Whether two folder texts name the same folder (one trailing backslash aside).
bool SameFolderText(std::string_view a, std::string_view b);

/// Makes `folder` the working folder, and the target folder too when `locked`
/// or when the target folder was the working folder.
void MoveWorkingFolder(const std::string& folder, bool locked, std::string& working,
                       std::string& target);

/// "Back up one level": the working folder's parent becomes the working folder
/// (both folders when `locked`). False, and nothing moved, at a drive root or
/// when the parent is not there.
bool BackUpOneLevel(platform::FileSystem& fileSystem, bool locked, std::string& working,
                    std::string& target);

/// The folder a path dropped from the desktop's file manager stands for, in
/// program form with its trailing backslash: a folder itself, a file the
/// folder it is in. Empty when the host path lies on no drive letter.
std::string DroppedFolder(platform::FileSystem& fileSystem, const platform::DriveTable& drives,
                          std::string_view hostPath);

}  // namespace kestrel::browse
