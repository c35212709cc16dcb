#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "commit/commit_plan.h"
#include "commit/step_order.h"
#include "commit/undo_log.h"

// A commit whose entries depend on each other, taken step by step in its
// planned order. It keeps what each entry has done so far, so that a step
// whose entry waits on one that did not happen is known as such before it is
// tried, and a temporary name is known for as long as an entry has it.
namespace kestrel::commit {

/// One disk step as it is to be taken now.
struct StepAtHand {
    /// The entry's settled plan, or a plan made from it for a step to or from
    /// a temporary name (its name is then the temporary one).
    const EntryPlan& Plan() const { return adjusted ? *adjusted : *settled; }
    const EntryPlan* settled = nullptr;
    std::optional<EntryPlan> adjusted;
    /// What the journal and the undo log call the step.
    StepKind kind = StepKind::Rename;
    /// Zero, or the error the step would meet because one it waits on did
    /// not happen: 58 while another entry still holds its target, 76 while
    /// the folder it lies in has not taken its new name.
    int blockedBy = 0;
    bool toTemporary = false;
};

/// An entry left under a temporary name: a ring of renames cut short.
struct LeftAtTemporary {
    std::string temporaryPath;
    std::string name;     // its old name
    std::string newName;  // the name it was to take
};

class OrderedSteps {
  public:
    OrderedSteps(const std::vector<SettledEntry>& entries, const StepOrder& order);

    std::size_t Count() const { return order_.Steps().size(); }
    StepAtHand At(std::size_t step) const;
    /// The step went as planned.
    void Done(std::size_t step);
    /// The step did not happen and is not tried again. When it was to take
    /// an entry to a temporary name, the step closing its ring takes the entry
    /// from its old name instead.
    void Missed(std::size_t step);
    /// The temporary name of the step's entry is taken by something else: it
    /// gets another, for this step and the one that closes its ring.
    void RenameTemporary(std::size_t step);
    std::vector<LeftAtTemporary> LeftAtTemporaryNames() const;
    /// For a step taking an entry on from its temporary name, the step that
    /// took it there; kNoStep for any other. Until that one has run, the
    /// journal must not hold this one.
    std::size_t OpenedAt(std::size_t step) const;
    static constexpr std::size_t kNoStep = static_cast<std::size_t>(-1);

  private:
    std::string TemporaryName(std::size_t entry) const;
    int BlockedBy(std::size_t entry, bool toTemporary) const;

    const std::vector<SettledEntry>& entries_;
    const StepOrder& order_;
    /// The entry's old path is free: it moved, wholly or to a temporary name.
    std::vector<bool> left_;
    /// The entry has its new name.
    std::vector<bool> done_;
    /// The number in each entry's temporary name; 0 for none.
    std::vector<std::size_t> temporary_;
    std::vector<bool> atTemporary_;
    std::vector<bool> temporaryMissed_;
    /// The step taking each entry to its temporary name, or kNoStep.
    std::vector<std::size_t> openedAt_;
    std::size_t temporaryCount_ = 0;
};

}  // namespace kestrel::commit
