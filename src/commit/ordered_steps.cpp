#include "commit/ordered_steps.h"

#include "platform/file_error.h"

namespace kestrel::commit {

OrderedSteps::OrderedSteps(const std::vector<SettledEntry>& entries, const StepOrder& order)
    : entries_(entries),
      order_(order),
      left_(entries.size(), false),
      done_(entries.size(), false),
      temporary_(entries.size(), 0),
      atTemporary_(entries.size(), false),
      temporaryMissed_(entries.size(), false),
      openedAt_(entries.size(), kNoStep) {
    for (std::size_t s = 0; s < order.Steps().size(); ++s) {
        const OrderedStep& step = order.Steps()[s];
        if (step.part == StepPart::ToTemporary) {
            temporary_[step.entry] = ++temporaryCount_;
            openedAt_[step.entry] = s;
        }
    }
}

// Hidden, and made for this commit alone: a name no listing shows by default
// and no user picks. Should one exist all the same, the rename onto it fails
// without replacing it, and the entry takes the next number.
std::string OrderedSteps::TemporaryName(std::size_t entry) const {
    return ".kestrel-cycle-" + std::to_string(temporary_[entry]);
}

int OrderedSteps::BlockedBy(std::size_t entry, bool toTemporary) const {
    for (const Wait& wait : order_.WaitsOf(entry)) {
        if (wait.reason == WaitReason::InsideFolder && !done_[wait.on]) {
            return platform::kPathNotFound;
        }
        if (wait.reason == WaitReason::TargetHeld && !toTemporary && !left_[wait.on]) {
            return platform::kFileAlreadyExists;
        }
    }
    return 0;
}

StepAtHand OrderedSteps::At(std::size_t step) const {
    const auto [entry, part] = order_.Steps()[step];
    const SettledEntry& settled = entries_[entry];
    StepAtHand at{&settled.plan, std::nullopt, settled.kind, 0, part == StepPart::ToTemporary};
    at.blockedBy = BlockedBy(entry, at.toTemporary);
    if (at.toTemporary) {
        // Beside the old name, so that nothing but the name changes.
        EntryPlan plan = settled.plan;
        plan.targetFolder = plan.sourceFolder;
        plan.newName = TemporaryName(entry);
        plan.smartFolder.clear();
        at.adjusted = std::move(plan);
        at.kind = StepKind::Rename;
    } else if (part == StepPart::FromTemporary && !temporaryMissed_[entry]) {
        EntryPlan plan = settled.plan;
        plan.parts.name = TemporaryName(entry);
        at.adjusted = std::move(plan);
    }
    return at;
}

void OrderedSteps::Done(std::size_t step) {
    const auto [entry, part] = order_.Steps()[step];
    left_[entry] = true;
    atTemporary_[entry] = part == StepPart::ToTemporary;
    done_[entry] = part != StepPart::ToTemporary;
}

void OrderedSteps::Missed(std::size_t step) {
    const auto [entry, part] = order_.Steps()[step];
    if (part == StepPart::ToTemporary) {
        temporaryMissed_[entry] = true;
    }
}

void OrderedSteps::RenameTemporary(std::size_t step) {
    temporary_[order_.Steps()[step].entry] = ++temporaryCount_;
}

std::size_t OrderedSteps::OpenedAt(std::size_t step) const {
    const auto [entry, part] = order_.Steps()[step];
    return part == StepPart::FromTemporary && !temporaryMissed_[entry] ? openedAt_[entry] : kNoStep;
}

std::vector<LeftAtTemporary> OrderedSteps::LeftAtTemporaryNames() const {
    std::vector<LeftAtTemporary> left;
    for (std::size_t entry = 0; entry < entries_.size(); ++entry) {
        if (atTemporary_[entry]) {
            const EntryPlan& plan = entries_[entry].plan;
            left.push_back(
                {plan.sourceFolder + TemporaryName(entry), plan.parts.name, plan.newName});
        }
    }
    return left;
}

}  // namespace kestrel::commit
