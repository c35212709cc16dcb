#include "browse/folder_browser.h"

#include <cctype>

#include "browse/folder_navigation.h"
#include "platform/path_tools.h"
#include "text/program_path.h"
#include "text/translation.h"

namespace kestrel::browse {
namespace {

std::string WithCapitalDrive(std::string_view path) {
    std::string out(path);
    if (!out.empty()) {
        out[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(out[0])));
    }
    return out;
}

}  // namespace

std::string_view BrowserCaption(BrowseTarget target) {
    return target == BrowseTarget::Source ? text::Tr("Select source folder")
                                          : text::Tr("Select target folder");
}

BrowserStart StartBrowsing(platform::FileSystem& fileSystem, std::string_view folderText,
                           std::string_view lastTreeFolder, std::string_view programFolder) {
    if (platform::PathExists(fileSystem, folderText)) {
        return {ChosenFolder(folderText), false};
    }
    const std::string_view root = lastTreeFolder.substr(0, 3);
    if (root.size() == 3 && platform::PathExists(fileSystem, root)) {
        return {WithCapitalDrive(root), true};
    }
    return {ChosenFolder(programFolder), true};
}

std::string ChosenFolder(std::string_view treePath) {
    return text::AddTrailingBackslash(WithCapitalDrive(treePath));
}

void ApplyChosenFolder(const std::string& chosen, BrowseTarget target, bool locked,
                       std::string& working, std::string& targetFolder) {
    if (target == BrowseTarget::Source) {
        MoveWorkingFolder(chosen, locked, working, targetFolder);
        return;
    }
    targetFolder = chosen;
    if (locked) {
        working = chosen;
    }
}

std::string DriveUnavailableMessage(platform::FileSystem& fileSystem, std::string_view drive) {
    const std::string name = WithCapitalDrive(drive.substr(0, 2));
    if (platform::PathExists(fileSystem, name + "\\")) {
        return {};
    }
    // A: was the floppy drive, and an empty one is the usual reason it fails.
    if (name == "A:") {
        return text::Tr("Formatted disk not found in drive A:");
    }
    // TRANSLATORS: {1} is a drive letter with its colon ("D:").
    return text::Fill(text::Tr("Drive {1} is not available."), {name});
}

std::string TreePath(char letter, std::string_view driveHostFolder, std::string_view hostPath) {
    std::string out{letter, ':', '\\'};
    if (hostPath == driveHostFolder) {
        return out;
    }
    const bool atRoot = driveHostFolder == "/";
    if (!hostPath.starts_with(driveHostFolder) ||
        (!atRoot &&
         (hostPath.size() <= driveHostFolder.size() || hostPath[driveHostFolder.size()] != '/'))) {
        return {};
    }
    for (const char c : hostPath.substr(driveHostFolder.size() + (atRoot ? 0 : 1))) {
        out.push_back(c == '/' ? '\\' : c);
    }
    return out;
}

void CreateFolderTree(platform::FileSystem& fileSystem, std::string_view typed) {
    platform::MakeFolderTree(fileSystem, text::AddTrailingBackslash(typed));
}

}  // namespace kestrel::browse
