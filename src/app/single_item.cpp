#include "app/single_item.h"

#include <exception>

#include "app/execute.h"
#include "app/workspace.h"
#include "engine/rename_options.h"
#include "text/program_path.h"
#include "text/translation.h"

namespace kestrel::app {
namespace {

constexpr int kSingleItemArea = 100;

std::string RenamePrompt(const platform::FileError& error, std::string_view from,
                         std::string_view to) {
    std::string prompt =
        text::Tr("There has been an error while trying to rename the following file:");
    prompt += " \r\r" + RenameLine(from, to) + "\r\r" + platform::NumberedError(error) + "\r\r";
    prompt += text::Tr(
        "Do you wish to abort the process, retry renaming the file, or ignore and continue?");
    prompt += "  ";
    return prompt;
}

// A full path is judged by what follows its drive root, as a name under a
// folder is judged whole.
bool AcceptableAfter(std::string_view base, std::string_view text) {
    if (base.empty() && text.size() >= 3 && text[1] == ':' && text[2] == '\\') {
        text.remove_prefix(3);
    }
    return text::IsAcceptableNewName(text);
}

std::string WithoutMark(std::string path) {
    text::StripTrailingBackslash(path);
    return path;
}

}  // namespace

std::string RenameLine(std::string_view from, std::string_view to) {
    // TRANSLATORS: {1} and {2} are the old and the new name of an entry, in
    // quotes, on a line of their own.
    return text::Fill(text::Tr("{1} to {2}"),
                      {"\"" + std::string(from) + "\"", "\"" + std::string(to) + "\""});
}

std::string EntryBase(const Workspace& workspace, std::size_t row) {
    switch (workspace.options.cboPathDisplay) {
        case engine::kShowFullPath:
            return {};
        case engine::kShowPartialPath:
            return workspace.txtSourceDir;
        default: {
            const auto& folders = workspace.FolderTable();
            const auto index =
                static_cast<std::size_t>(workspace.SourceFileList()[row].folderIndex - 1);
            return index < folders.size() ? folders[index] : workspace.txtSourceDir;
        }
    }
}

std::string EntryPath(const Workspace& workspace, std::size_t row) {
    return EntryBase(workspace, row) + workspace.SourceFileList()[row].text;
}

bool RenameSingleItem(Workspace& workspace, std::size_t row, std::string_view newText) {
    workspace.area = kSingleItemArea;
    const std::string oldText = workspace.SourceFileList()[row].text;
    try {
        const std::string base = EntryBase(workspace, row);
        const bool folder = oldText.ends_with('\\');
        const std::string newListText =
            folder ? text::AddTrailingBackslash(newText) : std::string(newText);
        if (newListText == oldText) {
            return true;
        }
        const std::string from = WithoutMark(base + oldText);
        const std::string to = WithoutMark(base + newListText);
        for (;;) {
            const platform::FileError error =
                AcceptableAfter(base, newListText)
                    ? workspace.FileSystem().Rename(from, to)
                    : platform::FileError::Make(platform::kBadFileName);
            if (error.Ok()) {
                workspace.SetSourceText(row, newListText);
                return true;
            }
            const bool fullPath = workspace.options.cboPathDisplay == engine::kShowFullPath;
            const PathPresenter paths = workspace.Paths();
            if (workspace.Window().Ask(
                    RenamePrompt(error, paths.Row(oldText, fullPath), paths.Row(newText, fullPath)),
                    text::Tr("Error"), Buttons::AbortRetryIgnore,
                    Icon::Question) != Answer::Retry) {
                return false;
            }
        }
    } catch (const std::exception& error) {
        workspace.ReportUnexpectedError(error, oldText + " | " + std::string(newText));
        return false;
    }
}

bool DeleteSingleItem(Workspace& workspace, std::size_t row) {
    std::string path = EntryPath(workspace, row);
    const bool folder = text::StripTrailingBackslash(path);
    Ui& ui = workspace.Window();
    const std::string shown = workspace.Paths().Path(path);
    // TRANSLATORS: {1} is the folder's path.
    if (ui.Ask(folder ? text::Fill(text::Tr("Delete the folder {1}?"), {shown})
                      // TRANSLATORS: {1} is the file's path.
                      : text::Fill(text::Tr("Delete the file {1}?"), {shown}),
               text::Tr("Confirmation"), Buttons::OkCancel, Icon::Question) != Answer::Ok) {
        return false;
    }
    platform::FileSystem& files = workspace.FileSystem();
    platform::FileError error = folder ? files.RemoveFolder(path) : files.DeleteFile(path);
    // The file layer reports a folder that still holds entries as 58, the
    // number of a name already taken; removing a folder calls it an access error.
    if (folder && error.number == platform::kFileAlreadyExists) {
        error = platform::FileError::Make(platform::kPathFileAccessError);
    }
    if (!error.Ok()) {
        std::string report = folder ? text::Tr("There was a problem deleting the folder.")
                                    : text::Tr("There was a problem deleting the file.");
        report += "  \r\r" + platform::NumberedError(error);
        if (folder) {
            report += "\r\r";
            report += text::Tr("Ensure the folder is empty before deleting.");
            report += "  ";
        }
        ui.Ask(report, text::Tr("Error"), Buttons::Ok, Icon::Exclamation);
    }
    return true;
}

void OpenSingleItem(Workspace& workspace, platform::DesktopOpener& opener, std::size_t row) {
    Execute(workspace.FileSystem(), opener, workspace.Window(), EntryPath(workspace, row), 1,
            // TRANSLATORS: the command named in the title of its error box
            // ("Open error").
            N_("Open"), {}, workspace.Paths());
}

}  // namespace kestrel::app
