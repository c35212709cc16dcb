// Browse rules the window tests do not reach: fallbacks, refusals, edge paths.
#include <gtest/gtest.h>

#include "browse/drive_letters.h"
#include "browse/folder_browser.h"
#include "browse/folder_navigation.h"
#include "settings/key_paths.h"
#include "settings/temp_config_folder.h"
#include "support/temp_drive.h"

namespace kestrel::browse {
namespace {

using support::TempDrive;

class BrowseRules : public ::testing::Test {
  protected:
    BrowseRules() { drive.MakeFolder("Photos\\2001"); }
    platform::FileSystem& Files() { return drive.FileSystem(); }
    TempDrive drive;
};

// The target folder goes with the working folder when they were one folder,
// or when locked; a target folder the user set apart stays.
TEST_F(BrowseRules, OkChoosesACapitalizedFolderForItsKindAndTheTargetFollowsWhenItWasTheSame) {
    // clang-format off
    const struct { const char* tree; BrowseTarget target; bool locked; const char* before; const char* folders; } rows[] = {
        {"t:\\Photos", BrowseTarget::Source, false, "T:\\Old\\",  "T:\\Photos\\|T:\\Old\\"},
        {"t:\\Photos", BrowseTarget::Source, false, "T:\\Work\\", "T:\\Photos\\|T:\\Photos\\"},
        {"t:\\Photos", BrowseTarget::Source, false, "T:\\Work",   "T:\\Photos\\|T:\\Photos\\"},
        {"T:\\",       BrowseTarget::Target, false, "T:\\Old\\",  "T:\\Work\\|T:\\"},
        {"T:\\",       BrowseTarget::Target, false, "T:\\Work\\", "T:\\Work\\|T:\\"},
        {"T:\\a\\",    BrowseTarget::Target, true,  "T:\\Old\\",  "T:\\a\\|T:\\a\\"},
        {"T:\\a",      BrowseTarget::Source, true,  "T:\\Old\\",  "T:\\a\\|T:\\a\\"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.tree) + " " + row.before);
        std::string working = "T:\\Work\\", target = row.before;
        ApplyChosenFolder(ChosenFolder(row.tree), row.target, row.locked, working, target);
        EXPECT_EQ(working + "|" + target, row.folders);
        // Back up one level takes the same rule.
        working = "T:\\Work\\";
        target = row.before;
        drive.MakeFolder("Work");
        ASSERT_TRUE(BackUpOneLevel(drive.FileSystem(), row.locked, working, target));
        EXPECT_EQ(target,
                  row.locked || SameFolderText(row.before, "T:\\Work\\") ? "T:\\" : row.before);
    }
}

TEST_F(BrowseRules, OpeningFallsBackToTheLastDriveRootThenToTheProgramFolder) {
    const std::string program = TempDrive::Path("Photos\\");
    // clang-format off
    const struct { const char* text; const char* lastTree; const char* tree; bool replaced; } rows[] = {
        {"t:\\Photos\\2001", "C:\\", "T:\\Photos\\2001\\", false},
        {"T:\\Gone\\",       "t:\\Photos\\2001\\", "T:\\", true},
        {"T:\\Gone\\",       "Q:\\x\\", "T:\\Photos\\", true},
        {"",                 "", "T:\\Photos\\", true},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        const BrowserStart start = StartBrowsing(Files(), row.text, row.lastTree, program);
        EXPECT_EQ(start.treeFolder, row.tree);
        EXPECT_EQ(start.folderTextReplaced, row.replaced);
    }
}

TEST_F(BrowseRules, DropsOutsideTheDrivesTreePathsAndDriveMessages) {
    EXPECT_EQ(DroppedFolder(Files(), drive.FileSystem().Drives(), "relative/a.jpg"), "");

    EXPECT_EQ(TreePath('T', "/m/t", "/m/t/a/b"), "T:\\a\\b");
    EXPECT_EQ(TreePath('T', "/m/t", "/m/tx"), "");
    EXPECT_EQ(TreePath('C', "/", "/home"), "C:\\home");

    drive.FileSystem().Drives().Map('A', drive.HostPath("gone"));
    EXPECT_EQ(DriveUnavailableMessage(Files(), "t:"), "");
    EXPECT_EQ(DriveUnavailableMessage(Files(), "A:"), "Formatted disk not found in drive A:");
}

TEST_F(BrowseRules, MapDriveRefusesTakenLettersAndMissingFoldersAndNeverTakesC) {
    settings::TempConfigFolder config;
    settings::SettingsStore store(config.Path());
    platform::DriveTable& drives = drive.FileSystem().Drives();
    const std::string share = drive.HostPath("Photos");
    EXPECT_EQ(FreeDriveLetters(drives).front(), 'D');
    EXPECT_EQ(FreeDriveLetters(drives).back(), 'B');
    EXPECT_EQ(MapDrive(Files(), drives, &store, 'T', share), "Drive T: is already in use.");
    EXPECT_EQ(MapDrive(Files(), drives, &store, 'd', share + "/none"),
              "The folder " + share + "/none is not there.");
    for (const char* elsewhere : {"Photos", "T:\\Photos"}) {
        EXPECT_EQ(MapDrive(Files(), drives, &store, 'd', elsewhere),
                  "A drive letter stands for a folder of this computer: write it the way this "
                  "computer does, starting with / (for example /media/usb), not " +
                      std::string(elsewhere) + ".");
    }
    EXPECT_EQ(MapDrive(Files(), drives, &store, 'd', share + "/"), "");
    EXPECT_EQ(store.ReadText(settings::Scope::Machine, settings::kDrivesKey, "D:"), share);
    EXPECT_EQ(ListDrives(drives).front().letter, 'C');
    EXPECT_EQ(ListDrives(drives).at(1).hostFolder, share);

    EXPECT_FALSE(DisconnectDrive(drives, &store, 'C'));
}

}  // namespace
}  // namespace kestrel::browse
