#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/regex_replace.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;
using PreviewTest = support::WorkspaceTest;

TEST_F(PreviewTest, OnlySelectedRowsThatChangeShowANewNameCountAndTakeANumber) {
    for (const char* name : {"IMG_001.jpg", "IMG_002.jpg", "notes.txt", "same.txt"}) {
        drive.WriteFile(name, "");
    }
    workspace.options.cboFilter = engine::kSelectMatching;
    workspace.options.txtFilter = "*.jpg";
    Refresh();
    EXPECT_EQ(workspace.TargetFileList(), (std::vector<std::string>{"", "", "", ""}));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), " items to be changed.");
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source), "4 items listed.");

    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "Holiday/";
    workspace.SetSelected(0, false);
    workspace.SetSelected(2, true);
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"", "Holiday\\IMG_002.jpg", "Holiday\\notes.txt", ""}));
    workspace.options.chkInsertStart = 0;
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = "?";
    workspace.options.cboAutonumber = "Auto";
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"", "IMG_0021.jpg", "notes2.txt", ""}));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), "2 items to be changed.");
    EXPECT_EQ(ui.LastStatus(StatusPanel::Message), "Ready.");
}

TEST_F(PreviewTest, TargetTextFollowsThePathDisplay) {
    drive.WriteFile("A\\Sub\\old.txt", "");
    drive.MakeFolder("B");
    workspace.txtSourceDir = TempDrive::Path("A\\");
    workspace.txtDestDir = TempDrive::Path("B\\");
    workspace.options.chkRecurse = 1;
    workspace.options.chkReplaceWholeName = 1;
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "new";
    const std::pair<int, std::string> expected[] = {
        {engine::kShowFilenameOnly, "new.txt"},
        {engine::kShowPartialPath, "Sub\\new.txt"},
        {engine::kShowFullPath, TempDrive::Path("B\\Sub\\new.txt")},
    };
    for (const auto& [mode, text] : expected) {
        SCOPED_TRACE(mode);
        workspace.options.cboPathDisplay = mode;
        Refresh();
        ASSERT_EQ(workspace.SourceFileList().size(), 1u);  // files only: Sub\ is no row
        EXPECT_EQ(workspace.TargetFileList().back(), text);
    }
}

TEST_F(PreviewTest, ChecksFlagRowsAndTheLastFailingCheckWins) {
    drive.WriteFile("a1.txt", "");
    drive.WriteFile("b1.txt", "");
    drive.WriteFile("1.txt", "");
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "Holiday\\";
    workspace.preferences.maxLengthCheck = 1;
    workspace.preferences.maxLength = 5;
    Refresh();
    EXPECT_EQ(workspace.ErrorMessages()[0], "");
    EXPECT_EQ(workspace.ErrorMessages()[1], "Filename exceeds 5 characters in length.");
    // A later failing check replaces the length check.
    workspace.options.txtInsertStart = "Holiday\\?";
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.ErrorMessages()[1], "Invalid characters");

    workspace.options.chkInsertStart = 0;
    workspace.options.chkCrop = 1;  // delete the first character
    workspace.RefreshTargetList();
    // '1.txt' is not selected: 'a1.txt' would land on it, and 'b1.txt' on the
    // same target as 'a1.txt'.
    workspace.SetSelected(0, false);
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.ErrorMessages()[1], "Filename already exists");
    EXPECT_EQ(workspace.ErrorMessages()[2], "Duplicate filename");
    EXPECT_TRUE(workspace.TargetFlagged(1));
    EXPECT_FALSE(workspace.TargetFlagged(0));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest),
              "Warning: 2 possible errors in 2 items to be changed.");

    workspace.preferences.errorChecking = 1;
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.ErrorCount(), 0);
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), "2 items to be changed.");
}

TEST_F(PreviewTest, CaseOnlyChangeCollidesOnlyWithAnotherFileOfExactlyThatName) {
    drive.WriteFile("readme.TXT", "");
    drive.WriteFile("a1.txt", "");
    drive.WriteFile("A1.TXT", "another file");
    workspace.options.cboCaseHandling = static_cast<int>(engine::CaseHandling::AllCaps);
    Refresh();
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"a1.txt", "A1.TXT", "readme.TXT"}));
    EXPECT_EQ(workspace.TargetFileList(), (std::vector<std::string>{"A1.TXT", "", "README.TXT"}));
    EXPECT_EQ(workspace.ErrorMessages(),
              (std::vector<std::string>{"Filename already exists", "", ""}));
}

// Another process changes the folder after the listing; the next preview,
// without a listing, must see the disk as it is then. The rows are a.txt,
// b.txt and xb.txt, the first two selected to get an "x" in front, so b.txt
// starts flagged.
TEST_F(PreviewTest, ExistingTargetCheckSeesChangesMadeFromOutsideSinceTheListing) {
    constexpr const char* kExists = "Filename already exists";
    struct Case {
        const char* what;
        const char* folder;  // where the files are, under the working folder
        int recurse;
        const char* outside;  // a shell command; $W is the working folder's host path
        std::vector<std::string> messages;
        const char* status;
    } const cases[] = {
        {"a file appears under a new name",
         "",
         0,
         "touch \"$W/xa.txt\"",
         {kExists, kExists, ""},
         "Warning: 2 possible errors in 2 items to be changed."},
        {"in a sub-folder of a recursive listing",
         "Sub\\",
         1,
         "touch \"$W/Sub/xa.txt\"",
         {kExists, kExists, ""},
         "Warning: 2 possible errors in 2 items to be changed."},
        {"a file under a new name goes away",
         "",
         0,
         "rm \"$W/xb.txt\"",
         {"", "", ""},
         "2 items to be changed."},
        {"the folder is moved away and another takes its path",
         "",
         0,
         "mv \"$W\" \"$W.old\" && mkdir \"$W\" && touch \"$W/xa.txt\"",
         {kExists, "", ""},
         "Warning: 1 possible error in 2 items to be changed."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string working = "W" + std::to_string(&c - cases) + "\\";
        for (const char* name : {"a.txt", "b.txt", "xb.txt"}) {
            drive.WriteFile(working + c.folder + name, "");
        }
        workspace.txtSourceDir = workspace.txtDestDir = TempDrive::Path(working);
        workspace.options = support::NeutralOptions();
        workspace.options.chkRecurse = c.recurse;
        workspace.options.chkInsertStart = 1;
        workspace.options.txtInsertStart = "x";
        workspace.options.cboFilter = engine::kSelectMatching;
        workspace.options.txtFilter = "?.txt";
        workspace.preferences.errorChecking = 3;
        Refresh();
        ASSERT_EQ(workspace.ErrorMessages(), (std::vector<std::string>{"", kExists, ""}));

        std::string host = drive.HostPath(working);
        host.pop_back();
        const std::string command = "W='" + host + "'; " + c.outside;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        workspace.RefreshTargetList();
        EXPECT_EQ(workspace.ErrorMessages(), c.messages);
        EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), c.status);
    }
}

TEST_F(PreviewTest, DotFoldersInANewNameAreInvalidAtEveryCheckingLevel) {
    drive.WriteFile("a.txt", "");
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "..\\";
    for (int level : {1, 3}) {
        SCOPED_TRACE(level);
        workspace.preferences.errorChecking = level;
        Refresh();
        EXPECT_EQ(workspace.TargetFileList()[0], "..\\a.txt");
        EXPECT_EQ(workspace.ErrorMessages()[0], "Invalid characters");
    }
}

// A name the search pattern runs out of steps on keeps its name: its row is
// flagged with an empty target, Do It passes it over and renames the rest.
TEST_F(PreviewTest, ANameThePatternTakesTooLongOnIsFlaggedAndDoItLeavesIt) {
    const std::string slow = std::string(40, 'a') + "b.txt";
    drive.WriteFile(slow, "slow");
    drive.WriteFile("caa.txt", "quick");
    workspace.options.chkSearchReplace = workspace.options.chkRegex = 1;
    workspace.options.chkExtIncluded = 0;
    workspace.options.txtSearch = "(a+)+$";
    workspace.options.txtReplace = "x";
    Refresh();
    ASSERT_EQ(SourceTexts(), (std::vector<std::string>{slow, "caa.txt"}));
    EXPECT_EQ(workspace.TargetFileList(), (std::vector<std::string>{"", "cx.txt"}));
    EXPECT_EQ(workspace.ErrorMessages(),
              (std::vector<std::string>{std::string(engine::kPatternTooSlow), ""}));
    EXPECT_TRUE(workspace.TargetFlagged(0));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest),
              "Warning: 1 possible error in 1 item to be changed.");

    workspace.DoIt();
    EXPECT_EQ(drive.ReadFile(slow), "slow");
    EXPECT_EQ(drive.ReadFile("cx.txt"), "quick");
    EXPECT_EQ(workspace.UndoHistory().Newest().size(), 1u);
}

// A template can bring a pattern the field check would have refused: nothing
// is renamed, and the status bar says why instead of counting.
TEST_F(PreviewTest, APatternThatDoesNotCompileChangesNoNameAndTheStatusSaysWhy) {
    drive.WriteFile("IMG_1.jpg", "");
    workspace.options.chkSearchReplace = workspace.options.chkRegex = 1;
    workspace.options.txtSearch = "(IMG";
    workspace.options.txtReplace = "$1";
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "new ";
    Refresh();
    EXPECT_EQ(workspace.TargetFileList(), std::vector<std::string>{""});
    const std::string warning =
        "Names are left unchanged. The search text is not a valid regular expression: incorrectly "
        "nested parentheses (at character 4).";
    EXPECT_EQ(workspace.PreviewWarning(), warning);
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), warning);

    workspace.options.txtSearch = "(IMG)_";
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(), std::vector<std::string>{"new IMG1.jpg"});
    EXPECT_EQ(workspace.PreviewWarning(), "");
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), "1 item to be changed.");
}

TEST_F(PreviewTest, ProgressTextIsWrittenForRowsWithBitOneSet) {
    for (int i = 0; i < 8; ++i) {
        drive.WriteFile("f" + std::to_string(i) + ".txt", "");
    }
    Refresh();
    EXPECT_EQ(
        ui.StatusHistory(StatusPanel::Message, "Refreshing"),
        (std::vector<std::string>{
            "Refreshing preview list: 25% complete.", "Refreshing preview list: 38% complete.",
            "Refreshing preview list: 75% complete.", "Refreshing preview list: 88% complete."}));
}

TEST_F(PreviewTest, SoundPlaysAtTheThresholdAcrossMidnightAndTheBusyFlagSuppressesTheRefresh) {
    workspace.sounds.files = {"done.wav", "warn.wav"};
    workspace.preferences.soundsThreshold = 20;
    // 23:59:50 to 00:00:10 is twenty seconds.
    workspace.operationStartTime = 86390;
    clock.Set(10);
    workspace.RefreshTargetList();
    EXPECT_EQ(ui.sounds(), (std::vector<std::string>{"done.wav"}));
    EXPECT_EQ(workspace.operationStartTime, -1);

    workspace.preferences.soundsThreshold = 21;
    workspace.operationStartTime = 86390;
    workspace.RefreshTargetList();
    EXPECT_EQ(ui.sounds().size(), 1u);

    workspace.preferences.soundsThreshold = 0;
    workspace.preferences.soundsMuted = 1;
    workspace.RefreshTargetList();
    EXPECT_EQ(ui.sounds().size(), 1u);

    // The busy flag suppresses the refresh.
    drive.WriteFile("a.txt", "");
    Refresh();
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = "!";
    workspace.busyFlag = true;
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(), (std::vector<std::string>{""}));
    workspace.RefreshSourceList();
    EXPECT_EQ(workspace.TargetFileList(), (std::vector<std::string>{""}));
    EXPECT_TRUE(workspace.Buttons().Enabled(CommandButton::DoIt));
}

using support::TempDrive;

class WorkspaceTemplateTest : public support::WorkspaceTest {
  protected:
    WorkspaceTemplateTest() : store(drive.HostPath("")) {
        workspace.AttachSettings(
            store, {TempDrive::Path("prog\\"), TempDrive::Path("data\\"), TempDrive::Path("")});
    }
    settings::SettingsStore store;
};

TEST_F(WorkspaceTemplateTest, MissingTemplateChangesNothingAndASavedOneLoadsBackWithItsFolders) {
    // A missing template changes nothing.
    workspace.busyFlag = true;
    workspace.options.chkCrop = 1;
    EXPECT_EQ(workspace.LoadTemplate(5), 0);
    EXPECT_TRUE(workspace.busyFlag);
    EXPECT_EQ(workspace.options.chkCrop, 1);
    EXPECT_EQ(workspace.txtSourceDir, TempDrive::Path(""));

    workspace.busyFlag = false;
    drive.MakeFolder("Photos");
    workspace.txtSourceDir = TempDrive::Path("Photos\\");
    workspace.options.txtInsertEnd = "end";
    workspace.preferences.maxLength = 31;
    workspace.SaveTemplate(7, "Crop it");

    workspace.options = engine::RenameOptions{};
    workspace.preferences = settings::Preferences{};
    workspace.txtSourceDir = TempDrive::Path("");
    EXPECT_EQ(workspace.LoadTemplate(7), 1);
    EXPECT_FALSE(workspace.busyFlag);
    EXPECT_EQ(workspace.options.chkCrop, 1);
    EXPECT_EQ(workspace.options.txtInsertEnd, "end");
    EXPECT_EQ(workspace.preferences.maxLength, 31);
    EXPECT_EQ(workspace.txtSourceDir, TempDrive::Path("Photos\\"));
    EXPECT_EQ(workspace.txtDestDir, TempDrive::Path("Photos\\"));
    EXPECT_EQ(workspace.WorkingFolder(), TempDrive::Path("Photos\\"));
}

}  // namespace
}  // namespace kestrel::app
