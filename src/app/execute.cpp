#include "app/execute.h"

#include "text/translation.h"

namespace kestrel::app {
namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;

// The command's name as the user reads it: marked for the catalogue by the
// caller.
std::string OperationName(std::string_view operation) {
    const std::string english(operation);
    return english.empty() ? english : std::string(text::Tr(english.c_str()));
}

}  // namespace

std::string_view ExecuteResultText(int code) {
    switch (code) {
        case 2:
            // TRANSLATORS: this and the next are the reasons an entry could
            // not be opened with the desktop's program for it.
            return text::Tr("File not found");
        case 3:
            return text::Tr("Path not found");
        case 5:
            return text::Tr("Access denied");
        case 8:
            return text::Tr("Out of memory");
        case 11:
            return text::Tr("Invalid executable (EXE) File");
        case 26:
            return text::Tr("Sharing violation");
        case 27:
            return text::Tr("Incomplete or invalid File association");
        case 28:
            return text::Tr("DDE time-out");
        case 29:
            return text::Tr("DDE transaction failed");
        case 30:
            return text::Tr("DDE busy");
        case 31:
            return text::Tr("No association for File extension");
        case 32:
            return text::Tr("DLL not found");
        default:
            return code > 32 ? "" : text::Tr("Cannot proceed due to an unknown error");
    }
}

void Execute(platform::FileSystem& fileSystem, platform::DesktopOpener& opener, Ui& ui,
             std::string_view path, int showErrors, std::string_view operation, ExecuteDone done,
             const PathPresenter& paths) {
    // Kept by value: the outcome may come after this call has returned.
    auto finish = [&ui, path = paths.Path(path), showErrors, operation = OperationName(operation),
                   done = std::move(done)](int code) {
        std::string failure;
        if (code == platform::kNoDesktopOpener) {
            // Not a failure of this entry: the desktop lacks the tool altogether.
            // TRANSLATORS: {1} is the entry that was to be opened.
            failure = text::Fill(text::Tr("Kestrel cannot open \"{1}\": no program for opening "
                                          "files (xdg-open or gio) is installed on this desktop."),
                                 {path});
            if (showErrors > 0) {
                ui.Ask(failure, kProgramTitle, Buttons::Ok, Icon::Information);
            }
        } else {
            failure = ExecuteResultText(code);
            if (!failure.empty() && showErrors > 0) {
                // TRANSLATORS: a box's title; {1} is the command that failed
                // ("Open", "Help").
                ui.Ask(failure, text::Fill(text::Tr("{1} error"), {operation}), Buttons::Ok,
                       Icon::Critical);
            }
        }
        if (done) {
            done(failure);
        }
    };
    const platform::EntryDetails details = fileSystem.GetDetails(path);
    if (details.error.number == platform::kFileNotFound) {
        finish(kFileNotFound);
    } else if (details.error.number == platform::kPermissionDenied) {
        finish(kAccessDenied);
    } else if (!details.error.Ok()) {
        finish(kPathNotFound);
    } else {
        opener.Open(details.hostPath, std::move(finish));
    }
}

}  // namespace kestrel::app
