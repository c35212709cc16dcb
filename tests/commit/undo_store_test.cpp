// The undo log kept between runs: what it keeps, how it is kept on disk, and
// the checks an undo makes before it moves an entry back.
#include "commit/undo_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "commit/undo.h"
#include "support/temp_drive.h"

namespace kestrel::commit {
namespace {

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

}  // namespace
}  // namespace kestrel::commit
