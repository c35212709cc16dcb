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
    drive.WriteFile("Sub\\abc.txt", "");
    using P = PositionCommand;
    // The mouse's x is over 'Sub\abc.txt', whose name starts at character 5.
    const std::tuple<P, int, Follow, std::string, std::string, std::string> cases[] = {
        {P::CropStart, 5, Follow::Preview, "1", "a?b?", "Off"},
        {P::PastePosition, 7, Follow::Preview, "3", "*", "Off"},
        {P::SmartFolderSplit, 6, Follow::Preview, "2", "\\", "Off"},
        {P::SmartFolderMark, 6, Follow::Preview, "2", "/", "Off"},
        {P::Autonumber, 9, Follow::Preview, "5", "ab?", "Auto"},
        {P::InsertText, 2, Follow::FocusInsertPosition, "-2", "a?b?", "Off"},
    };
    for (const auto& [command, mouseX, follow, position, insert, autonumber] : cases) {
        SCOPED_TRACE(position + insert);
        workspace.options = support::NeutralOptions();
        workspace.options.chkRecurse = 1;
        workspace.options.cboPathDisplay = engine::kShowPartialPath;
        workspace.options.txtInsertMiddle = "a?b?";
        workspace.options.cboCropLR = engine::kFromRight;
        PointAt("Sub\\abc.txt", mouseX);
        if (follow == Follow::FocusInsertPosition) {
            ui.QueueAnswer(Answer::Ok);
        }
        EXPECT_EQ(commands.RunPositionCommand(command), follow);
        const engine::RenameOptions& o = workspace.options;
        const bool crop = command == P::CropStart;
        EXPECT_EQ(crop ? o.txtEliminatePosition : o.txtInsertMiddlePosition, position);
        EXPECT_EQ(crop ? o.cboCropLR == engine::kFromLeft : o.chkInsertMiddle == 1, true);
        EXPECT_EQ(o.txtInsertMiddle, insert);
        EXPECT_EQ(o.cboAutonumber, autonumber);
    }
    EXPECT_EQ(ui.boxes().at(0).text, "Insert position value must be 1 through 255.");
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

TEST_F(ListCommandsTest, SingleRenameChangesTheRowOrAsksAndLeavesTheFileAndDeleteAsksFirst) {
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
    ui.QueueAnswer(Answer::Abort);
    EXPECT_FALSE(RenameSingleItem(workspace, 0, "x?.txt"));
    EXPECT_NE(ui.boxes().back().text.find("Error 52: Bad file name or number"), std::string::npos);

    EXPECT_TRUE(RenameSingleItem(workspace, 0, "c.txt"));
    EXPECT_TRUE(RenameSingleItem(workspace, 2, "Photos"));
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"c.txt", "b.txt", "Photos\\"}));
    EXPECT_EQ(drive.ReadFile("c.txt"), "a");
    EXPECT_TRUE(drive.Exists("Photos"));

    // Delete asks first.
    PointAt("b.txt", 1);
    ui.QueueAnswer(Answer::Cancel);
    EXPECT_EQ(commands.Delete(), Follow::Nothing);
    EXPECT_EQ(ui.boxes().back().text, "Delete the file " + TempDrive::Path("b.txt") + "?");
    ui.QueueAnswer(Answer::Ok);
    EXPECT_EQ(commands.Delete(), Follow::Listing);
    EXPECT_FALSE(drive.Exists("b.txt"));
}

TEST_F(ListCommandsTest, ExecuteReportsWhatTheDesktopOpenerSaid) {
    drive.WriteFile("a.odd", "");
    support::RecordingPrograms programs;
    platform::XdgDesktopOpener opener(programs);
    const auto outcome = [&](const char* relative, int showErrors) {
        std::optional<std::string> failure;
        Execute(drive.FileSystem(), opener, ui, TempDrive::Path(relative), showErrors, "Open",
                [&failure](const std::string& text) { failure = text; });
        EXPECT_TRUE(failure) << "a recording runner answers at once";
        return failure.value_or("?");
    };
    // xdg-open's exit status (none: still running) and the text shown.
    const std::string none = "No association for File extension";
    const std::pair<std::optional<int>, std::string> cases[] = {
        {std::nullopt, ""}, {0, ""}, {3, none}, {1, "Cannot proceed due to an unknown error"}};
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
        EXPECT_EQ(outcome("a.odd", 1), text);
    }
    EXPECT_EQ(programs.started.back(),
              (std::vector<std::string>{"xdg-open", drive.HostPath("a.odd")}));
    EXPECT_EQ(outcome("none.odd", 0), "File not found");
    EXPECT_EQ(outcome("no\\none.odd", 0), "Path not found");
    programs.installed.clear();
    ui.QueueAnswer(Answer::Ok);
    outcome("a.odd", 1);
    EXPECT_EQ(ui.boxes().back().icon, Icon::Information);
}

}  // namespace
}  // namespace kestrel::app
