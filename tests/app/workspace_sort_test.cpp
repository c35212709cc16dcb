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
#include "support/forwarding_file_system.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;

// Counts the folders read, and refuses one rename on demand.
struct Watching : support::ForwardingFileSystem {
    using ForwardingFileSystem::ForwardingFileSystem;
    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view folder,
                                                       FileError& error) override {
        ++foldersRead;
        return inner_.OpenFolder(folder, error);
    }
    FileError Rename(std::string_view from, std::string_view to) override {
        if (!refused.empty() && from.ends_with(refused)) {
            return FileError::Make(platform::kPermissionDenied);
        }
        return inner_.Rename(from, to);
    }
    int foldersRead = 0;
    std::string refused;
};

class SortTest : public ::testing::Test {
  protected:
    SortTest() {
        workspace.txtSourceDir = "T:\\";
        workspace.txtDestDir = "T:\\";
        workspace.options = support::NeutralOptions();
    }
    void Refresh() {
        workspace.updateFlag = true;
        workspace.RefreshSourceList();
        workspace.updateFlag = false;
    }
    std::vector<std::string> Rows() const {
        std::vector<std::string> texts;
        for (const auto& row : workspace.SourceFileList()) {
            texts.push_back(row.text);
        }
        return texts;
    }
    // Every file under the drive, as partial paths in the order of their names.
    std::vector<std::string> FilesOnDisk() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(drive.HostRoot())) {
            if (entry.is_regular_file()) {
                names.push_back(
                    std::filesystem::relative(entry.path(), drive.HostRoot()).generic_string());
            }
        }
        std::sort(names.begin(), names.end());
        return names;
    }
    void Touch(const std::string& relative, std::int64_t seconds) {
        const timespec times[2] = {{seconds, 0}, {seconds, 0}};
        ASSERT_EQ(::utimensat(AT_FDCWD, drive.HostPath(relative).c_str(), times, 0), 0);
    }

    TempDrive drive;
    Watching fileSystem{drive.FileSystem()};
    support::ScriptedUi ui;
    support::FakeClock clock;
    Workspace workspace{fileSystem, ui, clock, [] { return 0.5; }};
};

// The numbering of a recursive list: one run over the whole list, or a run
// per folder; each row is committed to the name its preview showed.
TEST_F(SortTest, NumberingWithAndWithoutARestartInEachFolder) {
    // The targets in list order: A's three, B's one, the working folder's two.
    struct Case {
        int perFolder;
        const char* start;
        const char* step;
        const char* digits;
        std::vector<std::string> targets;
    };
    const Case cases[] = {
        {0, "1", "1", "Auto", {"A\\a1 1", "A\\a2 2", "A\\a3 3", "B\\b1 4", "r1 5", "r2 6"}},
        {1, "1", "1", "Auto", {"A\\a1 1", "A\\a2 2", "A\\a3 3", "B\\b1 1", "r1 1", "r2 2"}},
        {1, "10", "5", "Auto", {"A\\a1 10", "A\\a2 15", "A\\a3 20", "B\\b1 10", "r1 10", "r2 15"}},
        // "Auto" is as wide as the last number of each folder's own run.
        {0, "8", "1", "Auto", {"A\\a1 08", "A\\a2 09", "A\\a3 10", "B\\b1 11", "r1 12", "r2 13"}},
        {1, "8", "1", "Auto", {"A\\a1 08", "A\\a2 09", "A\\a3 10", "B\\b1 8", "r1 8", "r2 9"}},
        {1,
         "1",
         "1",
         "3",
         {"A\\a1 001", "A\\a2 002", "A\\a3 003", "B\\b1 001", "r1 001", "r2 002"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.perFolder << " from " << c.start << " by " << c.step);
        // What the case before committed goes, by names collected first.
        std::vector<std::filesystem::path> left;
        for (const auto& entry : std::filesystem::directory_iterator(drive.HostRoot())) {
            left.push_back(entry.path());
        }
        for (const auto& path : left) {
            std::filesystem::remove_all(path);
        }
        drive.MakeFolder("A");
        drive.MakeFolder("B");
        for (const char* name : {"r1", "r2", "A\\a1", "A\\a2", "A\\a3", "B\\b1"}) {
            drive.WriteFile(name, name);
        }
        workspace.options = support::NeutralOptions();
        workspace.options.chkRecurse = 1;
        workspace.options.cboPathDisplay = engine::kShowPartialPath;
        workspace.options.chkInsertEnd = 1;
        workspace.options.txtInsertEnd = " ?";
        workspace.options.cboAutonumber = c.digits;
        workspace.options.txtAutonumberStartNum = c.start;
        workspace.options.txtAutonumberStep = c.step;
        workspace.options.chkNumberPerFolder = c.perFolder;
        Refresh();
        ASSERT_EQ(Rows(),
                  (std::vector<std::string>{"A\\a1", "A\\a2", "A\\a3", "B\\b1", "r1", "r2"}));
        const std::vector<std::string> shown = workspace.TargetFileList();
        EXPECT_EQ(shown, c.targets);
        workspace.DoIt();
        std::vector<std::string> committed;
        for (std::string path : shown) {
            std::replace(path.begin(), path.end(), '\\', '/');
            committed.push_back(path);
        }
        std::sort(committed.begin(), committed.end());
        EXPECT_EQ(FilesOnDisk(), committed);
    }
}

// A rename that fails holds its folder's number back, and only that folder's,
// exactly as the preview would number without the entry.
TEST_F(SortTest, AFailedRenameHoldsBackTheNumbersOfItsOwnFolderOnly) {
    drive.MakeFolder("A");
    drive.MakeFolder("B");
    for (const char* name : {"A\\a1", "A\\a2", "A\\a3", "B\\b1", "B\\b2"}) {
        drive.WriteFile(name, name);
    }
    workspace.options.chkRecurse = 1;
    workspace.options.cboPathDisplay = engine::kShowPartialPath;
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = " ?";
    workspace.options.cboAutonumber = "Auto";
    workspace.options.chkNumberPerFolder = 1;
    Refresh();
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"A\\a1 1", "A\\a2 2", "A\\a3 3", "B\\b1 1", "B\\b2 2"}));
    fileSystem.refused = "a2";
    ui.QueueAnswer(Answer::Ignore);
    workspace.DoIt();
    EXPECT_EQ(FilesOnDisk(),
              (std::vector<std::string>{"A/a1 1", "A/a2", "A/a3 2", "B/b1 1", "B/b2 2"}));
}

// Orders by name re-sort the rows in place: the folder is not read again, and
// the user's selection and the list commands follow the rows. Dates and sizes
// are read by the first listing that needs them, and then kept.
TEST_F(SortTest, ChangingTheOrderReadsTheFolderOnlyForDatesNotReadYet) {
    for (const char* name : {"IMG_10.jpg", "IMG_2.jpg", "IMG_1.jpg"}) {
        drive.WriteFile(name, name);
    }
    Touch("IMG_10.jpg", 1000);
    Touch("IMG_2.jpg", 3000);
    Touch("IMG_1.jpg", 2000);
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "? ";
    workspace.options.cboAutonumber = "Auto";
    Refresh();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"IMG_1.jpg", "IMG_10.jpg", "IMG_2.jpg"}));
    workspace.SetSelected(1, false);  // IMG_10.jpg
    const int readsAfterListing = fileSystem.foldersRead;

    workspace.options.cboSort = engine::kSortNatural;
    workspace.SortSourceList();
    EXPECT_EQ(fileSystem.foldersRead, readsAfterListing);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"IMG_1.jpg", "IMG_2.jpg", "IMG_10.jpg"}));
    EXPECT_FALSE(workspace.SourceFileList()[2].selected);
    // The commands that address rows by index find them where they now stand.
    ListCommands commands(workspace);
    commands.mouseY = 1;
    EXPECT_EQ(commands.CopyFullPath(false), TempDrive::Path("IMG_2.jpg"));
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"1 IMG_1.jpg", "2 IMG_2.jpg", ""}));

    workspace.options.chkSortDescending = 1;
    workspace.SortSourceList();
    EXPECT_EQ(Rows(), (std::vector<std::string>{"IMG_10.jpg", "IMG_2.jpg", "IMG_1.jpg"}));
    EXPECT_EQ(workspace.TargetFileList(),
              (std::vector<std::string>{"", "1 IMG_2.jpg", "2 IMG_1.jpg"}));

    workspace.options.cboSort = engine::kSortByModified;
    workspace.options.chkSortDescending = 0;
    workspace.SortSourceList();
    EXPECT_EQ(fileSystem.foldersRead, readsAfterListing + 1);
    EXPECT_EQ(Rows(), (std::vector<std::string>{"IMG_10.jpg", "IMG_1.jpg", "IMG_2.jpg"}));

    drive.WriteFile("IMG_2.jpg", "much longer than the others");
    workspace.options.cboSort = engine::kSortBySize;
    workspace.SortSourceList();
    workspace.options.cboSort = engine::kSortByModified;
    workspace.options.chkSortDescending = 1;
    workspace.SortSourceList();
    EXPECT_EQ(fileSystem.foldersRead, readsAfterListing + 1);
    // The sizes and dates of the listing that read them, until the next listing.
    EXPECT_EQ(Rows(), (std::vector<std::string>{"IMG_2.jpg", "IMG_1.jpg", "IMG_10.jpg"}));
}

}  // namespace
}  // namespace kestrel::app
