#pragma once

#include <string>
#include <string_view>

#include "platform/program_runner.h"

// The desktop's own settings tools, which Kestrel opens from its Preferences
// window instead of offering settings of its own. Every desktop names them
// differently, so each tool has a list of candidates tried at run time.
namespace kestrel::platform {

enum class DesktopTool {
    DisplaySettings,
    MouseSettings,
    NetworkConnections,  // dial-up and other connections
    InternetSettings,    // the proxy used for web access
    PrinterSettings,     // adding and setting up printers
    SystemInformation,   // the computer, its operating system and hardware
};

/// Starts the tool without waiting for it, preferring the one that belongs to
/// `currentDesktop` (XDG_CURRENT_DESKTOP: colon-separated names); false when
/// no candidate is installed.
bool StartDesktopTool(ProgramRunner& programs, DesktopTool tool, std::string_view currentDesktop);

/// The value of XDG_CURRENT_DESKTOP, empty when unset.
std::string CurrentDesktop();

}  // namespace kestrel::platform
