#include "app/execute.h"

namespace kestrel::app {
namespace {

constexpr int kFileNotFound = 2;
constexpr int kPathNotFound = 3;
constexpr int kAccessDenied = 5;

}  // namespace

std::string_view ExecuteResultText(int code) {
    switch (code) {
        case 2:
            return "File not found";
        case 3:
            return "Path not found";
        case 5:
            return "Access denied";
        case 8:
            return "Out of memory";
        case 11:
            return "Invalid executable (EXE) File";
        case 26:
            return "Sharing violation";
        case 27:
            return "Incomplete or invalid File association";
        case 28:
            return "DDE time-out";
        case 29:
            return "DDE transaction failed";
        case 30:
            return "DDE busy";
        case 31:
            return "No association for File extension";
        case 32:
            return "DLL not found";
        default:
            return code > 32 ? "" : "Cannot proceed due to an unknown error";
    }
}

void Execute(platform::FileSystem& fileSystem, platform::DesktopOpener& opener, Ui& ui,
             std::string_view path, int showErrors, std::string_view operation, ExecuteDone done,
             const PathPresenter& paths) {
    // Kept by value: the outcome may come after this call has returned.
    auto finish = [&ui, path = paths.Path(path), showErrors, operation = std::string(operation),
                   done = std::move(done)](int code) {
        std::string text;
        if (code == platform::kNoDesktopOpener) {
            // Not a failure of this entry: the desktop lacks the tool altogether.
            text = "Kestrel cannot open \"" + path +
                   "\": no program for opening files (xdg-open or gio) is installed on this "
                   "desktop.";
            if (showErrors > 0) {
                ui.Ask(text, kProgramTitle, Buttons::Ok, Icon::Information);
            }
        } else {
            text = ExecuteResultText(code);
            if (!text.empty() && showErrors > 0) {
                ui.Ask(text, operation + " error", Buttons::Ok, Icon::Critical);
            }
        }
        if (done) {
            done(text);
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
