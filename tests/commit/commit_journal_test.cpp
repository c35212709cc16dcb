#include "commit/commit_journal.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <string>

#include "commit/undo.h"
#include "support/temp_drive.h"

namespace kestrel::commit {
namespace {

int Mode(const std::string& path) {
    struct stat info {};
    ::stat(path.c_str(), &info);
    return static_cast<int>(info.st_mode & 07777);
}

TEST(CommitJournal, HoldsWhatWasFlushedLockedAndNothingACrashCutShort) {
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
        journal.Add(StepKind::Copy, "T:\\c", "T:\\d");
        journal.Add(StepKind::FolderTree, "T:\\e", "T:\\f");
        journal.Withdraw(2);
        journal.Add(g.kind, g.oldPath, g.newPath);
        ASSERT_TRUE(journal.Flush().Ok());
        journal.Add(StepKind::Rename, "T:\\never", "T:\\flushed");
        // Its writer still holds it: no other copy takes it for abandoned.
        EXPECT_TRUE(platform::TakeAbandonedJournals(folder).empty());
    }
    std::vector<platform::JournalFile> left = platform::TakeAbandonedJournals(folder);
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(Mode(left[0].Path()), 0600);
    EXPECT_EQ(Mode(folder), 0700);
    std::string bytes;
    ASSERT_TRUE(left[0].ReadAll(bytes).Ok());
    const auto contents = ReadJournal(bytes);
    ASSERT_TRUE(contents);
    EXPECT_EQ(contents->operation, JournalOperation::Undo);
    EXPECT_EQ(contents->level, 3);
    EXPECT_EQ(contents->drives.HostFolder('T'), "/tmp/photos");
    EXPECT_FALSE(contents->drives.IsMapped('C'));
    EXPECT_EQ(contents->steps, (std::vector<UndoEntry>{a, g}));

    // Cut anywhere or with a byte changed, a record is whole or not there.
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        std::string damaged = bytes;
        damaged[size] ^= 0x20;
        for (const std::string& text : {bytes.substr(0, size), damaged}) {
            for (const UndoEntry& step : ReadJournal(text).value_or(JournalContents{}).steps) {
                EXPECT_TRUE(step == a || step == g || step.oldPath == "T:\\c" ||
                            step.oldPath == "T:\\e")
                    << size;
            }
        }
    }
    left[0].Remove();
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST(RestoreInterrupted, JudgesEachStepByWhatIsOnDisk) {
    support::TempDrive drive;
    platform::FileSystem& fs = drive.FileSystem();
    struct Row {
        StepKind kind;
        const char* before;  // o: old name there, n: new name there, c: a copy of old as new
        const char* after;
        bool underNewName;
        int unrestored;
    };
    const Row rows[] = {
        {StepKind::Rename, "n", "o", true, 0},             // ran: goes back
        {StepKind::Rename, "o", "o", false, 0},            // never ran
        {StepKind::Rename, "on", "on", false, 0},          // never ran: the new name was taken
        {StepKind::MoveAcrossDrives, "oc", "o", true, 0},  // cut between copy and delete
        {StepKind::Copy, "oc", "oc", false, 0},            // an undo keeps copies
        {StepKind::Rename, "", "", false, 53},             // gone from both names
    };
    std::vector<UndoEntry> steps;
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        const std::string o = "o" + std::to_string(i);
        const std::string n = "n" + std::to_string(i);
        const std::string before = rows[i].before;
        if (before.find('o') != std::string::npos) {
            drive.WriteFile(o, "file " + o);
        }
        if (before.find('n') != std::string::npos) {
            drive.WriteFile(n, before == "n" ? "file " + o : "another file");
        }
        if (before.find('c') != std::string::npos) {
            ASSERT_TRUE(fs.Copy(drive.Path(o), drive.Path(n)).Ok());
        }
        steps.push_back({drive.Path(o), drive.Path(n), rows[i].kind});
        EXPECT_EQ(UnderNewName(fs, steps.back()), rows[i].underNewName) << i;
    }
    // Newest first: the file inside a renamed folder goes back before the folder.
    drive.WriteFile("G\\b", "inside");
    steps.push_back({drive.Path("F"), drive.Path("G"), StepKind::Rename});
    steps.push_back({drive.Path("G\\a"), drive.Path("G\\b"), StepKind::Rename});

    const std::vector<UnrestoredEntry> unrestored = RestoreInterrupted(fs, steps);
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(i);
        const std::string o = "o" + std::to_string(i);
        const std::string after = rows[i].after;
        EXPECT_EQ(drive.Exists(o), after.find('o') != std::string::npos);
        EXPECT_EQ(drive.Exists("n" + std::to_string(i)),
                  after.find_first_of("nc") != std::string::npos);
        if (drive.Exists(o)) {
            EXPECT_EQ(drive.ReadFile(o), "file " + o);
        }
    }
    EXPECT_EQ(drive.ReadFile("F\\a"), "inside");
    ASSERT_EQ(unrestored.size(), 1u);
    EXPECT_EQ(unrestored[0].entry.oldPath, drive.Path("o5"));
    EXPECT_EQ(unrestored[0].error.number, 53);
}

}  // namespace
}  // namespace kestrel::commit
