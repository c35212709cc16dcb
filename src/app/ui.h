#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/translation.h"

// The only way the core reaches a window. The Qt main window, the headless
// command line and the scripted test double implement it; commands of the
// Workspace talk to it and never to a dialog class.
namespace kestrel::app {

enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, AbortRetryIgnore };
enum class Icon { None, Critical, Question, Exclamation, Information };
enum class Answer { Ok, Cancel, Yes, No, Abort, Retry, Ignore };

/// The three panels of the status bar.
enum class StatusPanel { Message /* StatMsg */, Source /* StatSource */, Dest /* StatDest */ };
/// ProgressBar1 runs while the folder is read, ProgressBar2 while the preview
/// is computed and while a commit runs.
enum class Progress { Listing /* ProgressBar1 */, Preview /* ProgressBar2 */ };
enum class Pointer { Normal, Busy, ArrowHourglass };

/// The program's name, the title of its boxes in every language.
inline constexpr std::string_view kProgramTitle = "Kestrel";
/// The idle text of the first status panel, in English; the panel shows it
/// as text::Tr gives it.
inline constexpr std::string_view kStatusText = N_("Ready.");

// Every text handed to a Ui is already in the user's language.
class Ui {
  public:
    virtual ~Ui() = default;

    /// A modal message box; returns the button pressed.
    virtual Answer Ask(std::string_view text, std::string_view title, Buttons buttons,
                       Icon icon) = 0;
    /// A modal input box; nullopt when cancelled.
    virtual std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                             std::string_view initial) = 0;

    virtual void SetStatus(StatusPanel panel, std::string_view text) = 0;
    virtual void ShowProgress(Progress bar, int maximum) = 0;
    virtual void SetProgress(Progress bar, int value) = 0;
    virtual void HideProgress(Progress bar) = 0;
    virtual void SetPointer(Pointer pointer) = 0;
    /// Hides both file lists while long work fills them, and shows them again.
    virtual void SetListsVisible(bool visible) = 0;
    /// The splash window's status line while start-up is reading the folder.
    virtual bool SplashShowing() const = 0;
    virtual void SetSplashStatus(std::string_view text) = 0;
    /// Plays a sound file without waiting for it.
    virtual void PlaySound(std::string_view file) = 0;
    /// Lets pending paint events run during a long loop (never user input).
    virtual void ProcessPendingEvents() = 0;
};

}  // namespace kestrel::app
