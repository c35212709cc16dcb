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

std::string Entries(std::size_t count) {
    return count == 1 ? std::string("1 entry")
                      : text::FormatCount(static_cast<std::int64_t>(count)) + " entries";
}

// "1 entry is under its new name", "3 entries are under their new names";
// `still` after the verb.
std::string UnderNewNames(std::size_t count, std::string_view still = "") {
    const bool one = count == 1;
    return Entries(count) + (one ? " is " : " are ") + std::string(still) +
           (one ? "under its new name" : "under their new names");
}

std::string Question(const Interrupted& journal) {
    if (journal.contents.operation == commit::JournalOperation::Undo) {
        return "Kestrel stopped before it finished an \"Undo the Do!\": " +
               UnderNewNames(journal.underNewNames, "still ") +
               ".\r\rDo you wish to finish the undo and give back the old names?\r\rYes "
               "finishes it, No keeps the files as they are now, and Cancel asks again at the "
               "next start.";
    }
    return "Kestrel stopped before it finished a \"Do It!\": " +
           UnderNewNames(journal.underNewNames) +
           ".\r\rDo you wish to undo it and give back the old names?\r\rYes undoes it, No "
           "keeps the files as they are now, and Cancel asks again at the next start.";
}

std::string UnrestoredReport(const std::vector<commit::UnrestoredEntry>& unrestored,
                             const PathPresenter& paths) {
    std::string report = "These entries could not be given back their old names:\r";
    for (std::size_t i = 0; i < unrestored.size() && i < kNamesShown; ++i) {
        const commit::UnrestoredEntry& failed = unrestored[i];
        report += "\r" + paths.Path(failed.entry.newPath) + " -> " +
                  paths.Path(failed.entry.oldPath) + ": " + platform::DescribeError(failed.error);
    }
    if (unrestored.size() > kNamesShown) {
        report += "\r... and " + Entries(unrestored.size() - kNamesShown) + " more.";
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
        const Answer answer =
            ui.Ask(Question(journal), kInterruptedTitle, Buttons::YesNoCancel, Icon::Question);
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
                ui.Ask(UnrestoredReport(unrestored, paths), kInterruptedTitle, Buttons::Ok,
                       Icon::Exclamation);
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
            errors << "Taking back an interrupted " << (undo ? "\"Undo the Do!\"" : "\"Do It!\"")
                   << ": " << UnderNewNames(journal.underNewNames) << ".\n";
            platform::PosixFileSystem fileSystem(journal.contents.drives);
            std::size_t withdrawn = 0;
            const auto beforeRingCloses = [&journal, &withdrawn](std::size_t dealtWith) {
                commit::WithdrawDurably(journal.file, dealtWith - withdrawn);
                withdrawn = dealtWith;
            };
            for (const commit::UnrestoredEntry& failed :
                 commit::RestoreInterrupted(fileSystem, journal.contents.steps, beforeRingCloses)) {
                errors << "Error " << failed.error.number << ": " << failed.error.description
                       << "\n"
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
        errors << "An interrupted " << (undo ? "\"Undo the Do!\"" : "\"Do It!\"")
               << " may have left entries under their new names (" << journal.file.Path()
               << "). Start Kestrel with its window to undo it or to keep the files as they "
                  "are.\n";
    }
    errors.flush();
}

}  // namespace kestrel::app
