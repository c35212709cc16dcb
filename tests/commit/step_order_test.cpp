#include "commit/step_order.h"

#include <gtest/gtest.h>

#include <sstream>

#include "lists/taken_targets.h"
#include "text/unicode_text.h"

namespace kestrel::commit {
namespace {

// Rows are "old>new" under T:\, with "-" after a row that is not selected and
// "!" after one another check flagged. A new name "B\|x" goes to the target
// folder B\ as "x"; without "|" the entry stays in its folder ("Sub\x" then
// asks for a SmartFolder). Steps are "old>new", or "old>~" and "~>new"
// through a temporary name.
struct Row {
    SettledEntry entry;
    bool selected = true;
    bool flagged = false;
};

std::vector<Row> Rows(const std::string& text) {
    std::vector<Row> rows;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        Row row;
        row.flagged = word.ends_with('!');
        row.selected = !word.ends_with('-');
        if (row.flagged || !row.selected) {
            word.pop_back();
        }
        const std::string to = word.substr(word.find('>') + 1);
        const std::size_t split = to.find('|');
        EntryPlan& plan = row.entry.plan;
        plan.parts = SplitEntry(word.substr(0, word.find('>')));
        plan.sourceFolder = "T:\\" + plan.parts.prefix;
        plan.targetFolder =
            split == std::string::npos ? plan.sourceFolder : "T:\\" + to.substr(0, split);
        plan.newName = split == std::string::npos ? to : to.substr(split + 1);
        plan.smartFolder = SmartFolderPart(plan.newName);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::vector<SettledEntry> Selected(const std::vector<Row>& rows) {
    std::vector<SettledEntry> entries;
    for (const Row& row : rows) {
        if (row.selected) {
            entries.push_back(row.entry);
        }
    }
    return entries;
}

std::string StepTexts(const std::vector<SettledEntry>& entries) {
    const StepOrder order(entries);
    std::vector<OrderedStep> steps = order.Steps();
    for (std::size_t e = 0; !order.Reorders() && e < entries.size(); ++e) {
        steps.push_back({e, StepPart::Whole});
    }
    std::string texts;
    for (const auto& [entry, part] : steps) {
        const EntryPlan& plan = entries[entry].plan;
        texts += (texts.empty() ? "" : " ") +
                 (part == StepPart::FromTemporary ? "~" : plan.OldPath().substr(3)) + ">" +
                 (part == StepPart::ToTemporary ? "~" : plan.NewPath().substr(3));
    }
    return texts;
}

// The disk as the preview would find it: every row's entry and the others.
// A row's own entry never takes its target (a change of case only).
class ImaginedDisk : public lists::TargetLookup {
  public:
    ImaginedDisk(const std::vector<Row>& rows, const std::string& others, bool ignoresCase)
        : ignoresCase_(ignoresCase) {
        for (const Row& row : rows) {
            paths_.push_back(row.entry.plan.OldPath());
        }
        std::istringstream words(others);
        for (std::string word; words >> word;) {
            paths_.push_back("T:\\" + word);
        }
    }
    bool Taken(std::size_t question) override {
        const lists::TargetInQuestion& asked = questions[question];
        for (std::size_t p = 0; p < paths_.size(); ++p) {
            if (p != asked.row && SameEntry(paths_[p], asked.path)) {
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
    std::vector<lists::TargetInQuestion> questions;

  private:
    std::vector<std::string> paths_;
    bool ignoresCase_;
};

// The rows the preview flags "Filename already exists".
std::vector<std::size_t> TakenRows(const std::vector<Row>& rows, const std::string& others,
                                   bool ignoresCase) {
    ImaginedDisk disk(rows, others, ignoresCase);
    std::vector<lists::RenamedRow> renamed;
    std::vector<bool> flagged;
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const EntryPlan& plan = rows[r].entry.plan;
        flagged.push_back(rows[r].flagged);
        if (rows[r].selected) {
            renamed.push_back({r, plan.OldPath(),
                               plan.sourceFolder == plan.targetFolder &&
                                   text::EqualIgnoringCase(plan.parts.name, plan.newName)});
            if (disk.MayHold(plan.NewPath())) {
                disk.questions.push_back({r, plan.NewPath()});
            }
        }
    }
    std::vector<std::size_t> taken;
    for (const std::size_t q : lists::DecideTakenTargets(renamed, disk.questions, flagged, disk)) {
        taken.push_back(disk.questions[q].row);
    }
    std::sort(taken.begin(), taken.end());
    return taken;
}

TEST(StepOrder, PlansDependentRenamesAndFlagsTargetsStillTaken) {
    // Rows, other files on the disk, whether it ignores case, steps, rows taken.
    const std::tuple<const char*, const char*, bool, const char*, std::vector<std::size_t>>
        cases[] = {
            // Shifts up by one, down by one (in the list's order), and by ten,
            // where only the entries whose targets are taken wait.
            {"f1>f2 f2>f3 f3>f4 f4>f5", "", false, "f4>f5 f3>f4 f2>f3 f1>f2", {}},
            {"f2>f1 f3>f2 f4>f3", "", false, "f2>f1 f3>f2 f4>f3", {}},
            {"f01>f11 f02>f12 f03>f13 f04>f14 f05>f15 f06>f16 f07>f17 f08>f18 f09>f19 f10>f20 "
             "f11>f21 f12>f22",
             "",
             false,
             "f11>f21 f01>f11 f12>f22 f02>f12 f03>f13 f04>f14 f05>f15 f06>f16 f07>f17 f08>f18 "
             "f09>f19 f10>f20",
             {}},
            // A swap; two swaps open together, so that one flush of the
            // journal covers both; a rotation of three.
            {"a>b b>a", "", false, "a>~ b>a ~>b", {}},
            {"a>b b>a c>d d>c", "", false, "a>~ c>~ b>a ~>b d>c ~>d", {}},
            {"a>b b>c c>a", "", false, "a>~ c>a b>c ~>b", {}},
            // Into a SmartFolder where a file of its name is renamed away.
            {"a.jpg>b\\a.jpg b>c", "", false, "b>c a.jpg>b\\a.jpg", {}},
            // A chain across two target folders.
            {"A\\1>B\\|1 B\\1>C\\|1 C\\1>C\\|2", "", false, "C\\1>C\\2 B\\1>C\\1 A\\1>B\\1", {}},
            // A ring with a change of case, where case is ignored.
            {"a>b b>A", "", true, "a>~ b>A ~>b", {}},
            // A holder that is not selected keeps its name; a flagged one may,
            // and so may what waits on it; so does a file that is no row.
            {"a>b b>c-", "", false, "a>b", {0}},
            {"a>b b>c! c>d", "", false, "c>d b>c a>b", {0}},
            {"a>b b>c", "c", false, "b>c a>b", {0, 1}},
            // A change of case keeps its place where case is ignored.
            {"a>A x>a", "", true, "a>A x>a", {1}},
        };
    for (const auto& [rowText, others, ignoresCase, steps, taken] : cases) {
        SCOPED_TRACE(rowText);
        const std::vector<Row> rows = Rows(rowText);
        EXPECT_EQ(StepTexts(Selected(rows)), steps);
        EXPECT_EQ(TakenRows(rows, others, ignoresCase), taken);
    }
}

// The folders a commit renames carry their contents: what lies inside one by
// its old path goes before it, what was aimed at its new path after it, also
// when the folder itself waits on another.
TEST(StepOrder, FolderContentsGoWithTheirFolder) {
    // What, rows, the folders each row was aimed through, steps.
    const std::tuple<const char*, const char*, std::vector<std::vector<std::size_t>>, const char*>
        cases[] = {
            {"listed before and after the folders",
             "F1\\>F2 F2\\x>y F2\\>F3 F3\\z>z2 F2\\w>w2",
             {{}, {}, {}, {2}, {0}},
             "F2\\x>F2\\y F2>F3 F1>F2 F3\\z>F3\\z2 F2\\w>F2\\w2"},
            {"aimed into a folder's old path by another that moved there",
             "1\\>2 2\\1a>2a 2\\>3 3\\2a>3a",
             {{}, {0}, {}, {2}},
             "2>3 1>2 2\\1a>2\\2a 3\\2a>3\\3a"},
        };
    for (const auto& [what, rowText, aimedThrough, steps] : cases) {
        SCOPED_TRACE(what);
        std::vector<SettledEntry> entries = Selected(Rows(rowText));
        for (std::size_t e = 0; e < entries.size(); ++e) {
            entries[e].aimedThrough = aimedThrough[e];
        }
        EXPECT_EQ(StepTexts(entries), steps);
        const StepOrder order(entries);
        ASSERT_EQ(order.WaitsOf(3).size(), 1u);
        EXPECT_EQ(order.WaitsOf(3)[0].reason, WaitReason::InsideFolder);
        EXPECT_EQ(order.WaitsOf(0).back().reason, WaitReason::TargetHeld);
    }
}

TEST(StepOrder, CopiesAndFolderTreesFreeNoTarget) {
    std::vector<SettledEntry> entries = Selected(Rows("a>b b>c"));
    for (const auto& [kind, reorders] : {std::pair{StepKind::Copy, false},
                                         {StepKind::FolderTree, false},
                                         {StepKind::MoveAcrossDrives, true}}) {
        entries[1].kind = kind;
        EXPECT_EQ(StepOrder(entries).Reorders(), reorders);
    }
}

}  // namespace
}  // namespace kestrel::commit
