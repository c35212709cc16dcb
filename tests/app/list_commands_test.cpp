#include "app/list_commands.h"

#include <gtest/gtest.h>

#include "app/execute.h"
#include "app/single_item.h"
#include "support/recording_programs.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;

class ListCommandsTest : public support::WorkspaceTest {
  protected:
    /// Lists the drive and points at character `mouseX` of the row showing `text`.
    void PointAt(const std::string& text, int mouseX) {
        Refresh();
        const auto texts = SourceTexts();
        commands.mouseY =
            static_cast<int>(std::find(texts.begin(), texts.end(), text) - texts.begin());
        ASSERT_TRUE(commands.OverRow()) << text;
        commands.mouseX = mouseX;
    }

    ListCommands commands{workspace};
};

TEST_F(ListCommandsTest, PositionCommandsWriteTheOptionsAsTypingWould) {
    drive.WriteFile("abcdef.txt", "");
    drive.WriteFile("Sub\\abc.txt", "");
    struct Case {
        PositionCommand command;
        const char* row;
        int mouseX;
        void (*before)(engine::RenameOptions&);
        Follow follow;
        std::string position, insert, autonumber;  // crop or insert position, insert text
    };
    using P = PositionCommand;
    auto none = [](engine::RenameOptions&) {};
    auto partial = [](engine::RenameOptions& o) {
        o.chkRecurse = 1, o.cboPathDisplay = engine::kShowPartialPath;
    };
    const Case cases[] = {
        {P::CropStart, "abcdef.txt", 4, none, Follow::Preview, "4", "", "Off"},
        {P::CropStart, "Sub\\abc.txt", 5, partial, Follow::Preview, "1", "", "Off"},
        {P::PastePosition, "abcdef.txt", 3, none, Follow::Preview, "3", "*", "Off"},
        {P::SmartFolderSplit, "abcdef.txt", 2, none, Follow::Preview, "2", "\\", "Off"},
        {P::SmartFolderMark, "abcdef.txt", 2, none, Follow::Preview, "2", "/", "Off"},
        {P::Autonumber, "abcdef.txt", 5,
         [](engine::RenameOptions& o) { o.txtInsertMiddle = "a?b?"; }, Follow::Preview, "5", "ab?",
         "Auto"},
        {P::InsertText, "Sub\\abc.txt", 2, partial, Follow::FocusInsertPosition, "-2", "", "Off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.position + c.insert);
        workspace.options = support::NeutralOptions();
        c.before(workspace.options);
        PointAt(c.row, c.mouseX);
        workspace.options.cboCropLR = engine::kFromRight;
        if (c.follow == Follow::FocusInsertPosition) {
            ui.QueueAnswer(Answer::Ok);
        }
        EXPECT_EQ(commands.RunPositionCommand(c.command), c.follow);
        const engine::RenameOptions& o = workspace.options;
        if (c.command == P::CropStart) {
            EXPECT_EQ(o.txtEliminatePosition, c.position);
            EXPECT_EQ(o.cboCropLR, engine::kFromLeft);
        } else {
            EXPECT_EQ(o.txtInsertMiddlePosition, c.position);
            EXPECT_EQ(o.txtInsertMiddle, c.insert);
            EXPECT_EQ(o.chkInsertMiddle, 1);
        }
        EXPECT_EQ(o.cboAutonumber, c.autonumber);
    }
    EXPECT_EQ(ui.boxes().size(), 1u);
}

TEST_F(ListCommandsTest, RefusedInsertPositionAndCropEndLeftOfTheStartSayWhy) {
    drive.WriteFile("abcdef.txt", "");
    PointAt("abcdef.txt", 2);
    workspace.options.txtEliminatePosition = "3";
    const engine::RenameOptions before = workspace.options;
    ui.QueueAnswer(Answer::Ok);
    EXPECT_EQ(commands.RunPositionCommand(PositionCommand::CropEnd), Follow::Nothing);
    EXPECT_EQ(workspace.options, before);
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text, "Ending position must be to the right of the starting position.");
    EXPECT_EQ(ui.boxes()[0].title, "Input Error");

    commands.mouseX = 300;
    ui.QueueAnswer(Answer::Ok);
    EXPECT_EQ(commands.RunPositionCommand(PositionCommand::InsertText),
              Follow::FocusInsertPosition);
    EXPECT_EQ(ui.boxes().back().text, "Insert position value must be 1 through 255.");
}

TEST_F(ListCommandsTest, CopyAndPasteNames) {
    drive.WriteFile("Sub\\abc.txt", "abc");
    drive.WriteFile("Sub\\taken.txt", "taken");
    workspace.options.chkRecurse = 1;
    PointAt("abc.txt", 1);
    EXPECT_EQ(commands.CopyName(false), "abc.txt");
    EXPECT_EQ(commands.CopyFullPath(false), TempDrive::Path("Sub\\abc.txt"));

    // An existing entry and a name no entry may have are both refused.
    for (const char* refused : {"taken.txt", "a?b.txt"}) {
        ui.QueueAnswer(Answer::Yes);
        ui.QueueAnswer(Answer::Ok);
        EXPECT_EQ(commands.PasteName(refused), Follow::Nothing);
    }
    EXPECT_EQ(ui.boxes()[1].text,
              "Error 58 (File already exists) occurred while trying to rename the following "
              "file:\r\r\"" +
                  TempDrive::Path("Sub\\abc.txt") + "\" to \"" + TempDrive::Path("Sub\\taken.txt") +
                  "\"");
    EXPECT_EQ(ui.boxes()[3].text.substr(0, 32), "Error 52 (Bad file name or numbe");
    EXPECT_EQ(drive.ReadFile("Sub\\taken.txt"), "taken");

    ui.QueueAnswer(Answer::Yes);
    EXPECT_EQ(commands.PasteName("new.txt\n"), Follow::Listing);
    EXPECT_EQ(ui.boxes().back().text, "Rename \"" + TempDrive::Path("Sub\\abc.txt") + "\" to \"" +
                                          TempDrive::Path("Sub\\new.txt") + "\"?");
    EXPECT_EQ(drive.ReadFile("Sub\\new.txt"), "abc");
}

TEST_F(ListCommandsTest, SingleRenameChangesTheRowOrAsksAndLeavesTheFile) {
    drive.WriteFile("a.txt", "a");
    drive.WriteFile("b.txt", "b");
    drive.MakeFolder("Fotos");
    workspace.options.cboFilesFolders = engine::kFilesAndFolders;
    Refresh();
    ASSERT_EQ(SourceTexts(), (std::vector<std::string>{"a.txt", "b.txt", "Fotos\\"}));
    ui.QueueAnswer(Answer::Retry);
    ui.QueueAnswer(Answer::Ignore);
    EXPECT_FALSE(RenameSingleItem(workspace, 0, "b.txt"));
    ASSERT_EQ(ui.boxes().size(), 2u);
    EXPECT_EQ(ui.boxes()[0].text,
              "There has been an error while trying to rename the following file: \r\r\"a.txt\" "
              "to \"b.txt\"\r\rError 58: File already exists\r\rDo you wish to abort the process, "
              "retry renaming the file, or ignore and continue?  ");
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::AbortRetryIgnore);
    ui.QueueAnswer(Answer::Abort);
    EXPECT_FALSE(RenameSingleItem(workspace, 0, "x?.txt"));
    EXPECT_NE(ui.boxes().back().text.find("Error 52: Bad file name or number"), std::string::npos);
    EXPECT_EQ(drive.ReadFile("a.txt"), "a");
    EXPECT_EQ(SourceTexts()[0], "a.txt");

    EXPECT_TRUE(RenameSingleItem(workspace, 0, "c.txt"));
    EXPECT_TRUE(RenameSingleItem(workspace, 2, "Photos"));
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"c.txt", "b.txt", "Photos\\"}));
    EXPECT_EQ(drive.ReadFile("c.txt"), "a");
    EXPECT_TRUE(drive.Exists("Photos"));
}

TEST_F(ListCommandsTest, DeleteAsksAndNeverTouchesAFoldersContents) {
    drive.WriteFile("Full\\keep.txt", "keep");
    drive.WriteFile("gone.txt", "");
    workspace.options.cboFilesFolders = engine::kFilesAndFolders;
    PointAt("Full\\", 1);
    ui.QueueAnswer(Answer::Ok);
    ui.QueueAnswer(Answer::Ok);
    EXPECT_EQ(commands.Delete(), Follow::Listing);
    EXPECT_EQ(ui.boxes()[0].text, "Delete the folder " + TempDrive::Path("Full") + "?");
    EXPECT_EQ(ui.boxes()[1].text,
              "There was a problem deleting the folder.  \r\rError 75: Path/File access "
              "error\r\rEnsure the folder is empty before deleting.  ");
    EXPECT_EQ(drive.ReadFile("Full\\keep.txt"), "keep");

    PointAt("gone.txt", 1);
    ui.QueueAnswer(Answer::Cancel);
    EXPECT_EQ(commands.Delete(), Follow::Nothing);
    ui.QueueAnswer(Answer::Ok);
    EXPECT_EQ(commands.Delete(), Follow::Listing);
    EXPECT_FALSE(drive.Exists("gone.txt"));
}

TEST_F(ListCommandsTest, ExecuteReportsWhatTheDesktopOpenerSaid) {
    drive.WriteFile("a.odd", "");
    support::RecordingPrograms programs;
    platform::XdgDesktopOpener opener(programs);
    // xdg-open's exit status (none: still running) and the text shown.
    const std::pair<std::optional<int>, std::string> cases[] = {
        {std::nullopt, ""},
        {0, ""},
        {2, "File not found"},
        {3, "No association for File extension"},
        {4, "No association for File extension"},
        {5, "Access denied"},
        {1, "Cannot proceed due to an unknown error"}};
    programs.installed = {"xdg-open"};
    for (const auto& [status, text] : cases) {
        SCOPED_TRACE(text);
        programs.exitStatus.clear();
        if (status) {
            programs.exitStatus["xdg-open"] = *status;
        }
        if (!text.empty()) {
            ui.QueueAnswer(Answer::Ok);
        }
        EXPECT_EQ(Execute(drive.FileSystem(), opener, ui, TempDrive::Path("a.odd"), 1, "Open"),
                  text);
    }
    EXPECT_EQ(programs.started.back(),
              (std::vector<std::string>{"xdg-open", drive.HostPath("a.odd")}));
    EXPECT_EQ(ui.boxes().back().title, "Open error");
    EXPECT_EQ(ui.boxes().back().icon, Icon::Critical);
    EXPECT_EQ(Execute(drive.FileSystem(), opener, ui, TempDrive::Path("none.odd"), 0, "Open"),
              "File not found");
    EXPECT_EQ(Execute(drive.FileSystem(), opener, ui, TempDrive::Path("no\\none.odd"), 0, "Open"),
              "Path not found");
    programs.installed.clear();
    ui.QueueAnswer(Answer::Ok);
    Execute(drive.FileSystem(), opener, ui, TempDrive::Path("a.odd"), 1, "Open");
    EXPECT_EQ(ui.boxes().back().icon, Icon::Information);
}

}  // namespace
}  // namespace kestrel::app
