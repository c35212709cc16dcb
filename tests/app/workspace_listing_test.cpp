#include <gtest/gtest.h>

#include "platform/file_attributes.h"
#include "support/forwarding_file_system.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;
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
    EXPECT_EQ(ui.boxes()[0].title, "Kestrel");
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(ui.boxes()[0].icon, Icon::Question);
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
    EXPECT_EQ(
        ui.StatusHistory(StatusPanel::Message, "Reading"),
        (std::vector<std::string>{"Reading item 2...", "Reading item 3...", "Reading item 6..."}));
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

TEST(ListingLimit, TheRowCapEndsTheListingWithAWarning) {
    TempDrive drive;
    EndlessFolder fileSystem(drive.FileSystem());
    support::ScriptedUi ui;
    support::FakeClock clock;
    Workspace workspace(fileSystem, ui, clock, [] { return 0.5; });
    workspace.txtSourceDir = TempDrive::Path("");
    workspace.RefreshSourceList();
    EXPECT_EQ(workspace.SourceFileList().size(), 32767u);
    EXPECT_EQ(ui.LastStatus(StatusPanel::Source),
              "Warning: maximum of 32,767 items reached; remainder ignored.");
}

}  // namespace
}  // namespace kestrel::app
