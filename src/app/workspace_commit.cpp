#include <algorithm>
#include <cstdint>
#include <deque>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

#include "app/percent_status.h"
#include "app/workspace.h"
#include "commit/commit_plan.h"
#include "commit/commit_steps.h"
#include "commit/undo.h"
#include "engine/name_pipeline.h"
#include "engine/rename_options.h"
#include "platform/file_error.h"
#include "text/numbers.h"

namespace kestrel::app {
namespace {

constexpr int kCommitArea = 60;

// CommitState values.
constexpr int kAborted = 3;
constexpr int kRetrying = 4;
constexpr int kWorking = 5;

// Steps are planned and written to the journal in groups, so that one flush
// covers many steps. Groups start small, so that a short commit starts at
// once, and grow fourfold up to the largest: a flush to disk costs about the
// same for few steps as for many, so a full list takes seven of them.
constexpr std::size_t kFirstGroup = 16;
constexpr std::size_t kGroupGrowth = 4;
constexpr std::size_t kLargestGroup = 16384;
// After a step that did not go as planned, this many of the entries planned
// after it are planned again at once; the rest wait for the next group.
constexpr std::size_t kReplanned = 16;

// True when the journal was written, or when the user chose to go on without
// one after it could not be.
bool GoOnWithoutJournal(Ui& ui, const platform::FileError& error, std::string_view folder) {
    if (error.Ok()) {
        return true;
    }
    return ui.Ask("Kestrel cannot write its journal in \"" + std::string(folder) +
                      "\": " + platform::DescribeError(error) +
                      ".\r\rWithout it, an operation that the computer or the program stops "
                      "halfway cannot be undone at the next start. Do you wish to continue "
                      "without it?",
                  kProgramTitle, Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
}

std::string ErrorPromptText(const platform::FileError& error, std::string_view name,
                            std::string_view newName) {
    return platform::DescribeError(error) +
           " occurred while trying to rename the following file:\r\r\"" + std::string(name) +
           "\" to \"" + std::string(newName) +
           "\"\r\rDo you wish to abort the process, retry renaming the file, or ignore and "
           "continue?";
}

// An entry copied back from another drive whose copy there could not be
// deleted is whole twice; the user decides which to keep.
std::string KeptTwiceReport(const std::vector<commit::UnrestoredEntry>& keptTwice) {
    constexpr std::size_t kNamesShown = 20;
    std::string report =
        "These entries are back under their old names, but the files under their new names "
        "could not be deleted, so each is there twice, whole both times:\r";
    for (std::size_t i = 0; i < keptTwice.size() && i < kNamesShown; ++i) {
        report +=
            "\r" + keptTwice[i].entry.newPath + ": " + platform::DescribeError(keptTwice[i].error);
    }
    if (keptTwice.size() > kNamesShown) {
        report += "\r... and " +
                  text::FormatCount(static_cast<std::int64_t>(keptTwice.size() - kNamesShown)) +
                  " more.";
    }
    return report;
}

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

// The name and new name of the entry at hand, for the unexpected-error report.
struct EntryAtHand {
    std::string name;
    std::string newName;
};

}  // namespace

struct Workspace::CommitRun {
    CommitRun(const Workspace& workspace, EntryAtHand& atHand)
        : pipeline(workspace.options, workspace.caseRules.ActiveRuleTexts(), workspace.random_),
          rules{workspace.options.cboPathDisplay,
                workspace.options.chkRecurse == 1,
                workspace.consolidateFiles,
                workspace.txtSourceDir,
                workspace.txtDestDir,
                &workspace.folderTable_},
          selectionCount(static_cast<std::int64_t>(lists::CountSelected(workspace.sourceRows_))),
          copy(workspace.options.chkCopy == 1),
          rows(workspace.sourceRows_),
          targets(workspace.preview_.targets),
          rowTags(workspace.rowTags_),
          journal(workspace.journalPlace_, commit::JournalOperation::Commit,
                  workspace.undoLog_.Level()),
          entry(atHand) {}

    /// An entry planned ahead of its step, with the run's state from before
    /// it, to go back to when the step does not go as planned.
    struct Planned {
        std::size_t row = 0;
        commit::EntryPlan plan;
        commit::StepKind kind = commit::StepKind::Rename;
        std::int64_t counterBefore = 0;
        std::size_t targetsBefore = 0;
        std::size_t sourcesBefore = 0;
    };

    commit::EntryPlan Plan(std::size_t index) const {
        const lists::ListEntry& row = rows[index];
        commit::EntryPlan plan;
        plan.parts = commit::SplitEntry(row.text);
        plan.sourceFolder = commit::SourceFolder(rules, plan.parts, row.folderIndex);
        // Named by the folder the entry was listed in, as the preview named it.
        const std::string fullPath = plan.sourceFolder + plan.parts.pipelineInput;
        // Only rows the preview renamed get here. A search pattern's step
        // budget counts steps, not time, so such a row never runs out of
        // steps now, and its tags take the values the preview read: its name
        // comes out as the preview showed it.
        const engine::TagValues* tags = index < rowTags.size() ? rowTags[index] : nullptr;
        plan.newName = commit::NewNameFrom(
            pipeline
                .Process(plan.parts.pipelineInput, {fullPath, selectionCount, renameCounter, tags})
                .name);
        plan.smartFolder = commit::SmartFolderPart(plan.newName);
        plan.targetFolder =
            renamedTargets.ReAim(commit::TargetFolder(rules, plan.parts, row.folderIndex));
        // An entry inside a folder this commit renamed is found under its new path.
        plan.sourceFolder = movedSources.ReAim(std::move(plan.sourceFolder));
        return plan;
    }

    /// What an entry's step gives when it goes as planned.
    static commit::StepResult Expected(const commit::EntryPlan& plan) {
        return {{}, plan.parts.isFolder && plan.smartFolder.empty()};
    }

    // Plans the entry of `row` as if every entry planned before it succeeds.
    Planned PlanAhead(std::size_t row) {
        Planned planned{row,
                        Plan(row),
                        commit::StepKind::Rename,
                        renameCounter,
                        renamedTargets.Rows().size(),
                        movedSources.Rows().size()};
        planned.kind = commit::KindOf(planned.plan, copy);
        Complete(planned.plan, Expected(planned.plan));
        return planned;
    }

    // What an entry that ended with `result` changes for the entries after it.
    void Complete(const commit::EntryPlan& plan, const commit::StepResult& result) {
        if (plan.parts.isFolder) {
            NoteFolder(plan, result);
        }
        if (result.error.Ok()) {
            ++renameCounter;
        }
    }

    void RollBack(const Planned& planned) {
        renameCounter = planned.counterBefore;
        renamedTargets.Truncate(planned.targetsBefore);
        movedSources.Truncate(planned.sourcesBefore);
    }

    void Announce(const std::deque<Planned>& entries) {
        if (!journal.Keeping()) {
            return;
        }
        // Paths are joined in two reused buffers: a group may hold thousands.
        std::string oldPath;
        std::string newPath;
        for (const Planned& planned : entries) {
            const commit::EntryPlan& plan = planned.plan;
            oldPath.assign(plan.sourceFolder).append(plan.parts.name);
            newPath.assign(plan.targetFolder).append(plan.newName);
            journal.Add(planned.kind, oldPath, newPath);
        }
    }

    /// Plans the next group of entries from `row` on and writes them to the
    /// journal before any of them runs. A group planned before (the entry of
    /// `row` is being retried) is withdrawn.
    platform::FileError PlanGroup(std::size_t row) {
        if (!queue.empty()) {
            RollBack(queue.front());
            journal.Withdraw(queue.size());
            queue.clear();
        }
        for (std::size_t next = row; next < rows.size() && queue.size() < groupSize; ++next) {
            if (next < targets.size() && !targets[next].empty()) {
                queue.push_back(PlanAhead(next));
            }
        }
        groupSize = std::min(groupSize * kGroupGrowth, kLargestGroup);
        Announce(queue);
        return journal.Flush();
    }

    /// After a step that did not go as planned (it failed, which holds the
    /// autonumber back, or a folder stayed where it was): the run takes the
    /// real outcome, and the entries planned after it are planned again. Only
    /// when that changes a step does the journal need writing again.
    platform::FileError Replan(const Planned& done, const commit::StepResult& result) {
        RollBack(done);
        Complete(done.plan, result);
        std::deque<Planned> again;
        bool same = true;
        for (std::size_t i = 0; i < std::min(queue.size(), kReplanned); ++i) {
            again.push_back(PlanAhead(queue[i].row));
            same = same && again.back().kind == queue[i].kind &&
                   again.back().plan.OldPath() == queue[i].plan.OldPath() &&
                   again.back().plan.NewPath() == queue[i].plan.NewPath();
        }
        journal.Withdraw(same ? queue.size() - again.size() : queue.size());
        queue = std::move(again);
        if (same) {
            return {};
        }
        Announce(queue);
        return journal.Flush();
    }

    // Later entries follow a folder to its new path. Only a folder that took its
    // new name, or whose new name only asked for a tree, leads them there: the
    // contents of a folder whose rename failed stay where they are.
    void NoteFolder(const commit::EntryPlan& plan, const commit::StepResult& result) {
        const std::string newFolder = plan.NewPath() + '\\';
        if (result.folderMoved) {
            renamedTargets.Add(plan.targetFolder + plan.parts.name + '\\', newFolder);
            movedSources.Add(plan.OldPath() + '\\', newFolder);
        } else if (!plan.smartFolder.empty()) {
            renamedTargets.Add(plan.targetFolder + plan.parts.name + '\\', newFolder);
        }
    }

    // What killed copies left in a folder goes before this commit writes there.
    void SweepLeftoverCopies(platform::FileSystem& fileSystem, const commit::EntryPlan& plan) {
        const std::string folder = plan.targetFolder + plan.smartFolder;
        if (sweptFolders.insert(folder).second) {
            fileSystem.RemoveLeftoverCopies(folder);
        }
    }

    const engine::NamePipeline pipeline;
    const commit::FolderRules rules;
    const std::int64_t selectionCount;
    const bool copy;
    const std::vector<lists::ListEntry>& rows;
    const std::vector<std::string>& targets;
    const std::vector<const engine::TagValues*>& rowTags;
    /// Entries committed without error: the autonumber index of the next one.
    std::int64_t renameCounter = 0;
    /// Re-aims target folders.
    commit::RenamedFolders renamedTargets;
    /// Re-aims source folders: only folders that really moved.
    commit::RenamedFolders movedSources;
    std::unordered_set<std::string> sweptFolders;
    /// Entries planned and in the journal whose steps have not run yet.
    std::deque<Planned> queue;
    std::size_t groupSize = kFirstGroup;
    commit::CommitJournal journal;
    EntryAtHand& entry;
};

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
        // Opened even for a commit that commits nothing, so that Undo is offered.
        undoLog_.OpenLevel();
        CommitRun run(*this, atHand);
        ui_.SetPointer(Pointer::ArrowHourglass);
        ui_.ShowProgress(Progress::Preview, static_cast<int>(sourceRows_.size()));
        CommitRows(run);
        run.journal.Finish();
        ui_.HideProgress(Progress::Preview);
        ui_.SetPointer(Pointer::Normal);
        if (preferences.autoResetOptions == 1) {
            const bool wasBusy = busyFlag;
            busyFlag = true;
            engine::ClearOperations(options);
            busyFlag = wasBusy;
        }
        ui_.ProcessPendingEvents();
        ui_.SetStatus(StatusPanel::Message, kStatusText);
        RefreshSourceList();
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, atHand.name + " | " + atHand.newName);
    }
}

void Workspace::CommitRows(CommitRun& run) {
    PercentStatus status(ui_, "Renaming: ");
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
    const commit::EntryPlan& plan = planned.plan;
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
        undoLog_.Record(plan.OldPath(), plan.NewPath(), planned.kind);
        return false;
    }
    if (PassedOverSilently(result.error.number)) {
        return false;
    }
    ui_.SetPointer(Pointer::Normal);
    const Answer answer = ui_.Ask(ErrorPromptText(result.error, plan.parts.name, plan.newName),
                                  "Error", Buttons::AbortRetryIgnore, Icon::Question);
    ui_.SetPointer(Pointer::ArrowHourglass);
    commitState_ = StateAfter(answer);
    return commitState_ == kRetrying;
}

void Workspace::Undo() {
    try {
        operationStartTime = Now();
        DisableButtons();
        ui_.SetStatus(StatusPanel::Message, "Restoring...");
        RestoreNewestLevel();
        ui_.SetStatus(StatusPanel::Message, kStatusText);
        EnableButtons();
        RefreshSourceList();
    } catch (const std::exception& error) {
        ReportUnexpectedError(error, "[N/A]");
    }
}

void Workspace::RestoreNewestLevel() {
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
        const commit::LevelRestored restored =
            commit::RestoreLevel(fileSystem_, undoLog_.TakeNewest());
        journal.Finish();
        if (!restored.keptTwice.empty()) {
            ui_.Ask(KeptTwiceReport(restored.keptTwice), kProgramTitle, Buttons::Ok,
                    Icon::Exclamation);
        }
    }
    if (undoLog_.Level() == 0) {
        buttons_.SetEnabled(CommandButton::Undo, false);
    }
}

}  // namespace kestrel::app
