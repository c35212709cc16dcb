#include <gtest/gtest.h>

#include "settings/key_paths.h"
#include "support/workspace_fixture.h"

namespace kestrel::app {
namespace {

using support::TempDrive;

class WorkspaceTemplateTest : public support::WorkspaceTest {
  protected:
    WorkspaceTemplateTest() : store(drive.HostPath("")) {
        workspace.AttachSettings(store, TempDrive::Path("prog\\"));
    }
    settings::SettingsStore store;
};

TEST_F(WorkspaceTemplateTest, SavedTemplateLoadsBackWithFoldersAndBusyFlagRestored) {
    drive.MakeFolder("Photos");
    workspace.txtSourceDir = TempDrive::Path("Photos\\");
    workspace.options.chkCrop = 1;
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

TEST_F(WorkspaceTemplateTest, MissingTemplateChangesNothing) {
    workspace.busyFlag = true;
    workspace.options.chkCrop = 1;
    EXPECT_EQ(workspace.LoadTemplate(5), 0);
    EXPECT_TRUE(workspace.busyFlag);
    EXPECT_EQ(workspace.options.chkCrop, 1);
    EXPECT_EQ(workspace.txtSourceDir, TempDrive::Path(""));
}

TEST_F(WorkspaceTemplateTest, PreferencesAreSavedOnlyWithTheSaveSettingsBox) {
    workspace.chkSaveTemplate = false;
    workspace.preferences.maxLength = 31;
    workspace.SaveTemplate(3, "No prefs");
    EXPECT_EQ(
        store.ReadNumber(settings::Scope::Machine, settings::TemplateKey(3), "Max length", -1), -1);
    EXPECT_EQ(workspace.LoadTemplate(3), 1);
    EXPECT_EQ(workspace.preferences.maxLength, 64);
}

}  // namespace
}  // namespace kestrel::app
