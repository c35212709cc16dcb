#include "engine/autonumber_counter.h"

#include <numeric>
#include <utility>

namespace kestrel::engine {

AutonumberCounter::AutonumberCounter(std::vector<std::int64_t> selectedPerFolder, bool perFolder)
    : perFolder_(perFolder) {
    if (perFolder_) {
        selected_ = std::move(selectedPerFolder);
    } else {
        selected_ = {
            std::accumulate(selectedPerFolder.begin(), selectedPerFolder.end(), std::int64_t{0})};
    }
    counts_.assign(selected_.size(), 0);
}

std::size_t AutonumberCounter::Slot(int folder) const {
    if (!perFolder_ || folder < 0 || static_cast<std::size_t>(folder) >= counts_.size()) {
        return 0;
    }
    return static_cast<std::size_t>(folder);
}

std::int64_t AutonumberCounter::IndexFor(int folder) const {
    return counts_.empty() ? 0 : counts_[Slot(folder)];
}

std::int64_t AutonumberCounter::SelectionFor(int folder) const {
    return selected_.empty() ? 0 : selected_[Slot(folder)];
}

void AutonumberCounter::Advance(int folder) {
    if (counts_.empty()) {
        counts_.assign(1, 0);
        selected_.assign(1, 0);
    }
    const std::size_t slot = Slot(folder);
    ++counts_[slot];
    advanced_.push_back(slot);
}

void AutonumberCounter::RollBack(std::int64_t total) {
    while (Total() > total && !advanced_.empty()) {
        --counts_[advanced_.back()];
        advanced_.pop_back();
    }
}

}  // namespace kestrel::engine
