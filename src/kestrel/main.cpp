// Kestrel's entry point: picks the mode and hands over. NO-WINDOW runs need no
// display at all; every other run opens the window.
//
// Built twice: as "kestrel", without the window, and as "kestrel-window", with
// it. "kestrel" runs the command line itself and hands a window run over to
// "kestrel-window" in the same process, so that a command-line run loads none
// of the window's libraries, which would otherwise be half of its start-up.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/command_line.h"
#include "app/file_manager_actions.h"
#include "app/headless_ui.h"
#include "app/version.h"
#include "platform/clock.h"
#include "platform/user_folders.h"
#include "settings/settings_store.h"
#include "text/translation.h"

#ifdef KESTREL_WITH_WINDOW
#include "ui/run_window.h"
#endif

namespace {

// Set by "kestrel" for the window program it starts: the program a user ran,
// whose folder holds the help manual and the updater's downloads.
constexpr const char* kProgramPathVariable = "KESTREL_PROGRAM_PATH";

std::string ExecutablePath() {
    std::string path(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size());
    path.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
    return path;
}

[[maybe_unused]] std::string ProgramPathFromLauncher() {
    const char* value = std::getenv(kProgramPathVariable);
    std::string path = value != nullptr && *value == '/' ? value : ExecutablePath();
    // Not for the programs the window starts in turn.
    ::unsetenv(kProgramPathVariable);
    return path;
}

// The window program beside this one (a build tree) or in the installation's
// libexec/kestrel folder; it replaces this process, keeping its arguments.
[[maybe_unused]] int RunWindowProgram(char** argv, const std::string& self) {
    const std::string folder = self.substr(0, self.rfind('/') + 1);
    for (const std::string& program :
         {folder + "kestrel-window", folder + "../libexec/kestrel/kestrel-window"}) {
        if (::access(program.c_str(), X_OK) == 0) {
            ::setenv(kProgramPathVariable, self.c_str(), 1);
            ::execv(program.c_str(), argv);
            std::cerr << kestrel::text::Fill(
                             kestrel::text::Tr(
                                 "Kestrel could not start its window program {1}: {2}"),
                             {program, std::strerror(errno)})
                      << "\n";
            return 2;
        }
    }
    std::cerr << kestrel::text::Tr(
                     "This installation of Kestrel has no window. Add NO-WINDOW to run "
                     "it from the command line (kestrel --help lists the parameters).")
              << "\n";
    return 2;
}

// The catalogues beside the program in a build tree (bin/locale), or in the
// installation's share/locale. A folder: /usr/bin/locale is the locale program.
std::string CatalogueFolder(const std::string& programPath) {
    const std::string folder = programPath.substr(0, programPath.rfind('/') + 1);
    const std::string beside = folder + "locale";
    struct stat status {};
    const bool besideIsFolder = ::stat(beside.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    return besideIsFolder ? beside : folder + "../share/locale";
}

[[maybe_unused]] bool HasDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0') {
            return true;
        }
    }
    return false;
}

int RunWithoutWindow(const std::vector<std::string>& arguments,
                     const kestrel::app::ProgramPlace& place) {
    kestrel::app::HeadlessUi ui;
    if (::isatty(STDERR_FILENO) == 1) {
        ui.ShowProgressOn(std::cerr);
    }
    kestrel::platform::SystemClock clock;
    kestrel::app::Application application(place, ui, clock, std::cerr,
                                          kestrel::platform::DefaultStateFolder());
    // The unexpected-error report has been shown; nothing may be saved now.
    application.workspace().SetCloseAllHandler([] { std::_Exit(1); });
    return application.Start(arguments, false).exitStatus;
}

}  // namespace

int main(int argc, char** argv) {
    // A print command that ends early must not take the program with it.
    std::signal(SIGPIPE, SIG_IGN);
    // Each argument is one parameter as the shell or the desktop handed it
    // over, so that a path keeps its spaces, quotes and line breaks.
    const std::vector<std::string> arguments(argv + 1, argv + argc);
#ifdef KESTREL_WITH_WINDOW
    const std::string programPath = ProgramPathFromLauncher();
#else
    const std::string programPath = ExecutablePath();
#endif
    kestrel::text::StartTranslations(CatalogueFolder(programPath));
    const kestrel::app::CommandLine request = kestrel::app::ParseArguments(arguments, {}, {});
    if (request.help) {
        std::cout << kestrel::app::UsageText();
        return 0;
    }
    if (request.version) {
        std::cout << "Kestrel " << kestrel::app::kVersion << "\n";
        return 0;
    }
    if (request.installActions || request.removeActions) {
        const kestrel::app::ActionFolders folders = kestrel::app::UserActionFolders();
        const kestrel::app::ActionsReport report =
            request.installActions ? kestrel::app::InstallFileManagerActions(folders)
                                   : kestrel::app::RemoveFileManagerActions(folders);
        for (const std::string& line : report.lines) {
            (report.ok ? std::cout : std::cerr) << line << "\n";
        }
        return report.ok ? 0 : 1;
    }
    const kestrel::app::ProgramPlace place{programPath, kestrel::settings::DefaultConfigFolder(),
                                           kestrel::platform::DefaultDataFolder(),
                                           kestrel::platform::HomeFolder()};
    if (request.noWindow || request.doIt || request.undo) {
        return RunWithoutWindow(arguments, place);
    }
#ifdef KESTREL_WITH_WINDOW
    if (!HasDisplay()) {
        std::cerr << kestrel::text::Tr(
                         "Kestrel needs a display for its window. Add NO-WINDOW to run "
                         "without one (kestrel --help lists the parameters).")
                  << "\n";
        return 2;
    }
    return kestrel::ui::RunWindow(argc, argv, arguments, place);
#else
    return RunWindowProgram(argv, programPath);
#endif
}
