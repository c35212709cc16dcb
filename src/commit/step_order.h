#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "commit/commit_plan.h"
#include "commit/undo_log.h"

// The order of a commit's disk steps when entries depend on each other. A
// rename whose target another entry of the commit holds now runs after that
// entry has moved away; a ring of them (a swap, a rotation) is opened by moving
// one entry to a temporary name beside it first and closed by moving it on to
// its new name last. The names themselves are settled before; only the order
// of the steps changes. Worked out from the paths alone: no step of the plan
// asks the disk anything.
namespace kestrel::commit {

/// An entry of a commit with its paths settled before the first step.
struct SettledEntry {
    EntryPlan plan;
    StepKind kind = StepKind::Rename;
    /// Earlier folder entries whose new paths this entry's paths were aimed
    /// through: the entry lies in those folders once they have moved.
    std::vector<std::size_t> aimedThrough;
};

/// True when the entry's step leaves its old path free.
bool Vacates(const SettledEntry& entry);

enum class StepPart {
    Whole,          // old path to new path
    ToTemporary,    // old path to a temporary name in the same folder, opening a ring
    FromTemporary,  // that temporary name to the new path, closing the ring
};

struct OrderedStep {
    std::size_t entry = 0;
    StepPart part = StepPart::Whole;
    bool operator==(const OrderedStep&) const = default;
};

/// Why one entry waits on another.
enum class WaitReason : std::uint8_t {
    /// The other is inside this folder entry under its old path: it goes
    /// first, while its path is still right. Only the order depends on it.
    Contents,
    /// This entry lies in the other's folder once that has taken its new name.
    InsideFolder,
    /// The other holds this entry's target now, or a file where the target
    /// needs a folder: it has to move away first.
    TargetHeld,
};

struct Wait {
    std::size_t on = 0;
    WaitReason reason = WaitReason::TargetHeld;
};

class StepOrder {
  public:
    explicit StepOrder(const std::vector<SettledEntry>& entries);

    /// True when some entry's target is held by another entry. Only then are
    /// there Steps(); otherwise each entry simply runs in turn, as listed.
    bool Reorders() const { return !steps_.empty(); }
    const std::vector<OrderedStep>& Steps() const { return steps_; }
    /// What the entry waits on, when the commit reorders.
    std::span<const Wait> WaitsOf(std::size_t entry) const;

  private:
    void AddTargetWaits(const std::vector<SettledEntry>& entries);
    void AddFolderWaits(const std::vector<SettledEntry>& entries);
    void Index();
    void Walk(std::size_t root, std::vector<std::uint8_t>& state, std::vector<bool>& vacated);
    void OpenRingsEarly(std::size_t entryCount);

    struct Edge {
        std::size_t from = 0;
        Wait wait;
    };
    std::vector<Edge> edges_;
    /// Entry e's waits are waits_[firstWait_[e]] up to waits_[firstWait_[e + 1]].
    std::vector<Wait> waits_;
    std::vector<std::size_t> firstWait_;
    std::vector<OrderedStep> steps_;
};

}  // namespace kestrel::commit
