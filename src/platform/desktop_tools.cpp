#include "platform/desktop_tools.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <span>
#include <vector>

namespace kestrel::platform {
namespace {

struct Candidate {
    std::string_view desktop;  // as XDG_CURRENT_DESKTOP names it; empty for any desktop
    std::string_view program;
    std::string_view argument;  // the tool's page, when the program has several
    /// A program that must be installed as well for this candidate to be of use.
    std::string_view alsoNeeds = {};
};

// Ordered so that, on a desktop none of them belongs to, the more complete
// tools come first.
constexpr Candidate kDisplay[] = {
    {"GNOME", "gnome-control-center", "display"},
    {"KDE", "kcmshell6", "kcm_kscreen"},
    {"KDE", "kcmshell5", "kcm_kscreen"},
    {"KDE", "systemsettings", "kcm_kscreen"},
    {"XFCE", "xfce4-display-settings", ""},
    {"X-Cinnamon", "cinnamon-settings", "display"},
    {"MATE", "mate-display-properties", ""},
    {"LXQt", "lxqt-config-monitor", ""},
    {"LXDE", "lxrandr", ""},
    {"", "arandr", ""},
};

constexpr Candidate kMouse[] = {
    {"GNOME", "gnome-control-center", "mouse"},
    {"KDE", "kcmshell6", "kcm_mouse"},
    {"KDE", "kcmshell5", "kcm_mouse"},
    {"KDE", "systemsettings", "kcm_mouse"},
    {"XFCE", "xfce4-mouse-settings", ""},
    {"X-Cinnamon", "cinnamon-settings", "mouse"},
    {"MATE", "mate-mouse-properties", ""},
    {"LXQt", "lxqt-config-input", ""},
    {"LXDE", "lxinput", ""},
};

constexpr Candidate kNetwork[] = {
    {"GNOME", "gnome-control-center", "network"},
    {"KDE", "kcmshell6", "kcm_networkmanagement"},
    {"KDE", "kcmshell5", "kcm_networkmanagement"},
    {"KDE", "systemsettings", "kcm_networkmanagement"},
    {"X-Cinnamon", "cinnamon-settings", "network"},
    {"", "nm-connection-editor", ""},
};

// The proxy settings live on the network page of the GNOME and Cinnamon tools.
constexpr Candidate kInternet[] = {
    {"GNOME", "gnome-control-center", "network"},
    {"KDE", "kcmshell6", "kcm_proxy"},
    {"KDE", "kcmshell5", "kcm_proxy"},
    {"KDE", "systemsettings", "kcm_proxy"},
    {"X-Cinnamon", "cinnamon-settings", "network"},
    {"MATE", "mate-network-properties", ""},
};

// Without a desktop tool, CUPS's own administration page in the browser;
// only where CUPS is installed, or the page would not load.
constexpr Candidate kPrinters[] = {
    {"GNOME", "gnome-control-center", "printers"},
    {"KDE", "kcmshell6", "kcm_printer_manager"},
    {"KDE", "kcmshell5", "kcm_printer_manager"},
    {"KDE", "systemsettings", "kcm_printer_manager"},
    {"", "system-config-printer", ""},
    {"", "xdg-open", "http://localhost:631/admin", "lpstat"},
};

constexpr Candidate kSystemInformation[] = {
    {"GNOME", "gnome-control-center", "info-overview"},
    {"KDE", "kinfocenter", ""},
    {"X-Cinnamon", "cinnamon-settings", "info"},
    {"XFCE", "xfce4-about", ""},
    {"", "hardinfo", ""},
};

std::span<const Candidate> CandidatesFor(DesktopTool tool) {
    switch (tool) {
        case DesktopTool::DisplaySettings:
            return kDisplay;
        case DesktopTool::MouseSettings:
            return kMouse;
        case DesktopTool::NetworkConnections:
            return kNetwork;
        case DesktopTool::InternetSettings:
            return kInternet;
        case DesktopTool::PrinterSettings:
            return kPrinters;
        case DesktopTool::SystemInformation:
            return kSystemInformation;
    }
    return {};
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

bool BelongsTo(const Candidate& candidate, std::string_view currentDesktop) {
    if (candidate.desktop.empty()) {
        return false;
    }
    const std::vector<std::string_view> desktops = SplitColonList(currentDesktop);
    return std::any_of(desktops.begin(), desktops.end(), [&candidate](std::string_view desktop) {
        return EqualIgnoringCase(desktop, candidate.desktop);
    });
}

}  // namespace

bool StartDesktopTool(ProgramRunner& programs, DesktopTool tool, std::string_view currentDesktop) {
    std::vector<Candidate> order(CandidatesFor(tool).begin(), CandidatesFor(tool).end());
    std::stable_partition(order.begin(), order.end(), [currentDesktop](const Candidate& c) {
        return BelongsTo(c, currentDesktop);
    });
    for (const Candidate& candidate : order) {
        if (!programs.Installed(candidate.program) ||
            (!candidate.alsoNeeds.empty() && !programs.Installed(candidate.alsoNeeds))) {
            continue;
        }
        std::vector<std::string> command{std::string(candidate.program)};
        if (!candidate.argument.empty()) {
            command.emplace_back(candidate.argument);
        }
        if (programs.Start(command)) {
            return true;
        }
    }
    return false;
}

std::string CurrentDesktop() {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    return desktop != nullptr ? desktop : "";
}

}  // namespace kestrel::platform
