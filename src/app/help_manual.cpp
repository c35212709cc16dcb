#include "app/help_manual.h"

#include "app/execute.h"
#include "lists/position_picking.h"
#include "text/translation.h"

namespace kestrel::app {

std::string FindHelpManual(platform::FileSystem& fileSystem, std::string_view programFolder) {
    const std::string beside = std::string(programFolder) + "help\\index.html";
    if (fileSystem.IsReadableFile(beside)) {
        return beside;
    }
    const std::string parent = lists::ParentFolder(programFolder);
    const std::string installed = parent + "share\\kestrel\\help\\index.html";
    return !parent.empty() && fileSystem.IsReadableFile(installed) ? installed : std::string();
}

void ShowHelp(platform::FileSystem& fileSystem, platform::DesktopOpener& opener, Ui& ui,
              std::string_view programFolder, const PathPresenter& paths, std::string_view page) {
    std::string manual = FindHelpManual(fileSystem, programFolder);
    if (!manual.empty()) {
        manual.replace(manual.rfind('\\') + 1, std::string::npos, page);
    }
    if (manual.empty()) {
        // TRANSLATORS: {1} is the folder where the manual belongs; "help" is
        // that folder's name, which stays as it is.
        ui.Ask(text::Fill(text::Tr("Kestrel's manual was not found. It belongs in the folder "
                                   "\"help\" beside the program ({1})."),
                          {paths.Path(std::string(programFolder) + "help\\")}),
               kProgramTitle, Buttons::Ok, Icon::Exclamation);
        return;
    }
    // The path as this computer writes it, on a line of its own, so that it
    // can be copied into a browser or a terminal whole.
    const std::string hostPath = fileSystem.GetDetails(manual).hostPath;
    // TRANSLATORS: the command named in the title of its error box ("Help error").
    Execute(fileSystem, opener, ui, manual, 0, N_("Help"), [&ui, hostPath](std::string failure) {
        // Both texts are in the user's language.
        if (failure == ExecuteResultText(platform::kNoAssociation)) {
            failure = text::Tr(kNoBrowserText.data());
        }
        if (!failure.empty()) {
            // The manual's file on a line of its own, then why it did not open.
            ui.Ask(text::Tr("Kestrel could not open its manual:") + ("\r" + hostPath) + "\r\r" +
                       failure,
                   kProgramTitle, Buttons::Ok, Icon::Exclamation);
        }
    });
}

}  // namespace kestrel::app
