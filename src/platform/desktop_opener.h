#pragma once

#include <functional>
#include <string_view>

#include "platform/program_runner.h"

// Opens files, folders and web addresses with the program the desktop has
// chosen for their type. The answer is a code in the terms of the program's
// "Open error" table, so that every desktop reports its failures alike.
namespace kestrel::platform {

/// Any code above 32 means the desktop took the target.
inline constexpr int kOpenStarted = 33;
/// No opener program is installed at all.
inline constexpr int kNoDesktopOpener = -1;
/// The opener's code for "no program is set for this type of file".
inline constexpr int kNoAssociation = 31;

class DesktopOpener {
  public:
    /// Receives what became of an open request, as a code.
    using Report = std::function<void(int code)>;

    virtual ~DesktopOpener() = default;
    /// Hands `hostTarget` (a host path or a web address) to the desktop and
    /// returns without waiting for it; `report` gets the code once it is known.
    virtual void Open(std::string_view hostTarget, Report report) = 0;
};

/// xdg-open, else GLib's "gio open", started through `programs`. An opener
/// reports a missing handler within moments but may run the chosen viewer in
/// its own process; one still running after a short wait has taken the file.
class XdgDesktopOpener final : public DesktopOpener {
  public:
    static constexpr int kReportMilliseconds = 1500;

    explicit XdgDesktopOpener(ProgramRunner& programs) : programs_(programs) {}
    /// The report comes from the runner's event loop when it has one, so the
    /// window goes on meanwhile; the opener itself need not outlive the call.
    void Open(std::string_view hostTarget, Report report) override;
    /// Waits for the code, for a caller that must know before it goes on.
    int OpenAndWait(std::string_view hostTarget);

  private:
    ProgramRunner& programs_;
};

/// The code for an exit status of xdg-open (2 missing file, 3 no method to
/// open it, 4 the desktop's own opener failed, 5 no permission to read).
int XdgOpenResult(int exitStatus);

}  // namespace kestrel::platform
