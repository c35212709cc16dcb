#include "app/journal_recovery.h"

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <unordered_set>
#include <utility>
#include <vector>

#include "commit/commit_journal.h"
#include "commit/undo.h"
#include "platform/file_error.h"
#include "platform/journal_file.h"
#include "platform/posix_file_system.h"
#include "text/numbers.h"
#include "text/translation.h"

namespace kestrel::app {
namespace {

// A box lists at most this many entries by name; a count stands for the rest.
constexpr std::size_t kNamesShown = 20;

struct Interrupted {
    platform::JournalFile file;
    commit::JournalContents contents;
    std::size_t underNewNames = 0;
};

// `countOnDisk`: find out how many steps left their entry under its new name,
// which costs a look at each step on disk.
std::vector<Interrupted> FindInterrupted(const std::string& stateFolder, bool countOnDisk) {
    std::vector<Interrupted> found;
    if (stateFolder.empty()) {
        return found;
    }
    for (platform::JournalFile& file : platform::TakeAbandonedJournals(stateFolder)) {
        std::string bytes;
        std::optional<commit::JournalContents> contents;
        if (file.ReadAll(bytes).Ok()) {
            contents = commit::ReadJournal(bytes);
        }
        // What is not a journal is not ours to change.
        if (!contents) {
            continue;
        }
        std::size_t underNewNames = 0;
        if (countOnDisk) {
            platform::PosixFileSystem fileSystem(contents->drives);
            for (const commit::UndoEntry& step : contents->steps) {
                underNewNames += commit::UnderNewName(fileSystem, step) ? 1 : 0;
            }
        }
        found.push_back({std::move(file), std::move(*contents), underNewNames});
    }
    return found;
}

// A copy to another drive that was cut short leaves its hidden temporary copy
// beside the new name (an undo's copy back, beside the old one). No later
// commit may write to those folders, so the recovery sweeps them; a copy that
// a running program still holds is left alone.
void RemoveTemporaryCopies(const commit::JournalContents& contents) {
    platform::PosixFileSystem fileSystem(contents.drives);
    std::unordered_set<std::string> folders;
    for (const commit::UndoEntry& step : contents.steps) {
        for (const std::string* path : {&step.oldPath, &step.newPath}) {
            folders.insert(path->substr(0, path->rfind('\\') + 1));
        }
    }
    for (const std::string& folder : folders) {
        fileSystem.RemoveLeftoverCopies(folder);
    }
}

std::string Count(std::size_t count) {
    return text::FormatCount(static_cast<std::int64_t>(count));
}

std::string Question(const Interrupted& journal) {
    const std::size_t count = journal.underNewNames;
    std::string question;
    if (journal.contents.operation == commit::JournalOperation::Undo) {
        question = text::Fill(
            // TRANSLATORS: {1} is how many entries an interrupted undo left under
            // their new names.
            text::TrPlural("Kestrel stopped before it finished an \"Undo the Do!\": {1} entry is "
                           "still under its new name.",
                           "Kestrel stopped before it finished an \"Undo the Do!\": {1} entries "
                           "are still under their new names.",
                           count),
            {Count(count)});
        question += "\r\r";
        question += text::Tr("Do you wish to finish the undo and give back the old names?");
        question += "\r\r";
        question += text::Tr(
            // TRANSLATORS: Yes, No and Cancel are the box's buttons.
            "Yes finishes it, No keeps the files as they are now, and Cancel asks again at the "
            "next start.");
        return question;
    }
    question = text::Fill(
        text::TrPlural(
            // TRANSLATORS: {1} is how many entries an interrupted commit left under
            // their new names.
            "Kestrel stopped before it finished a \"Do It!\": {1} entry is under its new name.",
            "Kestrel stopped before it finished a \"Do It!\": {1} entries are under their new "
            "names.",
            count),
        {Count(count)});
    question += "\r\r";
    question += text::Tr("Do you wish to undo it and give back the old names?");
    question += "\r\r";
    question += text::Tr(
        // TRANSLATORS: Yes, No and Cancel are the box's buttons.
        "Yes undoes it, No keeps the files as they are now, and Cancel asks again at the next "
        "start.");
    return question;
}

std::string UnrestoredReport(const std::vector<commit::UnrestoredEntry>& unrestored,
                             const PathPresenter& paths) {
    std::string report = text::Tr("These entries could not be given back their old names:");
    report += "\r";
    for (std::size_t i = 0; i < unrestored.size() && i < kNamesShown; ++i) {
        const commit::UnrestoredEntry& failed = unrestored[i];
        report += "\r" + paths.Path(failed.entry.newPath) + " -> " +
                  paths.Path(failed.entry.oldPath) + ": " + platform::DescribeError(failed.error);
    }
    if (unrestored.size() > kNamesShown) {
        const std::size_t more = unrestored.size() - kNamesShown;
        // TRANSLATORS: {1} is how many entries the box leaves out.
        report += "\r" + text::Fill(text::TrPlural("... and {1} entry more.",
                                                   "... and {1} entries more.", more),
                                    {Count(more)});
    }
    return report;
}

}  // namespace

void RecoverInterruptedOperations(const std::string& stateFolder, Ui& ui, PathStyle style) {
    for (Interrupted& journal : FindInterrupted(stateFolder, true)) {
        // Stopped before any step ran, or already undone by hand.
        if (journal.underNewNames == 0) {
            RemoveTemporaryCopies(journal.contents);
            journal.file.Remove();
            continue;
        }
        const Answer answer = ui.Ask(Question(journal), text::Tr(kInterruptedTitle.data()),
                                     Buttons::YesNoCancel, Icon::Question);
        if (answer == Answer::Cancel) {
            continue;
        }
        if (answer == Answer::Yes) {
            platform::PosixFileSystem fileSystem(journal.contents.drives);
            ui.SetPointer(Pointer::Busy);
            std::size_t withdrawn = 0;
            const auto beforeRingCloses = [&journal, &withdrawn](std::size_t dealtWith) {
                commit::WithdrawDurably(journal.file, dealtWith - withdrawn);
                withdrawn = dealtWith;
            };
            const std::vector<commit::UnrestoredEntry> unrestored =
                commit::RestoreInterrupted(fileSystem, journal.contents.steps, beforeRingCloses);
            ui.SetPointer(Pointer::Normal);
            if (!unrestored.empty()) {
                // The journal's own drive letters name its paths.
                const PathPresenter paths(&journal.contents.drives, style);
                ui.Ask(UnrestoredReport(unrestored, paths), text::Tr(kInterruptedTitle.data()),
                       Buttons::Ok, Icon::Exclamation);
            }
        }
        RemoveTemporaryCopies(journal.contents);
        journal.file.Remove();
    }
}

std::size_t UndoInterruptedOperations(const std::string& stateFolder, std::ostream& errors,
                                      std::size_t& failures) {
    std::size_t undone = 0;
    for (Interrupted& journal : FindInterrupted(stateFolder, true)) {
        if (journal.underNewNames > 0) {
            const bool undo = journal.contents.operation == commit::JournalOperation::Undo;
            const std::size_t count = journal.underNewNames;
            errors << text::Fill(
                          undo
                              // TRANSLATORS: {1} is how many entries an interrupted undo
                              // left under their new names.
                              ? text::TrPlural("Taking back an interrupted \"Undo the Do!\": {1} "
                                               "entry is under its new name.",
                                               "Taking back an interrupted \"Undo the Do!\": {1} "
                                               "entries are under their new names.",
                                               count)
                              // TRANSLATORS: {1} is how many entries an interrupted
                              // commit left under their new names.
                              : text::TrPlural("Taking back an interrupted \"Do It!\": {1} entry "
                                               "is under its new name.",
                                               "Taking back an interrupted \"Do It!\": {1} "
                                               "entries are under their new names.",
                                               count),
                          {Count(count)})
                   << "\n";
            platform::PosixFileSystem fileSystem(journal.contents.drives);
            std::size_t withdrawn = 0;
            const auto beforeRingCloses = [&journal, &withdrawn](std::size_t dealtWith) {
                commit::WithdrawDurably(journal.file, dealtWith - withdrawn);
                withdrawn = dealtWith;
            };
            for (const commit::UnrestoredEntry& failed :
                 commit::RestoreInterrupted(fileSystem, journal.contents.steps, beforeRingCloses)) {
                errors << platform::NumberedError(failed.error) << "\n"
                       << journal.contents.drives.ToHostPath(failed.entry.newPath)
                              .value_or(failed.entry.newPath)
                       << "\n";
                ++failures;
            }
            ++undone;
        }
        RemoveTemporaryCopies(journal.contents);
        journal.file.Remove();
    }
    errors.flush();
    return undone;
}

void ReportInterruptedOperations(const std::string& stateFolder, std::ostream& errors) {
    for (const Interrupted& journal : FindInterrupted(stateFolder, false)) {
        RemoveTemporaryCopies(journal.contents);
        const bool undo = journal.contents.operation == commit::JournalOperation::Undo;
        errors << text::Fill(
                      undo
                          // TRANSLATORS: {1} is the journal's file.
                          ? text::Tr("An interrupted \"Undo the Do!\" may have left entries "
                                     "under their new names ({1}). Start Kestrel with its window "
                                     "to undo it or to keep the files as they are.")
                          // TRANSLATORS: {1} is the journal's file.
                          : text::Tr("An interrupted \"Do It!\" may have left entries under "
                                     "their new names ({1}). Start Kestrel with its window to "
                                     "undo it or to keep the files as they are."),
                      {journal.file.Path()})
               << "\n";
    }
    errors.flush();
}

}  // namespace kestrel::app
