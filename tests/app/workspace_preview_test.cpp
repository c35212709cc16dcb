// The Workspace's lists: what a listing reads and says, what the preview
// shows and flags, and the templates that set them up.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "engine/regex_replace.h"
#include "platform/file_attributes.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;
using PreviewTest = support::WorkspaceTest;
using Texts = std::vector<std::string>;

TEST_F(PreviewTest, OnlySelectedRowsThatChangeShowANewNameCountAndTakeANumber) {
    drive.WriteFiles({"IMG_001.jpg", "IMG_002.jpg", "notes.txt", "same.txt"});
    workspace.options.cboFilter = engine::kSelectMatching;
    workspace.options.txtFilter = "*.jpg";
    Refresh();
    EXPECT_EQ(workspace.TargetFileList(), (Texts{"", "", "", ""}));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), " items to be changed.");
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source), "4 items listed.");

    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "Holiday/";
    workspace.SetSelected(0, false);
    workspace.SetSelected(2, true);
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(),
              (Texts{"", "Holiday\\IMG_002.jpg", "Holiday\\notes.txt", ""}));
    workspace.options.chkInsertStart = 0;
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = "?";
    workspace.options.cboAutonumber = "Auto";
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(), (Texts{"", "IMG_0021.jpg", "notes2.txt", ""}));
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
    drive.WriteFiles({"a1.txt", "b1.txt", "1.txt"});
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "Holiday\\";
    workspace.preferences.maxLengthCheck = 1;
    workspace.preferences.maxLength = 5;
    Refresh();
    EXPECT_EQ(workspace.ErrorMessage(0), "");
    EXPECT_EQ(workspace.ErrorMessage(1), "Filename exceeds 5 characters in length.");
    // A later failing check replaces the length check.
    workspace.options.txtInsertStart = "Holiday\\?";
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.ErrorMessage(1), "Invalid characters");

    workspace.options.chkInsertStart = 0;
    workspace.options.chkCrop = 1;  // delete the first character
    workspace.RefreshTargetList();
    // '1.txt' is not selected: 'a1.txt' would land on it, and 'b1.txt' on the
    // same target as 'a1.txt'.
    workspace.SetSelected(0, false);
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.ErrorMessage(1), "Filename already exists");
    EXPECT_EQ(workspace.ErrorMessage(2), "Duplicate filename");
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
    drive.WriteFiles({"readme.TXT", "a1.txt"});
    drive.WriteFile("A1.TXT", "another file");
    workspace.options.cboCaseHandling = static_cast<int>(engine::CaseHandling::AllCaps);
    Refresh();
    EXPECT_EQ(SourceTexts(), (Texts{"a1.txt", "A1.TXT", "readme.TXT"}));
    EXPECT_EQ(workspace.TargetFileList(), (Texts{"A1.TXT", "", "README.TXT"}));
    EXPECT_EQ(workspace.EnglishErrorMessages(), (Texts{"Filename already exists", "", ""}));
}

// Another process changes the folder after the listing; the next preview,
// without a listing, must see the disk as it is then. The rows are a.txt,
// b.txt and xb.txt, the first two selected to get an "x" in front, so b.txt
// starts flagged.
TEST_F(PreviewTest, ExistingTargetCheckSeesChangesMadeFromOutsideSinceTheListing) {
    constexpr const char* kExists = "Filename already exists";
    // What happens; where the files are, under the working folder, and
    // whether the listing recursed; a shell command, $W standing for the
    // working folder's host path; the rows flagged after it ("+"), and the
    // status.
    const std::tuple<const char*, const char*, int, const char*, const char*, const char*> cases[] =
        {
            {"a file appears under a new name", "", 0, "touch \"$W/xa.txt\"", "++-",
             "Warning: 2 possible errors in 2 items to be changed."},
            {"in a sub-folder of a recursive listing", "Sub\\", 1, "touch \"$W/Sub/xa.txt\"", "++-",
             "Warning: 2 possible errors in 2 items to be changed."},
            {"a file under a new name goes away", "", 0, "rm \"$W/xb.txt\"", "---",
             "2 items to be changed."},
            {"the folder is moved away and another takes its path", "", 0,
             "mv \"$W\" \"$W.old\" && mkdir \"$W\" && touch \"$W/xa.txt\"", "+--",
             "Warning: 1 possible error in 2 items to be changed."},
        };
    int round = 0;
    for (const auto& [what, folder, recurse, outside, flagged, status] : cases) {
        SCOPED_TRACE(what);
        const std::string working = "W" + std::to_string(round++) + "\\";
        for (const char* name : {"a.txt", "b.txt", "xb.txt"}) {
            drive.WriteFile(working + folder + name, "");
        }
        workspace.txtSourceDir = workspace.txtDestDir = TempDrive::Path(working);
        workspace.options = support::NeutralOptions();
        workspace.options.chkRecurse = recurse;
        workspace.options.chkInsertStart = 1;
        workspace.options.txtInsertStart = "x";
        workspace.options.cboFilter = engine::kSelectMatching;
        workspace.options.txtFilter = "?.txt";
        workspace.preferences.errorChecking = 3;
        Refresh();
        ASSERT_EQ(workspace.EnglishErrorMessages(), (Texts{"", kExists, ""}));

        std::string host = drive.HostPath(working);
        host.pop_back();
        const std::string command = "W='" + host + "'; " + outside;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
        workspace.RefreshTargetList();
        Texts messages;
        for (const char flag : std::string(flagged)) {
            messages.push_back(flag == '+' ? kExists : "");
        }
        EXPECT_EQ(workspace.EnglishErrorMessages(), messages);
        EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), status);
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
        EXPECT_EQ(workspace.ErrorMessage(0), "Invalid characters");
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
    ASSERT_EQ(SourceTexts(), (Texts{slow, "caa.txt"}));
    EXPECT_EQ(workspace.TargetFileList(), (Texts{"", "cx.txt"}));
    EXPECT_EQ(workspace.EnglishErrorMessages(), (Texts{std::string(engine::kPatternTooSlow), ""}));
    EXPECT_TRUE(workspace.TargetFlagged(0));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest),
              "Warning: 1 possible error in 1 item to be changed.");

    workspace.DoIt();
    EXPECT_EQ(drive.ReadFile(slow), "slow");
    EXPECT_EQ(drive.ReadFile("cx.txt"), "quick");
    EXPECT_EQ(workspace.UndoHistory().Newest().size(), 1u);
}

TEST_F(PreviewTest, SoundPlaysAcrossMidnightAndTheBusyFlagSuppressesTheRefresh) {
    workspace.sounds.files = {"done.wav", "warn.wav"};
    workspace.preferences.soundsThreshold = 20;
    // 23:59:50 to 00:00:10 is twenty seconds.
    workspace.operationStartTime = 86390;
    clock.Set(10);
    workspace.RefreshTargetList();
    EXPECT_EQ(ui.sounds(), (Texts{"done.wav"}));
    EXPECT_EQ(workspace.operationStartTime, -1);

    // The busy flag suppresses the refresh.
    drive.WriteFile("a.txt", "");
    Refresh();
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = "!";
    workspace.busyFlag = true;
    workspace.RefreshTargetList();
    EXPECT_EQ(workspace.TargetFileList(), (Texts{""}));
    workspace.RefreshSourceList();
    EXPECT_EQ(workspace.TargetFileList(), (Texts{""}));
    EXPECT_TRUE(workspace.Buttons().Enabled(CommandButton::DoIt));
}

using ListingTest = support::WorkspaceTest;

constexpr const char* kInterruptText =
    "User-specified interrupt after 500 items.  (You may change this value in Preferences.)  "
    "\r\rDo you wish to abort processing?\r\r"
    "Press Cancel to prevent further warnings during this operation.";

class ManyFilesTest : public ListingTest {
  protected:
    void MakeFiles(int count) {
        for (int i = 0; i < count; ++i) {
            drive.WriteFile("f" + std::to_string(i), "");
        }
        workspace.preferences.maxList = 1;
        workspace.preferences.maxListCutoff = 500;
    }
};

TEST_F(ManyFilesTest, InterruptIsAskedEveryCutoffEntriesUntilCancelledOrAnsweredYes) {
    MakeFiles(1200);
    ui.QueueAnswer(Answer::No);
    ui.QueueAnswer(Answer::No);
    Refresh();
    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].text, kInterruptText);
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(workspace.SourceFileList().size(), 1200u);
    ui.QueueAnswer(Answer::Cancel);
    Refresh();
    EXPECT_EQ(ui.boxes().size(), 3u);  // no further question in this listing
    EXPECT_EQ(workspace.SourceFileList().size(), 1200u);
    ui.QueueAnswer(Answer::Yes);
    Refresh();
    EXPECT_EQ(workspace.SourceFileList().size(), 500u);
    EXPECT_EQ(workspace.InterruptAnswer(), Answer::Yes);
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source), "500 items listed.");
}

TEST_F(ListingTest, StatusTextsOfAListingAndAutoRefreshOff) {
    Refresh();
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source), " items listed.");
    EXPECT_EQ(ui.LastStatus(StatusPanel::Dest), " items to be changed.");
    EXPECT_TRUE(workspace.Buttons().Enabled(CommandButton::DoIt));
    EXPECT_FALSE(workspace.Buttons().Enabled(CommandButton::Undo));
    for (int i = 0; i < 6; ++i) {
        drive.WriteFile("f" + std::to_string(i), "");
    }
    workspace.preferences.autoRefresh = 0;
    workspace.RefreshSourceList();
    EXPECT_TRUE(workspace.SourceFileList().empty()) << "only a forced listing reads";
    Refresh();
    EXPECT_EQ(ui.StatusHistory(StatusPanel::Message, "Reading"),
              (Texts{"Reading item 2...", "Reading item 3...", "Reading item 6..."}));
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source), "6 items listed.");
}

// 32,768 synthetic entries, so that the cap is reached without touching a disk.
class EndlessFolder : public support::ForwardingFileSystem {
  public:
    using ForwardingFileSystem::ForwardingFileSystem;

    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view,
                                                       platform::FileError&) override {
        return std::make_unique<Reader>();
    }

  private:
    struct Reader : platform::FolderReader {
        bool Next(platform::DirEntry& entry) override {
            if (next >= 32768) {
                return false;
            }
            entry.name = "f" + std::to_string(next++);
            entry.attributes = platform::kAttrArchive;
            return true;
        }
        const platform::FileError& Error() const override { return error; }
        int next = 0;
        platform::FileError error;
    };
};

using ListingLimit = support::WorkspaceTestOn<EndlessFolder>;

TEST_F(ListingLimit, TheRowCapEndsTheListingWithAWarning) {
    workspace.RefreshSourceList();
    EXPECT_EQ(workspace.SourceFileList().size(), 32767u);
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source),
              "Warning: maximum of 32,767 items reached; remainder ignored.");
}

}  // namespace
}  // namespace kestrel::app
