#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>
#include <vector>

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

std::string ErrorPromptText(const platform::FileError& error, std::string_view name,
                            std::string_view newName) {
    return "Error " + std::to_string(error.number) + " (" + error.description +
           ") occurred while trying to rename the following file:\r\r\"" + std::string(name) +
           "\" to \"" + std::string(newName) +
           "\"\r\rDo you wish to abort the process, retry renaming the file, or ignore and "
           "continue?";
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

std::string Percent(std::size_t done, std::size_t count) {
    return text::FormatPercent(static_cast<double>(done) / static_cast<double>(count));
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
          entry(atHand) {}

    commit::EntryPlan Plan(const lists::ListEntry& row) const {
        commit::EntryPlan plan;
        plan.parts = commit::SplitEntry(row.text);
        plan.sourceFolder = commit::SourceFolder(rules, plan.parts, row.folderIndex);
        // Named by the folder the entry was listed in, as the preview named it.
        const std::string fullPath = plan.sourceFolder + plan.parts.pipelineInput;
        plan.newName = commit::NewNameFrom(
            pipeline.Process(plan.parts.pipelineInput, {fullPath, selectionCount, renameCounter}));
        plan.smartFolder = commit::SmartFolderPart(plan.newName);
        plan.targetFolder =
            renamedTargets.ReAim(commit::TargetFolder(rules, plan.parts, row.folderIndex));
        // An entry inside a folder this commit renamed is found under its new path.
        plan.sourceFolder = movedSources.ReAim(std::move(plan.sourceFolder));
        return plan;
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
    /// Entries committed without error: the autonumber index of the next one.
    std::int64_t renameCounter = 0;
    /// Re-aims target folders.
    commit::RenamedFolders renamedTargets;
    /// Re-aims source folders: only folders that really moved.
    commit::RenamedFolders movedSources;
    std::unordered_set<std::string> sweptFolders;
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
        CommitRun run(*this, atHand);
        // Opened even for a commit that commits nothing, so that Undo is offered.
        undoLog_.OpenLevel();
        ui_.SetPointer(Pointer::ArrowHourglass);
        ui_.ShowProgress(Progress::Preview, static_cast<int>(sourceRows_.size()));
        CommitRows(run);
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
    for (std::size_t row = 0; row < sourceRows_.size() && commitState_ != kAborted; ++row) {
        ui_.SetStatus(StatusPanel::Message,
                      "Renaming: " + Percent(row, sourceRows_.size()) + " complete.");
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
    const commit::EntryPlan plan = run.Plan(sourceRows_[row]);
    run.entry = {plan.parts.name, plan.newName};
    run.SweepLeftoverCopies(fileSystem_, plan);
    const commit::StepResult result = commit::CommitEntry(fileSystem_, plan, run.copy);
    if (plan.parts.isFolder) {
        run.NoteFolder(plan, result);
    }
    if (result.error.Ok()) {
        undoLog_.Record(plan.OldPath(), plan.NewPath());
        ++run.renameCounter;
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
        commit::RestoreLevel(fileSystem_, undoLog_.TakeNewest());
    }
    if (undoLog_.Level() == 0) {
        buttons_.SetEnabled(CommandButton::Undo, false);
    }
}

}  // namespace kestrel::app
