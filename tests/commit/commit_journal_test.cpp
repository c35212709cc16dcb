#include "commit/commit_journal.h"

#include <gtest/gtest.h>

#include <string>

#include "support/temp_drive.h"

namespace kestrel::commit {
namespace {

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

}  // namespace
}  // namespace kestrel::commit
