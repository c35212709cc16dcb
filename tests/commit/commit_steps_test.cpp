#include "commit/commit_steps.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "commit/commit_journal.h"
#include "commit/commit_plan.h"
#include "commit/step_order.h"
#include "commit/undo.h"
#include "commit/undo_store.h"
#include "engine/rename_options.h"
#include "lists/taken_targets.h"
#include "support/forwarding_file_system.h"
#include "support/temp_drive.h"
#include "text/unicode_text.h"

namespace kestrel::commit {
namespace {

using platform::FileError;
using support::TempDrive;

EntryPlan Plan(std::string source, std::string target, std::string name, std::string newName) {
    return {SplitEntry(name), newName, SmartFolderPart(newName), source, target};
}

class CommitStepsTest : public ::testing::Test {
  protected:
    CommitStepsTest() { drive.FileSystem().Drives().Map('U', other.HostRoot()); }

    TempDrive drive;
    TempDrive other{"/dev/shm", 'U'};
    support::ScriptedFileSystem fileSystem{drive.FileSystem()};
};

TEST_F(CommitStepsTest, SmartFolderPartOnlyMakesItsTreeAndAFailingStepAcrossDrivesMovesNothing) {
    // A folder with a smart folder part stays where it is.
    drive.WriteFile("Photos\\a.jpg", "");
    const StepResult result =
        CommitEntry(fileSystem, Plan("T:\\", "T:\\", "Photos\\", "2001\\Photos"), false);
    EXPECT_TRUE(result.error.Ok());
    EXPECT_FALSE(result.folderMoved);
    EXPECT_TRUE(drive.Exists("Photos\\a.jpg"));
    EXPECT_TRUE(drive.Exists("2001"));

    ASSERT_TRUE(other.Valid());
    drive.WriteFile("a.txt", "bytes");
    other.WriteFile("c.txt", "kept");
    fileSystem.copyError = platform::kDiskFull;  // a failed commit copy is shown by the workspace
    EXPECT_EQ(RestoreEntry(fileSystem, {"T:\\c.txt", "U:\\c.txt"}).error.number,
              platform::kDiskFull);
    fileSystem.copyError = 0;
    fileSystem.refusedDelete = "T:\\a.txt";  // the copy is taken back
    EXPECT_EQ(CommitEntry(fileSystem, Plan("T:\\", "U:\\", "a.txt", "b.txt"), false).error.number,
              platform::kPermissionDenied);
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_FALSE(other.Exists("b.txt"));
    EXPECT_EQ(other.ReadFile("c.txt"), "kept");
    EXPECT_FALSE(drive.Exists("c.txt"));
}

TEST(CommitJournal, HoldsWhatWasFlushedAndNothingACrashCutShort) {
    support::TempDrive state;
    const std::string folder = state.HostRoot() + "/state/kestrel";
    platform::DriveTable drives;
    drives.Unmap('C');
    drives.Map('T', "/tmp/photos");
    const UndoEntry a{"T:\\a", "T:\\b", StepKind::Rename};
    const UndoEntry g{"T:\\g\nh", "D:\\i", StepKind::MoveAcrossDrives};
    {
        CommitJournal journal({folder, &drives}, JournalOperation::Undo, 3);
        journal.Add(a.kind, a.oldPath, a.newPath);
        journal.Add(StepKind::Copy, "T:\\c", "");
        journal.Add(StepKind::Copy, "T:\\e", "");
        journal.Withdraw(2);
        journal.Add(g.kind, g.oldPath, g.newPath);
        ASSERT_TRUE(journal.Flush().Ok());
        journal.Add(StepKind::Rename, "T:\\never", "T:\\flushed");
        // Its writer still holds it: another running copy does not take it.
        EXPECT_TRUE(platform::TakeAbandonedJournals(folder).empty());
    }
    std::vector<platform::JournalFile> left = platform::TakeAbandonedJournals(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(std::filesystem::status(left[0].Path()).permissions(), std::filesystem::perms(0600));
    EXPECT_EQ(std::filesystem::status(folder).permissions(), std::filesystem::perms(0700));
    std::string bytes;
    ASSERT_TRUE(left[0].ReadAll(bytes).Ok());
    const auto contents = ReadJournal(bytes);
    ASSERT_TRUE(contents);
    EXPECT_TRUE(contents->operation == JournalOperation::Undo && contents->level == 3);
    EXPECT_TRUE(contents->drives.HostFolder('T') == "/tmp/photos" &&
                !contents->drives.IsMapped('C'));
    EXPECT_EQ(contents->steps, (std::vector<UndoEntry>{a, g}));
    // Cut anywhere or with a byte changed, a record is whole or not there.
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string damaged = bytes;
        damaged[size] ^= 0x20;
        for (const std::string& text : {bytes.substr(0, size), damaged}) {
            for (const UndoEntry& step : ReadJournal(text).value_or(JournalContents{}).steps) {
                EXPECT_TRUE(step == a || step == g || step.newPath.empty()) << size;
            }
        }
    }
    left[0].Remove();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// A shift cut short before its first step: "a" waits for "b" to move to "c".
// The two files are alike to the byte and the nanosecond, yet two files;
// recovery must take neither for a copy the other left.
TEST(RestoreInterrupted, StepsThatNeverRanLeaveTwoLikeFilesAlone) {
    TempDrive drive;
    drive.WriteFile("a", "same bytes");
    drive.WriteFile("b", "same bytes");
    const auto time = std::filesystem::last_write_time(drive.HostPath("a"));
    std::filesystem::last_write_time(drive.HostPath("b"), time);
    const std::vector<UndoEntry> journaled = {{"T:\\b", "T:\\c"}, {"T:\\a", "T:\\b"}};
    EXPECT_TRUE(RestoreInterrupted(drive.FileSystem(), journaled).empty());
    EXPECT_EQ(drive.ReadFile("a"), "same bytes");
    EXPECT_EQ(drive.ReadFile("b"), "same bytes");
    EXPECT_FALSE(drive.Exists("c"));
}

TEST(SplitEntry, FolderMarkIsSetAsideBeforeThePrefixIsTaken) {
    // Entry text, folder, prefix, name, pipeline input.
    const std::tuple<const char*, bool, const char*, const char*, const char*> cases[] = {
        {"Photos\\", true, "", "Photos", "Photos\\"},
        {"Sub\\Deeper\\a.txt", false, "Sub\\Deeper\\", "a.txt", "a.txt"},
        {"T:\\A\\B\\", true, "T:\\A\\", "B", "B\\"},
    };
    for (const auto& [text, isFolder, prefix, name, pipelineInput] : cases) {
        const EntryParts p = SplitEntry(text);
        EXPECT_EQ(std::tuple(p.isFolder, p.prefix, p.name, p.pipelineInput),
                  std::tuple(isFolder, std::string(prefix), std::string(name),
                             std::string(pipelineInput)))
            << text;
    }
}

// Partial paths and Consolidate are shown through the workspace's commits.
TEST(EntryFolders, FollowTheDisplayModeAndRecurse) {
    const std::vector<std::string> table = {"T:\\Work\\", "T:\\Work\\Sub\\"};
    using engine::kShowFilenameOnly, engine::kShowPartialPath, engine::kShowFullPath;
    // Mode, recurse, consolidate, entry text, source folder, target folder.
    const std::tuple<int, bool, bool, const char*, const char*, const char*> cases[] = {
        {kShowFilenameOnly, false, false, "a.txt", "T:\\Work\\", "T:\\Out\\"},
        {kShowFilenameOnly, true, false, "a.txt", "T:\\Work\\Sub\\", "T:\\Work\\Sub\\"},
        {kShowFullPath, true, false, "T:\\Work\\Sub\\a.txt", "T:\\Work\\Sub\\", "T:\\Work\\Sub\\"},
    };
    for (const auto& [mode, recurse, consolidate, text, source, target] : cases) {
        // Folder texts typed without their closing backslash still join correctly.
        const FolderRules rules{mode, recurse, consolidate, "T:\\Work", "T:\\Out", &table};
        const EntryParts parts = SplitEntry(text);
        EXPECT_EQ(std::pair(SourceFolder(rules, parts, 2), TargetFolder(rules, parts, 2)),
                  (std::pair<std::string, std::string>(source, target)))
            << text << " mode " << mode << " recurse " << recurse;
    }
}

TEST(RenamedFolders, ReplaceOnlyWholeFolderBeginningsRowAfterRow) {
    RenamedFolders folders;
    folders.Add("T:\\Photos\\", "T:\\Pictures from 2001\\");
    folders.Add("T:\\Pictures from 2001\\Sub\\", "T:\\Pictures from 2001\\S\\");
    const std::pair<const char*, const char*> cases[] = {
        {"T:\\Photos\\", "T:\\Pictures from 2001\\"},
        {"T:\\Photos\\Sub\\Deep\\", "T:\\Pictures from 2001\\S\\Deep\\"},
        {"T:\\Photos2\\", "T:\\Photos2\\"},
    };
    for (const auto& [folder, expected] : cases) {
        EXPECT_EQ(folders.ReAim(folder), expected) << folder;
    }
}

// The undo log kept between runs: what it keeps, how it is kept on disk, and
// the checks an undo makes before it moves an entry back.
std::vector<UndoEntry> Level(const std::string& name) {
    return {{"T:\\" + name, "T:\\New " + name, StepKind::Rename, {}},
            {"T:\\x\ny",
             "T:\\y",
             StepKind::Copy,
             {true, false, 12, 1700000000123456789, 66306, 4711, "/h/y"}}};
}

class UndoStoreTest : public ::testing::Test {
  protected:
    std::string Folder() const { return state.HostPath("state"); }
    std::string File() const { return Folder() + "/undo-log"; }

    support::TempDrive state;
};

TEST_F(UndoStoreTest, KeepsTheEightNewestLevelsOldestFirst) {
    UndoStore store(Folder());
    EXPECT_TRUE(store.Levels().empty());
    for (int level = 1; level <= 10; ++level) {
        ASSERT_TRUE(store.Append(Level(std::to_string(level))).Ok());
    }
    const auto levels = UndoStore(Folder()).Levels();
    ASSERT_EQ(levels.size(), kKeptUndoLevels);
    EXPECT_EQ(levels.front(), Level("3"));
    EXPECT_EQ(levels.back(), Level("10"));

    platform::FileError error;
    EXPECT_EQ(store.TakeNewest(error), Level("10"));
    EXPECT_EQ(store.TakeNewest(error), Level("9"));
    EXPECT_EQ(store.Levels().size(), 6u);
    EXPECT_TRUE(error.Ok());
}

TEST_F(UndoStoreTest, OnlyTheUserMayReadItAndAPlantedLinkIsNotFollowed) {
    UndoStore store(Folder());
    ASSERT_TRUE(store.Append(Level("a")).Ok());
    struct stat info {};
    ASSERT_EQ(::lstat(File().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    ASSERT_EQ(::stat(Folder().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);
    ASSERT_EQ(::lstat((File() + ".lock").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0177, 0u);
    // Nothing else is left there: the temporary file became the log.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Folder()), {}), 2);

    // Another's file, holding levels of its own, linked in under the log's name.
    const std::string planted = state.HostPath("elsewhere");
    const std::string bytes = UndoStoreBytes({Level("planted")});
    state.WriteFile("elsewhere", bytes);
    std::filesystem::remove(File());
    std::filesystem::create_symlink(planted, File());
    platform::FileError error;
    EXPECT_EQ(store.TakeNewest(error), std::nullopt);
    EXPECT_FALSE(error.Ok());
    EXPECT_TRUE(store.Levels().empty());
    // The next commit's level replaces the link; what it pointed at stays.
    ASSERT_TRUE(store.Append(Level("b")).Ok());
    EXPECT_EQ(store.Levels(), (std::vector<std::vector<UndoEntry>>{Level("b")}));
    ASSERT_EQ(::lstat(File().c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_EQ(state.ReadFile("elsewhere"), bytes);
}

TEST_F(UndoStoreTest, ADamagedFileReadsAsTheWholeLevelsBeforeTheDamage) {
    const std::string whole = UndoStoreBytes({Level("a"), Level("b")});
    const std::string first = UndoStoreBytes({Level("a")});
    const struct {
        const char* what;
        std::string bytes;
        std::size_t levels;
    } rows[] = {
        {"whole", whole, 2},
        {"cut inside the second level", whole.substr(0, whole.size() - 5), 1},
        {"cut after the first", first, 1},
        {"not an undo log", "journal" + whole, 0},
        {"empty", "", 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(ReadUndoStore(row.bytes).size(), row.levels);
    }
}

// Two copies taking the newest level at once: each level goes to one of them.
TEST_F(UndoStoreTest, TwoRunningCopiesNeverTakeOneLevel) {
    UndoStore store(Folder());
    for (int level = 0; level < 8; ++level) {
        ASSERT_TRUE(store.Append(Level(std::to_string(level))).Ok());
    }
    const std::string taken = state.HostPath("taken");
    std::filesystem::create_directory(taken);
    pid_t children[2];
    for (int c = 0; c < 2; ++c) {
        children[c] = ::fork();
        ASSERT_GE(children[c], 0);
        if (children[c] == 0) {
            UndoStore own(Folder());
            for (int i = 0; i < 4; ++i) {
                platform::FileError error;
                if (auto level = own.TakeNewest(error)) {
                    std::ofstream(taken + "/" + level->front().oldPath.substr(3));
                }
            }
            ::_exit(0);
        }
    }
    for (pid_t child : children) {
        ::waitpid(child, nullptr, 0);
    }
    EXPECT_TRUE(store.Levels().empty());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(taken), {}), 8);
}

TEST(UndoChecks, AnEntryMovedOrChangedSinceIsPassedOverAndTheRestGoBack) {
    support::TempDrive drive;
    platform::FileSystem& fs = drive.FileSystem();
    for (const char* name : {"blocked", "kept", "changed", "replaced", "moved"}) {
        drive.WriteFile(std::string("new ") + name, "contents");
    }
    drive.WriteFile("New Folder\\in", "");
    std::vector<UndoEntry> level;
    for (const char* name : {"blocked", "kept", "changed", "replaced", "moved"}) {
        const std::string newPath = support::TempDrive::Path(std::string("new ") + name);
        level.push_back(
            {support::TempDrive::Path(name), newPath, StepKind::Rename, IdentityOf(fs, newPath)});
    }
    level.push_back({support::TempDrive::Path("Folder"), support::TempDrive::Path("New Folder"),
                     StepKind::Rename, IdentityOf(fs, support::TempDrive::Path("New Folder"))});
    EXPECT_TRUE(level.back().identity.isFolder);
    drive.WriteFile("new changed", "contents, longer");
    drive.WriteFile("blocked", "someone else's");
    std::filesystem::remove(drive.HostPath("new replaced"));
    std::filesystem::create_directory(drive.HostPath("new replaced"));
    std::filesystem::rename(drive.HostPath("new moved"), drive.HostPath("gone"));
    // What a folder holds may change; it still goes back.
    drive.WriteFile("New Folder\\added", "");

    const LevelRestored restored = RestoreLevel(fs, level);
    EXPECT_EQ(restored.restored, 2u);
    EXPECT_TRUE(drive.Exists("kept"));
    EXPECT_TRUE(drive.Exists("Folder\\added"));
    // Tried and failed: its old name was taken meanwhile.
    ASSERT_EQ(restored.failed.size(), 4u);
    EXPECT_EQ(restored.failed[3].entry.newPath, support::TempDrive::Path("new blocked"));
    EXPECT_EQ(restored.failed[3].error.number, platform::kFileAlreadyExists);
    EXPECT_EQ(restored.passedOver.size(), 3u);
    EXPECT_EQ(restored.failed[0].entry.newPath, support::TempDrive::Path("new moved"));
    EXPECT_EQ(restored.failed[0].error.number, platform::kFileNotFound);
    EXPECT_EQ(restored.failed[1].entry.newPath, support::TempDrive::Path("new replaced"));
    EXPECT_EQ(restored.failed[1].error.description, kChangedSinceText);
    EXPECT_EQ(restored.failed[2].entry.newPath, support::TempDrive::Path("new changed"));
    for (const char* name : {"new changed", "new replaced"}) {
        EXPECT_TRUE(drive.Exists(name)) << name;
    }
}

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
