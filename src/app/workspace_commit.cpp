#include <algorithm>
#include <cstdint>
#include <deque>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/commit_run.h"
#include "app/percent_status.h"
#include "app/single_item.h"
#include "app/workspace.h"
#include "commit/commit_steps.h"
#include "commit/ordered_steps.h"
#include "commit/step_order.h"
#include "commit/undo.h"
#include "engine/rename_options.h"
#include "platform/file_error.h"
#include "text/numbers.h"
#include "text/translation.h"

namespace kestrel::app {
namespace {

constexpr int kCommitArea = 60;

// CommitState values.
constexpr int kAborted = 3;
constexpr int kRetrying = 4;
constexpr int kWorking = 5;

std::string ErrorPromptText(const platform::FileError& error, std::string_view name,
                            std::string_view newName) {
    std::string prompt =
        // TRANSLATORS: {1} is an error with its number ("Error 53 (File not
        // found)").
        text::Fill(text::Tr("{1} occurred while trying to rename the following file:"),
                   {platform::DescribeError(error)});
    prompt += "\r\r" + RenameLine(name, newName) + "\r\r";
    prompt += text::Tr(
        "Do you wish to abort the process, retry renaming the file, or ignore and continue?");
    return prompt;
}

// A box's list of entries, one a line, the first twenty of them, under a
// heading that ends with its colon.
std::string EntryListReport(std::string heading, const std::vector<std::string>& lines) {
    constexpr std::size_t kNamesShown = 20;
    heading += "\r";
    for (std::size_t i = 0; i < lines.size() && i < kNamesShown; ++i) {
        heading += "\r" + lines[i];
    }
    if (lines.size() > kNamesShown) {
        const std::size_t more = lines.size() - kNamesShown;
        // English says "more" whatever the count; a translation may have
        // forms for counts.
        // TRANSLATORS: {1} is how many entries the box leaves out.
        heading += "\r" + text::Fill(text::TrPlural("... and {1} more.", "... and {1} more.", more),
                                     {text::FormatCount(static_cast<std::int64_t>(more))});
    }
    return heading;
}

// An entry copied back from another drive whose copy there could not be
// deleted is whole twice; the user decides which to keep.
std::string KeptTwiceReport(const std::vector<commit::UnrestoredEntry>& keptTwice,
                            const PathPresenter& paths) {
    std::vector<std::string> lines;
    for (const commit::UnrestoredEntry& kept : keptTwice) {
        lines.push_back(paths.Path(kept.entry.newPath) + ": " +
                        platform::DescribeError(kept.error));
    }
    return EntryListReport(
        text::Tr("These entries are back under their old names, but the files under their new "
                 "names could not be deleted, so each is there twice, whole both times:"),
        lines);
}

// A ring of renames cut short leaves an entry under its temporary name; the
// user must hear of it, by name.
std::string LeftAtTemporaryReport(const std::vector<commit::LeftAtTemporary>& left,
                                  const PathPresenter& paths) {
    std::vector<std::string> lines;
    for (const commit::LeftAtTemporary& entry : left) {
        // TRANSLATORS: {1} is the entry's temporary path, {2} its old name and
        // {3} the new name it was to get.
        lines.push_back(text::Fill(text::Tr("{1}: \"{2}\", to be \"{3}\""),
                                   {paths.Path(entry.temporaryPath), entry.name, entry.newName}));
    }
    return EntryListReport(text::Tr("These entries are under temporary names, because renames "
                                    "they waited on did not happen:"),
                           lines) +
           "\r\r" + text::Tr("\"Undo the Do!\" gives them their old names back.");
}

// A temporary name that something else has taken is passed over for the next
// one this many times.
constexpr int kTemporaryNameAttempts = 16;

int StateAfter(Answer answer) {
    switch (answer) {
        case Answer::Abort:
            return kAborted;
        case Answer::Retry:
            return kRetrying;
        default:
            return kWorking;
    }
}

// A path that cannot be reached (75) or whose folder is gone (76) is passed
// over without asking. A file missing from a folder that is still there (53)
// is asked about like any other failure: the user may have moved it and want
// to abort.
bool PassedOverSilently(int errorNumber) {
    return errorNumber == platform::kPathFileAccessError || errorNumber == platform::kPathNotFound;
}

}  // namespace

void Workspace::DoIt() {
    EntryAtHand atHand;
    try {
        if (CurrentPreviewBasis() != previewBasis_) {
            ComputeTargets();
        }
        operationStartTime = Now();
        area = kCommitArea;
        if (commitState_ == kAborted) {
            commitState_ = 0;
        }
        StopWatchingListedFolders();
        // Opened even for a commit that commits nothing, so that Undo is offered.
        undoLog_.OpenLevel();
        CommitRun run(*this, atHand);
        ui_.SetPointer(Pointer::ArrowHourglass);
        ui_.ShowProgress(Progress::Preview, static_cast<int>(sourceRows_.size()));
        CommitRows(run);
        KeepNewestLevel();
        run.journal.Finish();
        FollowGivenEntries(undoLog_.Newest(), false);
        ui_.HideProgress(Progress::Preview);
        ui_.SetPointer(Pointer::Normal);
        if (preferences.autoResetOptions == 1) {
            const bool wasBusy = busyFlag;
            busyFlag = true;
            engine::ClearOperations(options);
            busyFlag = wasBusy;
        }
        ui_.ProcessPendingEvents();
        ui_.SetStatus(StatusPanel::Message, text::Tr(kStatusText.data()));
        RefreshSourceList();
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, atHand.name + " | " + atHand.newName);
    }
}

void Workspace::StopWatchingListedFolders() {
    // A watched folder costs the kernel an event for every rename in it, a
    // sixth of the rename itself; the listing that closes a commit or an undo
    // reads and watches the folders anew.
    listedNames_ = lists::ListedNames();
}

void Workspace::FollowGivenEntries(const std::vector<commit::UndoEntry>& steps, bool undone) {
    if (!ListsGivenEntries()) {
        return;
    }
    std::vector<std::pair<std::string, std::string>> moves;
    moves.reserve(steps.size());
    // An undo takes the steps back newest first.
    const auto follow = [&moves, undone](const commit::UndoEntry& step) {
        // A copy, or a folder that only had sub-folders made, stays where it was.
        if (step.kind != commit::StepKind::Copy && step.kind != commit::StepKind::FolderTree) {
            moves.emplace_back(undone ? step.newPath : step.oldPath,
                               undone ? step.oldPath : step.newPath);
        }
    };
    if (undone) {
        std::for_each(steps.rbegin(), steps.rend(), follow);
    } else {
        std::for_each(steps.begin(), steps.end(), follow);
    }
    lists::FollowMovedEntries(*given_, moves);
}

void Workspace::CommitRows(CommitRun& run) {
    run.Settle();
    const commit::StepOrder order(run.settled);
    if (order.Reorders()) {
        CommitInOrder(run, order);
        return;
    }
    // TRANSLATORS: {1} is a percentage ("37%").
    PercentStatus status(ui_, text::Tr("Renaming: {1} complete."));
    for (std::size_t row = 0; row < sourceRows_.size() && commitState_ != kAborted; ++row) {
        status.Show(row, sourceRows_.size());
        ui_.SetProgress(Progress::Preview, static_cast<int>(row));
        if (row >= preview_.targets.size() || preview_.targets[row].empty()) {
            continue;
        }
        while (CommitRow(run, row)) {
        }
    }
}

bool Workspace::CommitRow(CommitRun& run, std::size_t row) {
    commitState_ = kWorking;
    if ((run.queue.empty() || run.queue.front().row != row) &&
        !GoOnWithoutJournal(ui_, run.PlanGroup(row), run.journal.Folder())) {
        commitState_ = kAborted;
        return false;
    }
    const CommitRun::Planned planned = std::move(run.queue.front());
    run.queue.pop_front();
    const commit::EntryPlan& plan = planned.entry.plan;
    run.entry = {plan.parts.name, plan.newName};
    run.SweepLeftoverCopies(fileSystem_, plan);
    const commit::StepResult result = commit::CommitEntry(fileSystem_, plan, run.copy);
    if (!result.error.Ok() || result.folderMoved != CommitRun::Expected(plan).folderMoved) {
        if (!GoOnWithoutJournal(ui_, run.Replan(planned, result), run.journal.Folder())) {
            commitState_ = kAborted;
            return false;
        }
    }
    if (result.error.Ok()) {
        undoLog_.Record(plan.OldPath(), plan.NewPath(), planned.entry.kind);
        return false;
    }
    if (ToldFailure(result.error, plan.OldPath()) || PassedOverSilently(result.error.number)) {
        return false;
    }
    return AskAboutFailure(result.error, plan.parts.name, plan.newName);
}

bool Workspace::AskAboutFailure(const platform::FileError& error, std::string_view name,
                                std::string_view newName) {
    ui_.SetPointer(Pointer::Normal);
    const Answer answer = ui_.Ask(ErrorPromptText(error, name, newName), text::Tr("Error"),
                                  Buttons::AbortRetryIgnore, Icon::Question);
    ui_.SetPointer(Pointer::ArrowHourglass);
    commitState_ = StateAfter(answer);
    return commitState_ == kRetrying;
}

void Workspace::CommitInOrder(CommitRun& run, const commit::StepOrder& order) {
    commit::OrderedSteps steps(run.settled, order);
    // TRANSLATORS: {1} is a percentage ("37%").
    PercentStatus status(ui_, text::Tr("Renaming: {1} complete."));
    const std::size_t count = steps.Count();
    for (std::size_t step = 0; step < count && commitState_ != kAborted; ++step) {
        status.Show(step, count);
        ui_.SetProgress(Progress::Preview, static_cast<int>(step * sourceRows_.size() / count));
        for (bool retried = false; CommitStep(run, steps, step, retried); retried = true) {
        }
    }
    const std::vector<commit::LeftAtTemporary> left = steps.LeftAtTemporaryNames();
    if (!left.empty()) {
        ui_.Ask(LeftAtTemporaryReport(left, Paths()), kProgramTitle, Buttons::Ok,
                Icon::Exclamation);
    }
}

bool Workspace::CommitStep(CommitRun& run, commit::OrderedSteps& steps, std::size_t step,
                           bool retried) {
    commitState_ = kWorking;
    if (!run.Announced(step) && !AnnounceSteps(run, steps, step)) {
        return false;
    }
    commit::StepAtHand at = steps.At(step);
    run.entry = {at.Plan().parts.name, at.Plan().newName};
    // A step that waits on one that did not happen is not tried blindly; the
    // user hears why, and may try it anyway.
    const platform::FileError error = at.blockedBy != 0 && !retried
                                          ? platform::FileError::Make(at.blockedBy)
                                          : TakeStep(run, steps, step, at);
    if (commitState_ == kAborted) {
        return false;
    }
    const commit::EntryPlan& plan = at.Plan();
    if (error.Ok()) {
        steps.Done(step);
        undoLog_.Record(plan.OldPath(), plan.NewPath(), at.kind);
        return false;
    }
    if (!ToldFailure(error, at.settled->OldPath()) &&
        (at.blockedBy != 0 || !PassedOverSilently(error.number)) &&
        AskAboutFailure(error, plan.parts.name, plan.newName)) {
        return true;
    }
    steps.Missed(step);
    // The step closing its ring now takes the entry from its old name.
    if (at.toTemporary && commitState_ != kAborted) {
        AnnounceSteps(run, steps, step + 1);
    }
    return false;
}

platform::FileError Workspace::TakeStep(CommitRun& run, commit::OrderedSteps& steps,
                                        std::size_t step, commit::StepAtHand& at) {
    for (int attempt = 1;; ++attempt) {
        const commit::EntryPlan& plan = at.Plan();
        run.entry = {plan.parts.name, plan.newName};
        run.SweepLeftoverCopies(fileSystem_, plan);
        platform::FileError error =
            commit::CommitEntry(fileSystem_, plan, run.copy && !at.toTemporary).error;
        if (!at.toTemporary || error.number != platform::kFileAlreadyExists ||
            attempt == kTemporaryNameAttempts) {
            return error;
        }
        steps.RenameTemporary(step);
        if (!AnnounceSteps(run, steps, step)) {
            return error;
        }
        at = steps.At(step);
    }
}

bool Workspace::AnnounceSteps(CommitRun& run, const commit::OrderedSteps& steps, std::size_t step) {
    if (GoOnWithoutJournal(ui_, run.AnnounceSteps(steps, step), run.journal.Folder())) {
        return true;
    }
    commitState_ = kAborted;
    return false;
}

bool Workspace::ToldFailure(const platform::FileError& error, const std::string& path) {
    if (!failureSink_) {
        return false;
    }
    failureSink_(error, path);
    return true;
}

void Workspace::AttachUndoStore(commit::UndoStore* store) {
    // Without a folder to keep it in, the log lives as long as the program.
    undoStore_ = store != nullptr && store->Keeping() ? store : nullptr;
    if (undoStore_ != nullptr) {
        undoLog_.Assign(undoStore_->Levels());
    }
}

void Workspace::KeepNewestLevel() {
    if (undoStore_ == nullptr) {
        return;
    }
    std::vector<commit::UndoEntry>& level = undoLog_.Newest();
    for (commit::UndoEntry& entry : level) {
        // An entry that went on from its new name (a temporary one) has none
        // to be checked by.
        entry.identity = commit::IdentityOf(fileSystem_, entry.newPath);
    }
    // Other running copies may have kept levels meanwhile; the newest of all
    // is the one an undo takes. A log that cannot be written leaves this
    // run's levels to this run.
    if (undoStore_->Append(level).Ok()) {
        undoLog_.Assign(undoStore_->Levels());
    }
}

void Workspace::Undo() {
    try {
        operationStartTime = Now();
        DisableButtons();
        ui_.SetStatus(StatusPanel::Message, text::Tr("Restoring..."));
        StopWatchingListedFolders();
        RestoreNewestLevel();
        ui_.SetStatus(StatusPanel::Message, text::Tr(kStatusText.data()));
        EnableButtons();
        RefreshSourceList();
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, "[N/A]");
    }
}

void Workspace::RestoreNewestLevel() {
    if (undoStore_ != nullptr) {
        // The level comes out of the file under its lock, so that no other
        // running copy takes it too; whatever another copy did meanwhile, the
        // newest level on disk is the one taken back.
        platform::FileError error;
        std::optional<std::vector<commit::UndoEntry>> newest = undoStore_->TakeNewest(error);
        undoLog_.Assign(undoStore_->Levels());
        if (newest) {
            undoLog_.Push(std::move(*newest));
        } else if (!error.Ok()) {
            ToldFailure(error, undoStore_->Folder());
        }
    }
    if (undoLog_.Level() > 0) {
        // The whole level is in the journal before the first entry goes back.
        commit::CommitJournal journal(journalPlace_, commit::JournalOperation::Undo,
                                      undoLog_.Level());
        for (const commit::UndoEntry& entry : undoLog_.Newest()) {
            journal.Add(entry.kind, entry.oldPath, entry.newPath);
        }
        if (!GoOnWithoutJournal(ui_, journal.Flush(), journal.Folder())) {
            return;
        }
        // What is back goes from the journal before a ring of renames closes
        // again. Should the journal fail here, the undo goes on without it.
        std::size_t withdrawn = 0;
        const auto beforeRingCloses = [&journal, &withdrawn](std::size_t dealtWith) {
            journal.Withdraw(dealtWith - withdrawn);
            withdrawn = dealtWith;
            journal.Flush();
        };
        const std::vector<commit::UndoEntry> level = undoLog_.TakeNewest();
        const commit::LevelRestored restored =
            commit::RestoreLevel(fileSystem_, level, beforeRingCloses);
        FollowGivenEntries(level, true);
        journal.Finish();
        for (const commit::UnrestoredEntry& failed : restored.failed) {
            ToldFailure(failed.error, failed.entry.newPath);
        }
        if (!failureSink_ && !restored.passedOver.empty()) {
            std::vector<std::string> lines;
            for (const commit::UnrestoredEntry& passed : restored.passedOver) {
                lines.push_back(Paths().Path(passed.entry.newPath));
            }
            ui_.Ask(EntryListReport(text::Tr("These entries were moved or changed since they "
                                             "were renamed, so they keep their new names:"),
                                    lines),
                    kProgramTitle, Buttons::Ok, Icon::Exclamation);
        }
        if (!restored.keptTwice.empty()) {
            ui_.Ask(KeptTwiceReport(restored.keptTwice, Paths()), kProgramTitle, Buttons::Ok,
                    Icon::Exclamation);
        }
    }
    if (undoLog_.Level() == 0) {
        buttons_.SetEnabled(CommandButton::Undo, false);
    }
}

}  // namespace kestrel::app
