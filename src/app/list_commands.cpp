#include "app/list_commands.h"

#include <algorithm>

#include "app/single_item.h"
#include "app/workspace.h"
#include "browse/folder_navigation.h"
#include "engine/field_checks.h"
#include "platform/file_error.h"
#include "platform/path_tools.h"
#include "text/numbers.h"
#include "text/program_path.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::app {
namespace {

// The entry's own name: without a folder mark and without its folders.
std::string LeafName(std::string text) {
    text::StripTrailingBackslash(text);
    const std::size_t slash = text.rfind('\\');
    return slash == std::string::npos ? text : text.substr(slash + 1);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

}  // namespace

lists::ListCommand DoubleClickCommand(const settings::Preferences& preferences, bool folder) {
    switch (folder ? preferences.doubleClickFolder : preferences.doubleClickFile) {
        case 0:
            return lists::ListCommand::RenameSingle;
        case 1:
            return lists::ListCommand::Delete;
        case 2:
            return lists::ListCommand::OpenEntry;
        case 3:
            return folder ? lists::ListCommand::ChangeDirectory : lists::ListCommand::None;
        default:
            return lists::ListCommand::None;
    }
}

bool ListCommands::OverRow() const {
    return mouseY >= 0 && static_cast<std::size_t>(mouseY) < workspace_.SourceFileList().size();
}

int ListCommands::NamePosition() const {
    return mouseX - ShownPrefixLength(
                        workspace_, workspace_.SourceFileList()[static_cast<std::size_t>(mouseY)]);
}

int ShownPrefixLength(const Workspace& workspace, const lists::ListEntry& row) {
    const int pathDisplay = workspace.options.cboPathDisplay;
    const auto& folders = workspace.FolderTable();
    const auto index = static_cast<std::size_t>(row.folderIndex - 1);
    // A whole path may be shown longer or shorter than it is kept; a path
    // below the working folder only changes its separators.
    if (pathDisplay == engine::kShowFullPath && index < folders.size()) {
        return static_cast<int>(text::CodePointCount(workspace.Paths().Path(folders[index])));
    }
    return lists::PrefixLength(row, folders, workspace.txtSourceDir, pathDisplay);
}

Follow ListCommands::RunPositionCommand(PositionCommand command) {
    if (!OverRow()) {
        return Follow::Nothing;
    }
    const int p = NamePosition();
    engine::RenameOptions& options = workspace_.options;
    switch (command) {
        case PositionCommand::CropStart:
            options.txtEliminatePosition = std::to_string(p);
            options.cboCropLR = engine::kFromLeft;
            return Follow::Preview;
        case PositionCommand::CropEnd: {
            const std::int64_t start = text::WholeNumber(options.txtEliminatePosition);
            if (start > p) {
                workspace_.Window().Ask(
                    text::Tr("Ending position must be to the right of the starting position."),
                    text::Tr("Input Error"), Buttons::Ok, Icon::Exclamation);
                return Follow::Nothing;
            }
            options.txtEliminateChars = std::to_string(p - start + 1);
            options.cboCropLR = engine::kFromLeft;
            options.chkCrop = 1;
            return Follow::Preview;
        }
        case PositionCommand::PastePosition:
            options.txtInsertMiddle = "*";
            break;
        case PositionCommand::InsertText:
            break;
        case PositionCommand::Autonumber:
            std::erase(options.txtInsertMiddle, '?');
            options.txtInsertMiddle += '?';
            if (engine::AutonumberIsOff(options)) {
                options.cboAutonumber = "Auto";
            }
            break;
        case PositionCommand::SmartFolderSplit:
            options.txtInsertMiddle = "\\";
            break;
        case PositionCommand::SmartFolderMark:
            options.txtInsertMiddle = "/";
            break;
    }
    options.txtInsertMiddlePosition = std::to_string(p);
    options.chkInsertMiddle = 1;
    return ValidateInsertPosition();
}

Follow ListCommands::ValidateInsertPosition() {
    const std::string message =
        engine::CheckInsertMiddlePosition(workspace_.options.txtInsertMiddlePosition);
    if (message.empty()) {
        return Follow::Preview;
    }
    workspace_.Window().Ask(message, kProgramTitle, Buttons::Ok, Icon::Exclamation);
    return Follow::FocusInsertPosition;
}

std::string ListCommands::CopyName(bool target) const {
    if (!OverRow()) {
        return {};
    }
    const auto row = static_cast<std::size_t>(mouseY);
    const auto& targets = workspace_.TargetFileList();
    if (target && row >= targets.size()) {
        return {};
    }
    return LeafName(target ? targets[row] : workspace_.SourceFileList()[row].text);
}

std::string ListCommands::CopyFullPath(bool target) const {
    if (!OverRow()) {
        return {};
    }
    const auto& row = workspace_.SourceFileList()[static_cast<std::size_t>(mouseY)];
    const auto& folders = workspace_.FolderTable();
    const auto index = static_cast<std::size_t>(row.folderIndex - 1);
    // For pasting elsewhere: written as the user reads paths.
    return workspace_.Paths().Path(
        (index < folders.size() ? folders[index] : workspace_.txtSourceDir) + CopyName(target));
}

Follow ListCommands::PasteName(std::string_view clipboard) {
    // Text copied from an editor or a terminal often ends with a line break,
    // which no one means as part of the name.
    while (!clipboard.empty() && (clipboard.back() == '\n' || clipboard.back() == '\r')) {
        clipboard.remove_suffix(1);
    }
    if (!OverRow() || clipboard.empty()) {
        return Follow::Nothing;
    }
    const auto row = static_cast<std::size_t>(mouseY);
    std::string current = EntryPath(workspace_, row);
    text::StripTrailingBackslash(current);
    // A bare name stays beside the entry; a path goes where it says.
    const bool bare = clipboard.find('\\') == std::string_view::npos;
    const std::string folder = current.substr(0, current.rfind('\\') + 1);
    std::string newPath = (bare ? folder : std::string()) + std::string(clipboard);
    Ui& ui = workspace_.Window();
    const PathPresenter paths = workspace_.Paths();
    // TRANSLATORS: {1} and {2} are the old and the new path, in quotes.
    if (ui.Ask(text::Fill(text::Tr("Rename {1} to {2}?"),
                          {Quoted(paths.Path(current)), Quoted(paths.Path(newPath))}),
               text::Tr("Confirmation"), Buttons::YesNo, Icon::Question) != Answer::Yes) {
        return Follow::Nothing;
    }
    text::StripTrailingBackslash(newPath);
    const std::string_view checked =
        bare ? clipboard
             : std::string_view(newPath).substr(std::min<std::size_t>(3, newPath.size()));
    const platform::FileError error = text::IsAcceptableNewName(checked)
                                          ? workspace_.FileSystem().Rename(current, newPath)
                                          : platform::FileError::Make(platform::kBadFileName);
    if (!error.Ok()) {
        std::string report =
            // TRANSLATORS: {1} is an error with its number ("Error 53 (File not
            // found)").
            text::Fill(text::Tr("{1} occurred while trying to rename the following file:"),
                       {platform::DescribeError(error)});
        report += "\r\r";
        report += RenameLine(paths.Path(current), paths.Path(newPath));
        ui.Ask(report, text::Tr("Error"), Buttons::Ok, Icon::Exclamation);
        return Follow::Nothing;
    }
    return Follow::Listing;
}

Follow ListCommands::ChangeToDirectory(bool locked) {
    if (!OverRow()) {
        return Follow::Nothing;
    }
    const std::string path = EntryPath(workspace_, static_cast<std::size_t>(mouseY));
    if (!path.ends_with('\\') || !platform::PathExists(workspace_.FileSystem(), path)) {
        return Follow::Nothing;
    }
    browse::MoveWorkingFolder(path, locked, workspace_.txtSourceDir, workspace_.txtDestDir);
    return Follow::Listing;
}

Follow ListCommands::Delete() {
    return OverRow() && DeleteSingleItem(workspace_, static_cast<std::size_t>(mouseY))
               ? Follow::Listing
               : Follow::Nothing;
}

void ListCommands::Open(platform::DesktopOpener& opener) {
    if (OverRow()) {
        OpenSingleItem(workspace_, opener, static_cast<std::size_t>(mouseY));
    }
}

}  // namespace kestrel::app
