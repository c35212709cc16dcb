// The commit's plan without its steps: what "Do It!" would do now, for the
// shell script, which carries out the same steps in the same order.
#include "app/commit_run.h"
#include "app/workspace.h"
#include "commit/ordered_steps.h"
#include "commit/step_order.h"

namespace kestrel::app {

std::vector<commit::UndoEntry> Workspace::PlannedSteps() {
    if (CurrentPreviewBasis() != previewBasis_) {
        ComputeTargets();
    }
    EntryAtHand atHand;
    CommitRun run(*this, atHand);
    run.Settle();
    std::vector<commit::UndoEntry> steps;
    const commit::StepOrder order(run.settled);
    if (!order.Reorders()) {
        for (const commit::SettledEntry& entry : run.settled) {
            steps.push_back({entry.plan.OldPath(), entry.plan.NewPath(), entry.kind});
        }
        return steps;
    }
    commit::OrderedSteps ordered(run.settled, order);
    for (std::size_t step = 0; step < ordered.Count(); ++step) {
        const commit::StepAtHand at = ordered.At(step);
        steps.push_back({at.Plan().OldPath(), at.Plan().NewPath(), at.kind});
        ordered.Done(step);
    }
    return steps;
}

}  // namespace kestrel::app
