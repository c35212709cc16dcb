#include "commit/step_order.h"

#include <gtest/gtest.h>

#include "lists/taken_targets.h"
#include "text/unicode_text.h"

namespace kestrel::commit {
namespace {

// Paths under T:\. A new name "B\|x" goes to the target folder B\ as "x";
// without "|" the entry stays in its folder ("Sub\x" then asks for a
// SmartFolder).
struct Row {
    const char* from;
    const char* to;
    bool selected = true;
    bool flagged = false;  // by a check other than the existing target
};

SettledEntry Settle(const Row& row) {
    const std::string from = row.from;
    const std::string to = row.to;
    const std::size_t split = to.find('|');
    SettledEntry entry;
    entry.plan.parts = SplitEntry(from);
    entry.plan.sourceFolder = "T:\\" + entry.plan.parts.prefix;
    entry.plan.targetFolder =
        split == std::string::npos ? entry.plan.sourceFolder : "T:\\" + to.substr(0, split);
    entry.plan.newName = split == std::string::npos ? to : to.substr(split + 1);
    entry.plan.smartFolder = SmartFolderPart(entry.plan.newName);
    return entry;
}

std::string Shown(const std::string& path) {
    return path.substr(3);
}

// "old>new" for a whole step, "old>~" and "~>new" through a temporary name.
std::vector<std::string> StepTexts(const std::vector<SettledEntry>& entries) {
    const StepOrder order(entries);
    std::vector<OrderedStep> steps = order.Steps();
    if (!order.Reorders()) {
        for (std::size_t e = 0; e < entries.size(); ++e) {
            steps.push_back({e, StepPart::Whole});
        }
    }
    std::vector<std::string> texts;
    for (const auto& [entry, part] : steps) {
        const EntryPlan& plan = entries[entry].plan;
        texts.push_back((part == StepPart::FromTemporary ? "~" : Shown(plan.OldPath())) + ">" +
                        (part == StepPart::ToTemporary ? "~" : Shown(plan.NewPath())));
    }
    return texts;
}

// The disk as the preview would find it: `others`, then every row's entry.
// A row's own entry never takes its target (a change of case only).
class ImaginedDisk : public lists::TargetLookup {
  public:
    ImaginedDisk(std::vector<std::string> paths, std::size_t others, bool ignoresCase,
                 const std::vector<lists::TargetInQuestion>& questions)
        : paths_(std::move(paths)),
          others_(others),
          ignoresCase_(ignoresCase),
          questions_(questions) {}
    bool Taken(std::size_t question) override {
        const lists::TargetInQuestion& asked = questions_[question];
        for (std::size_t p = 0; p < paths_.size(); ++p) {
            if (p != others_ + asked.row && SameEntry(paths_[p], asked.path)) {
                return true;
            }
        }
        return false;
    }
    bool SameEntry(const std::string& a, const std::string& b) override {
        return ignoresCase_ ? text::EqualIgnoringCase(a, b) : a == b;
    }
    // A listed name like the target, in any case: the preview asks.
    bool MayHold(const std::string& path) const {
        return std::any_of(paths_.begin(), paths_.end(),
                           [&](const std::string& p) { return text::EqualIgnoringCase(p, path); });
    }

  private:
    std::vector<std::string> paths_;
    std::size_t others_;
    bool ignoresCase_;
    const std::vector<lists::TargetInQuestion>& questions_;
};

// The rows the preview flags "Filename already exists".
std::vector<std::size_t> TakenRows(const std::vector<Row>& rows,
                                   const std::vector<const char*>& others, bool ignoresCase) {
    std::vector<lists::RenamedRow> renamed;
    std::vector<lists::TargetInQuestion> questions;
    std::vector<std::string> paths;
    std::vector<bool> flagged;
    for (const char* other : others) {
        paths.push_back(std::string("T:\\") + other);
    }
    for (const Row& row : rows) {
        paths.push_back(Settle(row).plan.OldPath());
    }
    ImaginedDisk disk(paths, others.size(), ignoresCase, questions);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const EntryPlan plan = Settle(rows[r]).plan;
        flagged.push_back(rows[r].flagged);
        if (!rows[r].selected) {
            continue;
        }
        const bool keepsPlace = plan.sourceFolder == plan.targetFolder &&
                                text::EqualIgnoringCase(plan.parts.name, plan.newName);
        renamed.push_back({r, plan.OldPath(), keepsPlace});
        if (disk.MayHold(plan.NewPath())) {
            questions.push_back({r, plan.NewPath()});
        }
    }
    std::vector<std::size_t> taken;
    for (const std::size_t q : lists::DecideTakenTargets(renamed, questions, flagged, disk)) {
        taken.push_back(questions[q].row);
    }
    std::sort(taken.begin(), taken.end());
    return taken;
}

TEST(StepOrder, PlansDependentRenamesAndFlagsTargetsStillTaken) {
    struct Case {
        const char* what;
        std::vector<Row> rows;
        std::vector<const char*> others;  // files on the disk that are no rows
        bool ignoresCase;
        std::vector<std::string> steps;
        std::vector<std::size_t> taken;
    };
    const std::vector<Row> shiftByTen = {{"f01", "f11"}, {"f02", "f12"}, {"f03", "f13"},
                                         {"f04", "f14"}, {"f05", "f15"}, {"f06", "f16"},
                                         {"f07", "f17"}, {"f08", "f18"}, {"f09", "f19"},
                                         {"f10", "f20"}, {"f11", "f21"}, {"f12", "f22"}};
    const Case cases[] = {
        {"shift up by one",
         {{"f1", "f2"}, {"f2", "f3"}, {"f3", "f4"}, {"f4", "f5"}},
         {},
         false,
         {"f4>f5", "f3>f4", "f2>f3", "f1>f2"},
         {}},
        {"shift down by one keeps the list's order",
         {{"f2", "f1"}, {"f3", "f2"}, {"f4", "f3"}},
         {},
         false,
         {"f2>f1", "f3>f2", "f4>f3"},
         {}},
        {"shift by ten: the two entries whose targets are taken wait",
         shiftByTen,
         {},
         false,
         {"f11>f21", "f01>f11", "f12>f22", "f02>f12", "f03>f13", "f04>f14", "f05>f15", "f06>f16",
          "f07>f17", "f08>f18", "f09>f19", "f10>f20"},
         {}},
        {"swap", {{"a", "b"}, {"b", "a"}}, {}, false, {"a>~", "b>a", "~>b"}, {}},
        {"two swaps open together, so that one flush of the journal covers both",
         {{"a", "b"}, {"b", "a"}, {"c", "d"}, {"d", "c"}},
         {},
         false,
         {"a>~", "c>~", "b>a", "~>b", "d>c", "~>d"},
         {}},
        {"rotation of three",
         {{"a", "b"}, {"b", "c"}, {"c", "a"}},
         {},
         false,
         {"a>~", "c>a", "b>c", "~>b"},
         {}},
        {"into a SmartFolder where a file of its name is renamed away",
         {{"a.jpg", "b\\a.jpg"}, {"b", "c"}},
         {},
         false,
         {"b>c", "a.jpg>b\\a.jpg"},
         {}},
        {"a chain across two target folders",
         {{"A\\1", "B\\|1"}, {"B\\1", "C\\|1"}, {"C\\1", "C\\|2"}},
         {},
         false,
         {"C\\1>C\\2", "B\\1>C\\1", "A\\1>B\\1"},
         {}},
        {"a ring with a change of case, where case is ignored",
         {{"a", "b"}, {"b", "A"}},
         {},
         true,
         {"a>~", "b>A", "~>b"},
         {}},
        {"an unselected holder keeps its name",
         {{"a", "b"}, {"b", "c", false}},
         {},
         false,
         {"a>b"},
         {0}},
        {"a flagged holder may stay, and so may what waits on it",
         {{"a", "b"}, {"b", "c", true, true}, {"c", "d"}},
         {},
         false,
         {"c>d", "b>c", "a>b"},
         {0}},
        {"a chain ending on a file that is no row",
         {{"a", "b"}, {"b", "c"}},
         {"c"},
         false,
         {"b>c", "a>b"},
         {0, 1}},
        {"a case change keeps its place where case is ignored",
         {{"a", "A"}, {"x", "a"}},
         {},
         true,
         {"a>A", "x>a"},
         {1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<SettledEntry> entries;
        for (const Row& row : c.rows) {
            if (row.selected) {
                entries.push_back(Settle(row));
            }
        }
        EXPECT_EQ(StepTexts(entries), c.steps);
        EXPECT_EQ(TakenRows(c.rows, c.others, c.ignoresCase), c.taken);
    }
}

// The folders a commit renames carry their contents: what lies inside one by
// its old path goes before it, what was aimed at its new path after it, also
// when the folder itself waits on another.
TEST(StepOrder, FolderContentsGoWithTheirFolder) {
    struct Case {
        const char* what;
        std::vector<Row> rows;
        std::vector<std::vector<std::size_t>> aimedThrough;
        std::vector<std::string> steps;
    } const cases[] = {
        {"listed before and after the folders",
         {{"F1\\", "F2"},  // waits on F2, which holds its target
          {"F2\\x", "y"},  // in F2 by its old path, listed before F2
          {"F2\\", "F3"},
          {"F3\\z", "z2"},   // aimed through F2's move
          {"F2\\w", "w2"}},  // aimed through F1's move
         {{}, {}, {}, {2}, {0}},
         {"F2\\x>F2\\y", "F2>F3", "F1>F2", "F3\\z>F3\\z2", "F2\\w>F2\\w2"}},
        {"aimed into a folder's old path by another that moved there",
         {{"1\\", "2"}, {"2\\1a", "2a"}, {"2\\", "3"}, {"3\\2a", "3a"}},
         {{}, {0}, {}, {2}},
         {"2>3", "1>2", "2\\1a>2\\2a", "3\\2a>3\\3a"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<SettledEntry> entries;
        for (std::size_t e = 0; e < c.rows.size(); ++e) {
            entries.push_back(Settle(c.rows[e]));
            entries.back().aimedThrough = c.aimedThrough[e];
        }
        EXPECT_EQ(StepTexts(entries), c.steps);
        const StepOrder order(entries);
        ASSERT_EQ(order.WaitsOf(3).size(), 1u);
        EXPECT_EQ(order.WaitsOf(3)[0].reason, WaitReason::InsideFolder);
        EXPECT_EQ(order.WaitsOf(0).back().reason, WaitReason::TargetHeld);
    }
}

TEST(StepOrder, CopiesAndFolderTreesFreeNoTarget) {
    std::vector<SettledEntry> entries = {Settle({"a", "b"}), Settle({"b", "c"})};
    entries[1].kind = StepKind::Copy;
    EXPECT_FALSE(StepOrder(entries).Reorders());
    entries[1].kind = StepKind::FolderTree;
    EXPECT_FALSE(StepOrder(entries).Reorders());
    entries[1].kind = StepKind::MoveAcrossDrives;
    EXPECT_TRUE(StepOrder(entries).Reorders());
}

}  // namespace
}  // namespace kestrel::commit
