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

int XdgDesktopOpener::Open(std::string_view hostTarget) {
    const std::string target(hostTarget);
    if (programs_.Installed("xdg-open")) {
        const RunReport report = programs_.StartAndWatch({"xdg-open", target}, kReportMilliseconds);
        if (!report.started) {
            return kUnknownError;
        }
        return report.exitStatus ? XdgOpenResult(*report.exitStatus) : kOpenStarted;
    }
    if (programs_.Installed("gio")) {
        const RunReport report =
            programs_.StartAndWatch({"gio", "open", target}, kReportMilliseconds);
        if (!report.started) {
            return kUnknownError;
        }
        // gio says nothing more precise than "failed"; the file was found to
        // exist before, so what is left is a type without a program.
        return !report.exitStatus || *report.exitStatus == 0 ? kOpenStarted : kNoAssociation;
    }
    return kNoDesktopOpener;
}

}  // namespace kestrel::platform
