#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// The autonumber index of each renamed item and the count its "Auto" width
// is made for: one sequence for the whole list, or, with "Restart numbering in
// each folder", one per folder, so that every folder starts again at "Start".
// The preview and the commit both count with it, so that they number alike.
namespace kestrel::engine {

class AutonumberCounter {
  public:
    /// `selectedPerFolder[f]` is the number of selected items in folder index
    /// f (index 0 unused); `perFolder` restarts the numbering in each folder.
    AutonumberCounter(std::vector<std::int64_t> selectedPerFolder, bool perFolder);

    /// The autonumber index of the next item renamed in folder `folder`.
    std::int64_t IndexFor(int folder) const;
    /// How many items the numbering of `folder` runs over, for "Auto" widths.
    std::int64_t SelectionFor(int folder) const;
    /// One more item of `folder` took its number.
    void Advance(int folder);
    /// Items numbered so far, in every folder.
    std::int64_t Total() const { return static_cast<std::int64_t>(advanced_.size()); }
    /// Back to the state when Total() was `total`: the items numbered since
    /// give their numbers back.
    void RollBack(std::int64_t total);

  private:
    std::size_t Slot(int folder) const;

    bool perFolder_;
    std::vector<std::int64_t> selected_;  // per folder, or [0] the whole list
    std::vector<std::int64_t> counts_;
    std::vector<std::size_t> advanced_;  // the slot of each item numbered, in order
};

}  // namespace kestrel::engine
