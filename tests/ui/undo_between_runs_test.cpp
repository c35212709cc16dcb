// The undo log outlives the window: a window opened after another committed
// and closed undoes that commit.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QPushButton>

#include "commit/undo_store.h"
#include "window_fixture.h"

namespace kestrel::ui {
namespace {

TEST_F(WindowTest, AWindowOpenedLaterUndoesTheCommitOfOneClosedBefore) {
    support::TempDrive state;
    commit::UndoStore firstRun(state.HostPath("kestrel"));
    workspace.AttachUndoStore(&firstRun);
    drive.WriteFile("a.txt", "a");
    drive.WriteFile("b.txt", "b");
    window->RefreshForced();
    ASSERT_FALSE(Find<QPushButton>("cmdUndo")->isEnabled());
    Find<QCheckBox>("chkInsertStart")->click();
    TypeAndLeave("txtInsertStart", "new ");
    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    ASSERT_EQ(drive.ReadFile("new a.txt"), "a");
    ASSERT_EQ(drive.ReadFile("new b.txt"), "b");
    window.reset();

    app::Workspace later(drive.FileSystem(), qtUi, clock, [] { return 0.5; });
    later.txtSourceDir = later.txtDestDir = support::TempDrive::Path("");
    later.options = support::NeutralOptions();
    later.AttachDrives(&drive.FileSystem().Drives());
    commit::UndoStore secondRun(state.HostPath("kestrel"));
    later.AttachUndoStore(&secondRun);
    window = std::make_unique<MainWindow>(later, qtUi, MainWindow::Hooks{});
    window->show();
    window->RefreshForced();
    ASSERT_TRUE(Find<QPushButton>("cmdUndo")->isEnabled());
    QTest::mouseClick(Find<QPushButton>("cmdUndo"), Qt::LeftButton);
    EXPECT_EQ(drive.ReadFile("a.txt"), "a");
    EXPECT_EQ(drive.ReadFile("b.txt"), "b");
    EXPECT_FALSE(drive.Exists("new a.txt"));
    EXPECT_FALSE(Find<QPushButton>("cmdUndo")->isEnabled());
    EXPECT_TRUE(secondRun.Levels().empty());
    EXPECT_TRUE(boxes.empty());
    window.reset();
}

// What was changed since the commit keeps its new name, and the window says so.
TEST_F(WindowTest, AnUndoNamesTheEntriesChangedSinceTheCommit) {
    support::TempDrive state;
    commit::UndoStore store(state.HostPath("kestrel"));
    workspace.AttachUndoStore(&store);
    drive.WriteFile("a.txt", "a");
    drive.WriteFile("b.txt", "b");
    window->RefreshForced();
    Find<QCheckBox>("chkInsertStart")->click();
    TypeAndLeave("txtInsertStart", "new ");
    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    drive.WriteFile("new b.txt", "bb");
    QTest::mouseClick(Find<QPushButton>("cmdUndo"), Qt::LeftButton);
    EXPECT_EQ(drive.ReadFile("a.txt"), "a");
    EXPECT_EQ(drive.ReadFile("new b.txt"), "bb");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "These entries were moved or changed since they were renamed, so they keep their "
              "new names:\r\rT:\\new b.txt");
}

}  // namespace
}  // namespace kestrel::ui
