#include "platform/desktop_opener.h"

#include <string>
#include <vector>

namespace kestrel::platform {
namespace {

constexpr int kFileNotFound = 2;
constexpr int kAccessDenied = 5;
constexpr int kUnknownError = 0;

}  // namespace

int XdgOpenResult(int exitStatus) {
    switch (exitStatus) {
        case 0:
            return kOpenStarted;
        case 2:
            return kFileNotFound;
        // Under a full desktop, xdg-open hands over to the desktop's opener,
        // whose only common failure is a type nobody handles (4); on its own,
        // it finds no method (3).
        case 3:
        case 4:
            return kNoAssociation;
        case 5:
            return kAccessDenied;
        default:
            return kUnknownError;
    }
}

namespace {

// The opener's command for `target`; empty when none is installed.
std::vector<std::string> OpenerCommand(const ProgramRunner& programs, const std::string& target) {
    if (programs.Installed("xdg-open")) {
        return {"xdg-open", target};
    }
    if (programs.Installed("gio")) {
        return {"gio", "open", target};
    }
    return {};
}

int CodeOf(const std::vector<std::string>& command, const RunReport& report) {
    if (!report.started) {
        return kUnknownError;
    }
    if (command.front() == "xdg-open") {
        return report.exitStatus ? XdgOpenResult(*report.exitStatus) : kOpenStarted;
    }
    // gio says nothing more precise than "failed"; the file was found to
    // exist before, so what is left is a type without a program.
    return !report.exitStatus || *report.exitStatus == 0 ? kOpenStarted : kNoAssociation;
}

}  // namespace

void XdgDesktopOpener::Open(std::string_view hostTarget, Report report) {
    std::vector<std::string> command = OpenerCommand(programs_, std::string(hostTarget));
    if (command.empty()) {
        report(kNoDesktopOpener);
        return;
    }
    programs_.StartWatched(command, kReportMilliseconds,
                           [command, report = std::move(report)](const RunReport& run) {
                               report(CodeOf(command, run));
                           });
}

int XdgDesktopOpener::OpenAndWait(std::string_view hostTarget) {
    const std::vector<std::string> command = OpenerCommand(programs_, std::string(hostTarget));
    return command.empty() ? kNoDesktopOpener
                           : CodeOf(command, programs_.StartAndWatch(command, kReportMilliseconds));
}

}  // namespace kestrel::platform
