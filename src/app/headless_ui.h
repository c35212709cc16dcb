#pragma once

#include <array>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "app/ui.h"

namespace kestrel::app {

/// The buttons of a set, left to right as a window shows them.
std::span<const Answer> AnswersOf(Buttons buttons);

/// The button's caption in English: "OK", "Cancel", "Yes", ... A terminal
/// shows it in the user's language and takes either as an answer.
std::string_view AnswerName(Answer answer);

/// The answer that lets the work go on when nobody is there to ask:
/// Ok and OK/Cancel -> Ok; Yes/No -> No (the only Yes/No questions an
/// unattended run can meet are "overwrite this case rule?", where keeping the
/// existing rule is the safe side, and the bug-report offer); Yes/No/Cancel ->
/// Cancel (the listing's interrupt question: continue and stop asking);
/// Abort/Retry/Ignore -> Ignore (Retry would loop on a failure nobody fixes).
Answer ContinuingAnswer(Buttons buttons);

/// True when standard input and standard error are both terminals.
bool StandardStreamsAreTerminal();

// The window of the command line. Boxes go to a text stream so that a log of an
// unattended run shows every question and the answer taken; everything else
// (status bar, progress, pointer, sounds) stays silent. Without a terminal it
// never reads input, so a run from a script or a scheduler cannot hang.
class HeadlessUi : public Ui {
  public:
    /// Standard input and standard error, with a terminal when both are one.
    HeadlessUi();
    /// `terminal` says whether someone can answer on `input`.
    HeadlessUi(std::istream& input, std::ostream& output, bool terminal);

    Answer Ask(std::string_view text, std::string_view title, Buttons buttons, Icon icon) override;
    std::optional<std::string> Input(std::string_view prompt, std::string_view title,
                                     std::string_view initial) override;

    void SetStatus(StatusPanel panel, std::string_view text) override;
    void ShowProgress(Progress, int) override {}
    void SetProgress(Progress, int) override {}
    void HideProgress(Progress) override {}
    void SetPointer(Pointer) override {}
    void SetListsVisible(bool) override {}
    bool SplashShowing() const override { return false; }
    void SetSplashStatus(std::string_view) override {}
    void PlaySound(std::string_view) override {}
    void ProcessPendingEvents() override {}

    /// Shows the progress texts of the status bar ("Renaming: 37% complete.")
    /// on `terminal`, each over the last, the line cleared again when the
    /// panel goes back to "Ready.". For a terminal only: a log would fill
    /// with them.
    void ShowProgressOn(std::ostream& terminal) { progressTerminal_ = &terminal; }

    /// The text last written to a status panel; the command line reports it.
    const std::string& LastStatus(StatusPanel panel) const;

  private:
    void WriteBox(std::string_view text, std::string_view title, Icon icon);
    std::optional<Answer> ReadAnswer(Buttons buttons);

    std::istream& input_;
    std::ostream& output_;
    bool terminal_;
    std::array<std::string, 3> status_;
    std::ostream* progressTerminal_ = nullptr;
};

}  // namespace kestrel::app
