#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "app/workspace.h"
#include "commit/commit_journal.h"
#include "commit/commit_plan.h"
#include "commit/commit_steps.h"
#include "commit/ordered_steps.h"
#include "commit/step_order.h"
#include "engine/autonumber_counter.h"
#include "engine/name_pipeline.h"
#include "platform/file_error.h"

// The state of one "Do It!" between its steps: the plan of every entry, the
// folders renamed so far, the autonumber counter and the journal. Shared by
// the commit that takes its entries in list order and the one whose entries
// depend on each other.
namespace kestrel::app {

/// The name and new name of the entry at hand, for the unexpected-error report.
struct EntryAtHand {
    std::string name;
    std::string newName;
};

/// True when the journal was written, or when the user chose to go on without
/// one after it could not be.
bool GoOnWithoutJournal(Ui& ui, const platform::FileError& error, std::string_view folder);

struct Workspace::CommitRun {
    CommitRun(const Workspace& workspace, EntryAtHand& atHand);

    /// An entry planned ahead of its step, with the run's state from before
    /// it, to go back to when the step does not go as planned.
    struct Planned {
        std::size_t row = 0;
        commit::SettledEntry entry;
        std::int64_t counterBefore = 0;  // the counter's total
        std::size_t targetsBefore = 0;
        std::size_t sourcesBefore = 0;
    };

    /// Plans every entry to be committed, in list order and as if each step
    /// succeeds: the names the preview showed. The run then starts again
    /// from the first entry.
    void Settle();
    /// What an entry's step gives when it goes as planned.
    static commit::StepResult Expected(const commit::EntryPlan& plan);

    // The commit in list order.

    /// Plans the next group of entries from `row` on and writes them to the
    /// journal before any of them runs. A group planned before (the entry of
    /// `row` is being retried) is withdrawn.
    platform::FileError PlanGroup(std::size_t row);
    /// After a step that did not go as planned (it failed, which holds the
    /// autonumber back, or a folder stayed where it was): the run takes the
    /// real outcome, and the entries planned after it are planned again. Only
    /// when that changes a step does the journal need writing again.
    platform::FileError Replan(const Planned& done, const commit::StepResult& result);

    // The commit in the planned order of its steps.

    /// Writes the steps from `step` on to the journal, in place of any
    /// written before that have not run.
    platform::FileError AnnounceSteps(const commit::OrderedSteps& steps, std::size_t step);
    bool Announced(std::size_t step) const { return step < announcedTo; }

    /// What killed copies left in a folder goes before this commit writes there.
    void SweepLeftoverCopies(platform::FileSystem& fileSystem, const commit::EntryPlan& plan);

    const engine::NamePipeline pipeline;
    const commit::FolderRules rules;
    const bool copy;
    const std::vector<lists::ListEntry>& rows;
    const std::vector<std::string>& targets;
    /// The tag values each row's name was made with in the preview.
    const std::vector<const engine::TagValues*>& rowTags;
    /// Every entry to be committed, planned before the first step.
    std::vector<commit::SettledEntry> settled;
    /// Counts the entries committed without error (in each folder, with
    /// "Restart numbering in each folder"): the autonumber index of the next.
    engine::AutonumberCounter counter;
    /// Entries planned and in the journal whose steps have not run yet.
    std::deque<Planned> queue;
    commit::CommitJournal journal;
    EntryAtHand& entry;

  private:
    commit::SettledEntry Plan(std::size_t row) const;
    Planned PlanAhead(std::size_t row);
    void Complete(const Planned& planned, const commit::StepResult& result);
    void RollBack(const Planned& planned);
    void Announce(const std::deque<Planned>& entries);
    void NoteFolder(const Planned& planned, const commit::StepResult& result);
    std::size_t NextGroupSize();

    /// Re-aims target folders, with the row of the folder entry behind each.
    commit::RenamedFolders renamedTargets;
    std::vector<std::size_t> targetOwners;
    /// Re-aims source folders: only folders that really moved.
    commit::RenamedFolders movedSources;
    std::vector<std::size_t> sourceOwners;
    /// The settled entry of each row, or kNotSettled.
    std::vector<std::size_t> settledAt;
    /// True while every step so far went as planned: the settled plans still hold.
    bool onCourse = false;
    std::unordered_set<std::string> sweptFolders;
    std::size_t groupSize;
    /// The ordered steps before this one are in the journal.
    std::size_t announcedTo = 0;
};

}  // namespace kestrel::app
