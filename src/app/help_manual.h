#pragma once

#include <string>
#include <string_view>

#include "app/path_presenter.h"
#include "app/ui.h"
#include "platform/desktop_opener.h"
#include "platform/file_system.h"
#include "text/translation.h"

// Kestrel's manual: HTML pages beside the program, opened in the desktop's
// browser by "&Help" and F1.
namespace kestrel::app {

/// Why a web page (the manual, the maker's site) does not open on this
/// desktop, in English; shown as text::Tr gives it.
inline constexpr std::string_view kNoBrowserText =
    N_("No program on this desktop opens web pages. Install a web browser, or open the page in "
       "one yourself.");

/// The manual's first page: "help\index.html" in the program folder, or, for
/// an installed program in a "bin" folder, "share\kestrel\help\index.html"
/// beside that folder. Empty when neither is there.
std::string FindHelpManual(platform::FileSystem& fileSystem, std::string_view programFolder);

/// Opens the manual at `page` (a file beside its first page), or says in a
/// box why it cannot be opened.
void ShowHelp(platform::FileSystem& fileSystem, platform::DesktopOpener& opener, Ui& ui,
              std::string_view programFolder, const PathPresenter& paths = PathPresenter(),
              std::string_view page = "index.html");

}  // namespace kestrel::app
