#include "commit/commit_steps.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "commit/commit_journal.h"
#include "commit/commit_plan.h"
#include "commit/undo.h"
#include "engine/rename_options.h"
#include "support/forwarding_file_system.h"
#include "support/temp_drive.h"

namespace kestrel::commit {
namespace {

using platform::FileError;
using support::TempDrive;

EntryPlan Plan(std::string source, std::string target, std::string name, std::string newName) {
    return {SplitEntry(name), newName, SmartFolderPart(newName), source, target};
}

// Copies fail, or deletes fail, as a test asks.
struct Failing : support::ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    FileError Copy(std::string_view from, std::string_view to) override {
        return copyError != 0 ? FileError::Make(copyError) : inner_.Copy(from, to);
    }
    FileError DeleteFile(std::string_view path) override {
        return path == refusedDelete ? FileError::Make(platform::kPermissionDenied)
                                     : inner_.DeleteFile(path);
    }
    int copyError = 0;
    std::string refusedDelete;
};

class CommitStepsTest : public ::testing::Test {
  protected:
    CommitStepsTest() { drive.FileSystem().Drives().Map('U', other.HostRoot()); }

    TempDrive drive;
    TempDrive other{"/dev/shm", 'U'};
    Failing fileSystem{drive.FileSystem()};
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

}  // namespace
}  // namespace kestrel::commit
