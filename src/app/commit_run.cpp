#include "app/commit_run.h"

#include <algorithm>
#include <utility>

#include "lists/list_entry.h"
#include "lists/preview.h"
#include "text/translation.h"

namespace kestrel::app {
namespace {

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

constexpr std::size_t kNotSettled = static_cast<std::size_t>(-1);

}  // namespace

bool GoOnWithoutJournal(Ui& ui, const platform::FileError& error, std::string_view folder) {
    if (error.Ok()) {
        return true;
    }
    // TRANSLATORS: {1} is the journal's folder, {2} an error with its number
    // ("Error 61 (Disk full)").
    std::string question = text::Fill(text::Tr("Kestrel cannot write its journal in \"{1}\": {2}."),
                                      {folder, platform::DescribeError(error)});
    question += "\r\r";
    question += text::Tr(
        "Without it, an operation that the computer or the program stops halfway cannot be "
        "undone at the next start. Do you wish to continue without it?");
    return ui.Ask(question, kProgramTitle, Buttons::YesNo, Icon::Exclamation) == Answer::Yes;
}

Workspace::CommitRun::CommitRun(const Workspace& workspace, EntryAtHand& atHand)
    : pipeline(workspace.options, workspace.caseRules.ActiveRuleTexts(), workspace.random_),
      rules{workspace.options.cboPathDisplay,
            workspace.options.chkRecurse == 1,
            workspace.consolidateFiles,
            workspace.txtSourceDir,
            workspace.txtDestDir,
            &workspace.folderTable_},
      copy(workspace.options.chkCopy == 1),
      rows(workspace.sourceRows_),
      targets(workspace.preview_.targets),
      rowTags(workspace.rowTags_),
      counter(lists::AutonumberCounterFor(workspace.sourceRows_,
                                          workspace.options.chkNumberPerFolder == 1)),
      journal(workspace.journalPlace_, commit::JournalOperation::Commit,
              workspace.undoLog_.Level()),
      entry(atHand),
      groupSize(kFirstGroup) {}

commit::SettledEntry Workspace::CommitRun::Plan(std::size_t row) const {
    const lists::ListEntry& listed = rows[row];
    commit::SettledEntry settledEntry;
    commit::EntryPlan& plan = settledEntry.plan;
    plan.parts = commit::SplitEntry(listed.text);
    plan.sourceFolder = commit::SourceFolder(rules, plan.parts, listed.folderIndex);
    // Named by the folder the entry was listed in, as the preview named it.
    const std::string fullPath = plan.sourceFolder + plan.parts.pipelineInput;
    // Only rows the preview renamed get here. A search pattern's step
    // budget counts steps, not time, so such a row never runs out of
    // steps now, and its tags take the values the preview read: its name
    // comes out as the preview showed it.
    const engine::TagValues* tags = row < rowTags.size() ? rowTags[row] : nullptr;
    plan.newName = commit::NewNameFrom(
        pipeline
            .Process(plan.parts.pipelineInput, {fullPath, counter.SelectionFor(listed.folderIndex),
                                                counter.IndexFor(listed.folderIndex), tags})
            .name);
    plan.smartFolder = commit::SmartFolderPart(plan.newName);
    std::vector<std::size_t> matched;
    plan.targetFolder =
        renamedTargets.ReAim(commit::TargetFolder(rules, plan.parts, listed.folderIndex), &matched);
    for (std::size_t& k : matched) {
        k = targetOwners[k];
    }
    const std::size_t fromTargets = matched.size();
    // An entry inside a folder this commit renamed is found under its new path.
    plan.sourceFolder = movedSources.ReAim(std::move(plan.sourceFolder), &matched);
    for (std::size_t k = fromTargets; k < matched.size(); ++k) {
        matched[k] = sourceOwners[matched[k]];
    }
    std::sort(matched.begin(), matched.end());
    matched.erase(std::unique(matched.begin(), matched.end()), matched.end());
    settledEntry.aimedThrough = std::move(matched);
    settledEntry.kind = commit::KindOf(plan, copy);
    return settledEntry;
}

commit::StepResult Workspace::CommitRun::Expected(const commit::EntryPlan& plan) {
    return {{}, plan.parts.isFolder && plan.smartFolder.empty()};
}

// Plans the entry of `row` as if every entry planned before it succeeds. While
// every step so far did, that is the settled plan.
Workspace::CommitRun::Planned Workspace::CommitRun::PlanAhead(std::size_t row) {
    Planned planned{
        row, {}, counter.Total(), renamedTargets.Rows().size(), movedSources.Rows().size()};
    planned.entry =
        onCourse && settledAt[row] != kNotSettled ? std::move(settled[settledAt[row]]) : Plan(row);
    Complete(planned, Expected(planned.entry.plan));
    return planned;
}

void Workspace::CommitRun::Settle() {
    settledAt.assign(rows.size(), kNotSettled);
    settled.reserve(static_cast<std::size_t>(
        std::count_if(targets.begin(), targets.end(), [](const auto& t) { return !t.empty(); })));
    for (std::size_t row = 0; row < rows.size(); ++row) {
        if (row < targets.size() && !targets[row].empty()) {
            settledAt[row] = settled.size();
            settled.push_back(PlanAhead(row).entry);
        }
    }
    for (commit::SettledEntry& settledEntry : settled) {
        for (std::size_t& folder : settledEntry.aimedThrough) {
            folder = settledAt[folder];
        }
    }
    RollBack({0, {}, 0, 0, 0});
    onCourse = true;
}

// What an entry that ended with `result` changes for the entries after it.
void Workspace::CommitRun::Complete(const Planned& planned, const commit::StepResult& result) {
    if (planned.entry.plan.parts.isFolder) {
        NoteFolder(planned, result);
    }
    if (result.error.Ok()) {
        counter.Advance(rows[planned.row].folderIndex);
    }
}

void Workspace::CommitRun::RollBack(const Planned& planned) {
    counter.RollBack(planned.counterBefore);
    renamedTargets.Truncate(planned.targetsBefore);
    targetOwners.resize(renamedTargets.Rows().size());
    movedSources.Truncate(planned.sourcesBefore);
    sourceOwners.resize(movedSources.Rows().size());
}

void Workspace::CommitRun::Announce(const std::deque<Planned>& entries) {
    if (!journal.Keeping()) {
        return;
    }
    // Paths are joined in two reused buffers: a group may hold thousands.
    std::string oldPath;
    std::string newPath;
    for (const Planned& planned : entries) {
        const commit::EntryPlan& plan = planned.entry.plan;
        oldPath.assign(plan.sourceFolder).append(plan.parts.name);
        newPath.assign(plan.targetFolder).append(plan.newName);
        journal.Add(planned.entry.kind, oldPath, newPath);
    }
}

std::size_t Workspace::CommitRun::NextGroupSize() {
    const std::size_t size = groupSize;
    groupSize = std::min(groupSize * kGroupGrowth, kLargestGroup);
    return size;
}

platform::FileError Workspace::CommitRun::PlanGroup(std::size_t row) {
    if (!queue.empty()) {
        RollBack(queue.front());
        journal.Withdraw(queue.size());
        queue.clear();
    }
    const std::size_t size = NextGroupSize();
    for (std::size_t next = row; next < rows.size() && queue.size() < size; ++next) {
        if (next < targets.size() && !targets[next].empty()) {
            queue.push_back(PlanAhead(next));
        }
    }
    Announce(queue);
    return journal.Flush();
}

platform::FileError Workspace::CommitRun::Replan(const Planned& done,
                                                 const commit::StepResult& result) {
    onCourse = false;
    RollBack(done);
    Complete(done, result);
    std::deque<Planned> again;
    bool same = true;
    for (std::size_t i = 0; i < std::min(queue.size(), kReplanned); ++i) {
        again.push_back(PlanAhead(queue[i].row));
        const commit::EntryPlan& before = queue[i].entry.plan;
        const commit::EntryPlan& now = again.back().entry.plan;
        same = same && again.back().entry.kind == queue[i].entry.kind &&
               now.OldPath() == before.OldPath() && now.NewPath() == before.NewPath();
    }
    journal.Withdraw(same ? queue.size() - again.size() : queue.size());
    queue = std::move(again);
    if (same) {
        return {};
    }
    Announce(queue);
    return journal.Flush();
}

platform::FileError Workspace::CommitRun::AnnounceSteps(const commit::OrderedSteps& steps,
                                                        std::size_t step) {
    if (announcedTo > step) {
        journal.Withdraw(announcedTo - step);
    }
    // A ring opened in this group is closed in the next one, written once the
    // opening has run.
    const std::size_t end = std::min(step + NextGroupSize(), steps.Count());
    announcedTo = std::min(step + 1, end);
    while (announcedTo < end && (steps.OpenedAt(announcedTo) == commit::OrderedSteps::kNoStep ||
                                 steps.OpenedAt(announcedTo) < step)) {
        ++announcedTo;
    }
    if (journal.Keeping()) {
        std::string oldPath;
        std::string newPath;
        for (std::size_t s = step; s < announcedTo; ++s) {
            const commit::StepAtHand at = steps.At(s);
            const commit::EntryPlan& plan = at.Plan();
            oldPath.assign(plan.sourceFolder).append(plan.parts.name);
            newPath.assign(plan.targetFolder).append(plan.newName);
            journal.Add(at.kind, oldPath, newPath);
        }
    }
    return journal.Flush();
}

// Later entries follow a folder to its new path. Only a folder that took its
// new name, or whose new name only asked for a tree, leads them there: the
// contents of a folder whose rename failed stay where they are.
void Workspace::CommitRun::NoteFolder(const Planned& planned, const commit::StepResult& result) {
    const commit::EntryPlan& plan = planned.entry.plan;
    const std::string newFolder = plan.NewPath() + '\\';
    if (result.folderMoved || !plan.smartFolder.empty()) {
        renamedTargets.Add(plan.targetFolder + plan.parts.name + '\\', newFolder);
        targetOwners.push_back(planned.row);
    }
    if (result.folderMoved) {
        movedSources.Add(plan.OldPath() + '\\', newFolder);
        sourceOwners.push_back(planned.row);
    }
}

void Workspace::CommitRun::SweepLeftoverCopies(platform::FileSystem& fileSystem,
                                               const commit::EntryPlan& plan) {
    const std::string folder = plan.targetFolder + plan.smartFolder;
    if (sweptFolders.insert(folder).second) {
        fileSystem.RemoveLeftoverCopies(folder);
    }
}

}  // namespace kestrel::app
