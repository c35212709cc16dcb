#include "commit/commit_steps.h"

#include <gtest/gtest.h>

#include <string>

#include "commit/undo.h"
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

TEST_F(CommitStepsTest, AFailingStepAcrossDrivesLeavesEveryFileWhereItWas) {
    ASSERT_TRUE(other.Valid());
    drive.WriteFile("a.txt", "bytes");
    other.WriteFile("c.txt", "kept");
    fileSystem.copyError = platform::kDiskFull;  // a failed commit copy is shown by the workspace
    EXPECT_EQ(RestoreEntry(fileSystem, {"T:\\c.txt", "U:\\c.txt"}).number, platform::kDiskFull);
    fileSystem.copyError = 0;
    fileSystem.refusedDelete = "T:\\a.txt";  // the copy is taken back
    EXPECT_EQ(CommitEntry(fileSystem, Plan("T:\\", "U:\\", "a.txt", "b.txt"), false).error.number,
              platform::kPermissionDenied);
    EXPECT_EQ(drive.ReadFile("a.txt"), "bytes");
    EXPECT_FALSE(other.Exists("b.txt"));
    EXPECT_EQ(other.ReadFile("c.txt"), "kept");
    EXPECT_FALSE(drive.Exists("c.txt"));
}

TEST_F(CommitStepsTest, FolderWithSmartFolderPartStaysAndOnlyGetsItsTree) {
    drive.WriteFile("Photos\\a.jpg", "");
    const StepResult result =
        CommitEntry(fileSystem, Plan("T:\\", "T:\\", "Photos\\", "2001\\Photos"), false);
    EXPECT_TRUE(result.error.Ok());
    EXPECT_FALSE(result.folderMoved);
    EXPECT_TRUE(drive.Exists("Photos\\a.jpg"));
    EXPECT_TRUE(drive.Exists("2001"));
}

}  // namespace
}  // namespace kestrel::commit
