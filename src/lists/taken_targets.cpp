#include "lists/taken_targets.h"

#include <string_view>
#include <unordered_map>

#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// The renamed rows that leave their place, by their exact old paths. Most
// held targets are found here without asking the disk.
std::unordered_map<std::string_view, std::size_t> ExactPlaces(std::span<const RenamedRow> renamed) {
    std::unordered_map<std::string_view, std::size_t> places;
    places.reserve(renamed.size());
    for (std::size_t k = 0; k < renamed.size(); ++k) {
        if (!renamed[k].keepsPlace) {
            places.emplace(renamed[k].oldPath, k);
        }
    }
    return places;
}

// Targets found only without regard to case, on a volume that ignores it:
// the renamed row the disk says is that very entry. Made at the first such
// target, as a volume that tells case apart has none.
class FoldedPlaces {
  public:
    explicit FoldedPlaces(std::span<const RenamedRow> renamed) : renamed_(renamed) {}

    std::size_t Holder(const TargetInQuestion& question, TargetLookup& lookup) {
        if (!built_) {
            built_ = true;
            for (std::size_t k = 0; k < renamed_.size(); ++k) {
                if (!renamed_[k].keepsPlace) {
                    places_.emplace(text::FoldCase(renamed_[k].oldPath), k);
                }
            }
        }
        const auto [first, last] = places_.equal_range(text::FoldCase(question.path));
        for (auto it = first; it != last; ++it) {
            const RenamedRow& candidate = renamed_[it->second];
            if (candidate.row != question.row &&
                lookup.SameEntry(question.path, candidate.oldPath)) {
                return it->second;
            }
        }
        return kNone;
    }

  private:
    std::span<const RenamedRow> renamed_;
    std::unordered_multimap<std::string, std::size_t> places_;
    bool built_ = false;
};

}  // namespace

std::vector<std::size_t> DecideTakenTargets(std::span<const RenamedRow> renamed,
                                            std::span<const TargetInQuestion> questions,
                                            std::vector<bool>& flagged, TargetLookup& lookup) {
    const auto places = ExactPlaces(renamed);
    FoldedPlaces folded(renamed);
    // The questions waiting on each renamed row, and those taken outright.
    std::unordered_multimap<std::size_t, std::size_t> waiting;
    std::vector<std::size_t> taken;
    for (std::size_t q = 0; q < questions.size(); ++q) {
        const auto exact = places.find(questions[q].path);
        std::size_t holder = exact != places.end() && renamed[exact->second].row != questions[q].row
                                 ? exact->second
                                 : kNone;
        if (holder == kNone) {
            if (!lookup.Taken(q)) {
                continue;
            }
            holder = folded.Holder(questions[q], lookup);
            if (holder == kNone) {
                taken.push_back(q);
                flagged[questions[q].row] = true;
                continue;
            }
        }
        waiting.emplace(renamed[holder].row, q);
    }
    // A flagged row's rename may not happen: what waits on it is taken in
    // turn, where the disk confirms it.
    std::vector<std::size_t> pending;
    for (const auto& [row, q] : waiting) {
        if (flagged[row]) {
            pending.push_back(row);
        }
    }
    while (!pending.empty()) {
        const std::size_t row = pending.back();
        pending.pop_back();
        const auto [first, last] = waiting.equal_range(row);
        for (auto it = first; it != last; ++it) {
            const std::size_t q = it->second;
            if (!lookup.Taken(q)) {
                continue;
            }
            taken.push_back(q);
            if (!flagged[questions[q].row]) {
                flagged[questions[q].row] = true;
                pending.push_back(questions[q].row);
            }
        }
        waiting.erase(row);
    }
    return taken;
}

}  // namespace kestrel::lists
