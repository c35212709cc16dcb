// The list's order and the numbering that follows it, from the listing to the
// commit: what each order reads, and that Do It numbers as the preview showed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "app/list_commands.h"
#include "support/words.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;

class SortTest : public support::WorkspaceTestOn<support::ScriptedFileSystem> {
  protected:
    void Touch(const std::string& relative, std::int64_t seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, drive.HostPath(relative).c_str(), times, 0), 0);
    }
};

// The numbering of a recursive list: one run over the whole list, or a run
// per folder; each row is committed to the name its preview showed. A rename
// that fails holds its folder's number back, and only that folder's, exactly
// as the preview would number without the entry.
TEST_F(SortTest, NumberingWithAndWithoutARestartInEachFolder) {
    const std::vector<std::string> rows = {"A\\a1", "A\\a2", "A\\a3", "B\\b1", "r1", "r2"};
    // Per folder, start, step and digits; the numbers shown in list order (A's
    // three, B's one, the working folder's two); the row whose rename fails,
    // and the numbers the commit gave then ("-" for none).
    const std::tuple<int, const char*, const char*, const char*, const char*, int, const char*>
        cases[] = {
            {0, "1", "1", "Auto", "1 2 3 4 5 6", -1, nullptr},
            {1, "1", "1", "Auto", "1 2 3 1 1 2", -1, nullptr},
            {1, "10", "5", "Auto", "10 15 20 10 10 15", -1, nullptr},
            // "Auto" is as wide as the last number of each folder's own run.
            {0, "8", "1", "Auto", "08 09 10 11 12 13", -1, nullptr},
            {1, "8", "1", "Auto", "08 09 10 8 8 9", -1, nullptr},
            {1, "1", "1", "3", "001 002 003 001 001 002", -1, nullptr},
            {1, "1", "1", "Auto", "1 2 3 1 1 2", 1, "1 - 2 1 1 2"},
        };
    for (const auto& [perFolder, start, step, digits, shown, refused, committed] : cases) {
        SCOPED_TRACE(testing::Message() << perFolder << " from " << start << " by " << step);
        drive.Clear();
        for (const std::string& name : rows) {
            drive.WriteFile(name, name);
        }
        workspace.options.chkRecurse = 1;
        workspace.options.cboPathDisplay = engine::kShowPartialPath;
        workspace.options.chkInsertEnd = 1;
        workspace.options.txtInsertEnd = " ?";
        workspace.options.cboAutonumber = digits;
        workspace.options.txtAutonumberStartNum = start;
        workspace.options.txtAutonumberStep = step;
        workspace.options.chkNumberPerFolder = perFolder;
        Refresh();
        ASSERT_EQ(SourceTexts(), rows);
        const std::vector<std::string> numbers = support::Words(shown);
        std::vector<std::string> targets;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            targets.push_back(rows[row] + " " + numbers.at(row));
        }
        EXPECT_EQ(workspace.TargetFileList(), targets);
        fileSystem.refusedName = refused < 0 ? "" : rows[refused].substr(2);
        if (refused >= 0) {
            ui.QueueAnswer(Answer::Ignore);
        }
        workspace.DoIt();
        const std::vector<std::string> given = support::Words(committed ? committed : shown);
        std::vector<std::string> onDisk;
        for (std::size_t row = 0; row < rows.size(); ++row) {
            onDisk.push_back(rows[row] + (given.at(row) == "-" ? "" : " " + given.at(row)));
            std::replace(onDisk.back().begin(), onDisk.back().end(), '\\', '/');
        }
        std::sort(onDisk.begin(), onDisk.end());
        EXPECT_EQ(drive.FileNames(), onDisk);
    }
}

// A new order re-sorts the rows in place: the user's selection and the list
// commands follow the rows.
TEST_F(SortTest, ChangingTheOrderKeepsTheSelectionAndCommandsWithTheirRows) {
    drive.WriteFiles({"IMG_10.jpg", "IMG_2.jpg", "IMG_1.jpg"}, true);
    Touch("IMG_10.jpg", 1000);
    Touch("IMG_2.jpg", 3000);
    Touch("IMG_1.jpg", 2000);
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "? ";
    workspace.options.cboAutonumber = "Auto";
    Refresh();
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"IMG_1.jpg", "IMG_10.jpg", "IMG_2.jpg"}));
    workspace.SetSelected(1, false);  // IMG_10.jpg

    workspace.options.cboSort = engine::kSortNatural;
    workspace.SortSourceList();
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"IMG_1.jpg", "IMG_2.jpg", "IMG_10.jpg"}));
    EXPECT_FALSE(workspace.SourceFileList()[2].selected);
    // The commands that address rows by index find them where they now stand.
    ListCommands commands(workspace);
    commands.mouseY = 1;
    EXPECT_EQ(commands.CopyFullPath(false), TempDrive::Path("IMG_2.jpg"));
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"1 IMG_1.jpg", "2 IMG_2.jpg", ""}));

    workspace.options.chkSortDescending = 1;
    workspace.SortSourceList();
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"IMG_10.jpg", "IMG_2.jpg", "IMG_1.jpg"}));
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"", "1 IMG_2.jpg", "2 IMG_1.jpg"}));

    workspace.options.cboSort = engine::kSortByModified;
    workspace.options.chkSortDescending = 0;
    workspace.SortSourceList();
    EXPECT_EQ(SourceTexts(), (std::vector<std::string>{"IMG_10.jpg", "IMG_1.jpg", "IMG_2.jpg"}));
}

}  // namespace
}  // namespace kestrel::app
