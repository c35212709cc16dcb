#pragma once

#include <string>
#include <string_view>

#include "platform/file_system.h"

// The rules of the folder browser (frmBrowse), without its window: where it
// opens, which folder its OK chooses and where that folder goes, what a change
// of drive says when the drive is not there, and the new folder trees of its
// "Create &Folder..." window.
namespace kestrel::browse {

/// Which of the main window's folders the browser was opened for.
enum class BrowseTarget { Source = 0, Target = 1 };

/// What the browser keeps from one opening to the next for the whole run.
struct BrowserState {
    /// "Lock source and target folders"; every navigation step reads it.
    bool lockFolders = false;
    /// The kind of the last opening.
    BrowseTarget target = BrowseTarget::Source;
    /// Set when "Create &Folder..." was used since the browser was opened.
    bool foldersChanged = false;
    /// The folder the tree showed last (ends with a backslash); empty before
    /// the first opening.
    std::string treeFolder;
};

/// "Select source folder" or "Select target folder", in the user's language.
std::string_view BrowserCaption(BrowseTarget target);

/// Where an opening points the tree.
struct BrowserStart {
    /// The folder the tree shows, with a capital drive letter and a trailing backslash.
    std::string treeFolder;
    /// The main window's folder text was missing and is now the program folder.
    bool folderTextReplaced = false;
};

/// The tree opens on `folderText` when it exists. Otherwise the folder text
/// becomes `programFolder`, and the tree opens on the root of the drive it
/// showed last when that root is there, else on the program folder.
BrowserStart StartBrowsing(platform::FileSystem& fileSystem, std::string_view folderText,
                           std::string_view lastTreeFolder, std::string_view programFolder);

/// The folder OK chooses: the tree's path with a capital drive letter and a
/// trailing backslash.
std::string ChosenFolder(std::string_view treePath);

/// OK: the chosen folder becomes the target folder when the browser was opened
/// for it, the working folder when it was opened for that (the target folder
/// following as MoveWorkingFolder says), and both when locked.
void ApplyChosenFolder(const std::string& chosen, BrowseTarget target, bool locked,
                       std::string& working, std::string& targetFolder);

/// What a change to `drive` ('X:') says when the drive's root is not there:
/// "Drive X: is not available.", or for A: the empty floppy drive's text.
/// Empty when the drive can be shown. In the user's language.
std::string DriveUnavailableMessage(platform::FileSystem& fileSystem, std::string_view drive);

/// The tree path as the tree gives it for a host path under the host folder of
/// drive `letter`: 'T:\a\b', and 'T:\' for the drive root itself. Empty when the
/// host path is not under that folder.
std::string TreePath(char letter, std::string_view driveHostFolder, std::string_view hostPath);

/// "Create &Folder...": makes every missing level of `typed` (a backslash is
/// added at its end when missing). Failures are silent: a level that could not
/// be made is simply not there.
void CreateFolderTree(platform::FileSystem& fileSystem, std::string_view typed);

}  // namespace kestrel::browse
