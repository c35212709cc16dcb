#include "commit/step_order.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

#include "engine/key_set.h"
#include "text/unicode_text.h"

namespace kestrel::commit {
namespace {

constexpr std::size_t kNone = engine::KeySet::kNone;

// Rings are opened together, a window of steps at a time: see OpenRingsEarly.
constexpr std::size_t kRingWindow = 1024;

// Where a walk stands with an entry.
constexpr std::uint8_t kUnseen = 0;
constexpr std::uint8_t kOnPath = 1;
constexpr std::uint8_t kPlaced = 2;

// Folded, because on a volume that ignores letter case "IMG_1.JPG" holds the
// target "img_1.jpg". Where the volume tells case apart, a wait too many only
// costs a step taken in another order, or a temporary name, never a file.
void FoldedPath(std::string_view folder, std::string_view name, std::string& joined,
                std::string& folded) {
    joined.assign(folder).append(name);
    text::FoldCaseInto(joined, folded);
}

// The old paths of the entries that leave them free, found by their folded
// text; entries whose folded old paths are equal (possible only where case
// matters) are chained.
class HeldPaths {
  public:
    explicit HeldPaths(const std::vector<SettledEntry>& entries) : next_(entries.size(), kNone) {
        std::string joined;
        std::string folded;
        for (std::size_t e = 0; e < entries.size(); ++e) {
            if (!Vacates(entries[e])) {
                continue;
            }
            const EntryPlan& plan = entries[e].plan;
            FoldedPath(plan.sourceFolder, plan.parts.name, joined, folded);
            const std::size_t key = keys_.Number(folded);
            if (key == first_.size()) {
                first_.push_back(e);
                last_.push_back(e);
            } else {
                next_[last_[key]] = e;
                last_[key] = e;
            }
        }
    }

    /// The first entry holding `folded` now, or kNone; Next gives the others.
    std::size_t First(std::string_view folded) const {
        const std::size_t key = keys_.Find(folded);
        return key == kNone ? kNone : first_[key];
    }
    std::size_t Next(std::size_t entry) const { return next_[entry]; }

  private:
    engine::KeySet keys_;
    std::vector<std::size_t> first_;
    std::vector<std::size_t> last_;
    std::vector<std::size_t> next_;
};

// Entries sorted by one of their paths, to find those inside a folder.
std::vector<std::pair<std::string, std::size_t>> SortedPaths(
    const std::vector<SettledEntry>& entries, bool newPaths) {
    std::vector<std::pair<std::string, std::size_t>> sorted;
    sorted.reserve(entries.size());
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const EntryPlan& plan = entries[e].plan;
        sorted.emplace_back(newPaths ? plan.NewPath() : plan.OldPath(), e);
    }
    std::sort(sorted.begin(), sorted.end());
    return sorted;
}

// True when `entry` lies under the folder's old path only because another
// folder moved there first ('1\' became '2\' while '2\' became '3\'): it is
// in the folder that comes, not in the one that goes.
bool MovedInto(const std::vector<SettledEntry>& entries, std::size_t entry, std::size_t folder,
               std::string_view inside) {
    const std::vector<std::size_t>& folderAimed = entries[folder].aimedThrough;
    for (const std::size_t moved : entries[entry].aimedThrough) {
        if (std::find(folderAimed.begin(), folderAimed.end(), moved) == folderAimed.end() &&
            inside.starts_with(entries[moved].plan.NewPath() + '\\')) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool Vacates(const SettledEntry& entry) {
    return entry.kind == StepKind::Rename || entry.kind == StepKind::MoveAcrossDrives;
}

StepOrder::StepOrder(const std::vector<SettledEntry>& entries) {
    AddTargetWaits(entries);
    if (edges_.empty()) {
        return;
    }
    AddFolderWaits(entries);
    Index();
    firstWait_.resize(entries.size() + 1, waits_.size());
    std::vector<std::uint8_t> state(entries.size(), kUnseen);
    std::vector<bool> vacated(entries.size(), false);
    steps_.reserve(entries.size() + 1);
    for (std::size_t e = 0; e < entries.size(); ++e) {
        if (state[e] == kUnseen) {
            Walk(e, state, vacated);
        }
    }
    OpenRingsEarly(entries.size());
}

void StepOrder::AddTargetWaits(const std::vector<SettledEntry>& entries) {
    const HeldPaths held(entries);
    std::string joined;
    std::string folded;
    const auto waitOn = [&](std::size_t e, bool filesOnly) {
        for (std::size_t holder = held.First(folded); holder != kNone; holder = held.Next(holder)) {
            if (holder != e && !(filesOnly && entries[holder].plan.parts.isFolder)) {
                edges_.push_back({e, {holder, WaitReason::TargetHeld}});
            }
        }
    };
    for (std::size_t e = 0; e < entries.size(); ++e) {
        const EntryPlan& plan = entries[e].plan;
        FoldedPath(plan.targetFolder, plan.newName, joined, folded);
        waitOn(e, false);
        // A file where the new name needs a folder ('2001' before 'a.jpg'
        // goes to '2001\a.jpg') must have moved before the folder is made.
        for (std::size_t slash = plan.smartFolder.find('\\'); slash != std::string::npos;
             slash = plan.smartFolder.find('\\', slash + 1)) {
            FoldedPath(plan.targetFolder, std::string_view(plan.smartFolder).substr(0, slash),
                       joined, folded);
            waitOn(e, true);
        }
    }
}

void StepOrder::AddFolderWaits(const std::vector<SettledEntry>& entries) {
    for (std::size_t e = 0; e < entries.size(); ++e) {
        for (const std::size_t folder : entries[e].aimedThrough) {
            edges_.push_back({e, {folder, WaitReason::InsideFolder}});
        }
    }
    // Entries listed before a folder that moves still have paths under its
    // old name, so they go before it, as they would have in list order.
    const bool anyFolderMoves =
        std::any_of(entries.begin(), entries.end(),
                    [](const SettledEntry& e) { return e.plan.parts.isFolder && Vacates(e); });
    if (!anyFolderMoves) {
        return;
    }
    const auto oldPaths = SortedPaths(entries, false);
    const auto newPaths = SortedPaths(entries, true);
    for (std::size_t folder = 0; folder < entries.size(); ++folder) {
        if (!entries[folder].plan.parts.isFolder || !Vacates(entries[folder])) {
            continue;
        }
        const std::string inside = entries[folder].plan.OldPath() + '\\';
        for (const auto* sorted : {&oldPaths, &newPaths}) {
            for (auto it = std::lower_bound(sorted->begin(), sorted->end(),
                                            std::pair<std::string, std::size_t>(inside, 0));
                 it != sorted->end() && it->first.starts_with(inside); ++it) {
                if (it->second < folder && !MovedInto(entries, it->second, folder, inside)) {
                    edges_.push_back({folder, {it->second, WaitReason::Contents}});
                }
            }
        }
    }
}

// Each entry's waits in one run, the contents of a folder first and the
// holders of its target last: a walk that comes back round to an entry
// through its target's holder then finds everything else it waits on placed.
void StepOrder::Index() {
    std::stable_sort(edges_.begin(), edges_.end(), [](const Edge& a, const Edge& b) {
        return a.from != b.from ? a.from < b.from : a.wait.reason < b.wait.reason;
    });
    waits_.reserve(edges_.size());
    for (const Edge& edge : edges_) {
        while (firstWait_.size() <= edge.from) {
            firstWait_.push_back(waits_.size());
        }
        waits_.push_back(edge.wait);
    }
    edges_.clear();
    edges_.shrink_to_fit();
}

std::span<const Wait> StepOrder::WaitsOf(std::size_t entry) const {
    if (entry + 1 >= firstWait_.size()) {
        return {};
    }
    return std::span<const Wait>(waits_).subspan(firstWait_[entry],
                                                 firstWait_[entry + 1] - firstWait_[entry]);
}

// Places `root` after everything it waits on, depth first with a stack of its
// own (a shift of a full list is a chain 32,767 entries long). A wait that
// leads back to an entry still on the path closes a ring: that entry goes to
// a temporary name at once, which frees its old path, and takes its new name
// when the walk returns to it.
void StepOrder::Walk(std::size_t root, std::vector<std::uint8_t>& state,
                     std::vector<bool>& vacated) {
    std::vector<std::pair<std::size_t, std::size_t>> path{{root, firstWait_[root]}};
    state[root] = kOnPath;
    while (!path.empty()) {
        const auto [entry, next] = path.back();
        if (next == firstWait_[entry + 1]) {
            steps_.push_back({entry, vacated[entry] ? StepPart::FromTemporary : StepPart::Whole});
            state[entry] = kPlaced;
            path.pop_back();
            continue;
        }
        path.back().second = next + 1;
        const Wait wait = waits_[next];
        const bool freed = wait.reason == WaitReason::TargetHeld && vacated[wait.on];
        if (state[wait.on] == kPlaced || freed) {
            continue;
        }
        if (state[wait.on] == kOnPath) {
            // A ring through folders alone cannot be opened by a temporary
            // name; its steps keep the order they have, and fail safely.
            if (wait.reason == WaitReason::TargetHeld) {
                steps_.push_back({wait.on, StepPart::ToTemporary});
                vacated[wait.on] = true;
            }
            continue;
        }
        state[wait.on] = kOnPath;
        path.emplace_back(wait.on, firstWait_[wait.on]);
    }
}

// A ring's closing step may be written to the journal only once its opening
// has run: until then a ring not begun and a ring closed look alike on disk.
// So the journal is flushed between the two, and rings opened together share
// that flush. Each opening moves to the start of its window of steps, or just
// after the last step it waits on itself (contents of a folder, the folder it
// lies in), whichever is later; it only ever moves earlier, which frees its
// old path earlier and delays nothing.
void StepOrder::OpenRingsEarly(std::size_t entryCount) {
    std::vector<std::size_t> placedAt(entryCount, kNone);
    std::vector<std::pair<std::size_t, std::size_t>> keyed;  // sort key, step
    keyed.reserve(steps_.size());
    for (std::size_t i = 0; i < steps_.size(); ++i) {
        const OrderedStep& step = steps_[i];
        std::size_t key = 2 * i + 1;
        if (step.part == StepPart::ToTemporary) {
            std::size_t earliest = 2 * (i - i % kRingWindow);
            for (const Wait& wait : WaitsOf(step.entry)) {
                if (wait.reason != WaitReason::TargetHeld && placedAt[wait.on] != kNone) {
                    earliest = std::max(earliest, 2 * placedAt[wait.on] + 2);
                }
            }
            key = std::min(key, earliest);
        } else {
            placedAt[step.entry] = i;
        }
        keyed.emplace_back(key, i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<OrderedStep> steps;
    steps.reserve(steps_.size());
    for (const auto& [key, i] : keyed) {
        steps.push_back(steps_[i]);
    }
    steps_ = std::move(steps);
}

}  // namespace kestrel::commit
