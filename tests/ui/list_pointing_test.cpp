#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDropEvent>
#include <QFileSystemModel>
#include <QListWidget>
#include <QMimeData>
#include <QSortFilterProxyModel>
#include <QTreeView>
#include <QUrl>

#include "settings/key_paths.h"
#include "settings_window_fixture.h"
#include "support/process_run.h"
#include "ui/list_interaction.h"

namespace kestrel::ui {
namespace {

using support::TempDrive;

class ListPointingTest : public SettingsWindowTest {
  protected:
    FileListView* Source() { return window->SourceList(); }

    /// A real right button press (and release) over character `position` of `row`.
    void RightClick(FileListView* list, int row, int position, Qt::KeyboardModifiers keys = {}) {
        const QPoint point = list->PointOf(row, position);
        QTest::mousePress(list->viewport(), Qt::RightButton, keys, point);
        QTest::mouseRelease(list->viewport(), Qt::RightButton, keys, point);
    }

    void Show(void (*change)(app::Workspace&)) {
        change(workspace);
        window->SyncFromWorkspace();
        window->RefreshForced();
    }
};

TEST_F(ListPointingTest, CropIsSetInTwoClicksAndRefusedLeftOfItsStart) {
    drive.WriteFile("abcdef.txt", "");
    window->RefreshForced();
    RightClick(Source(), 0, 1, Qt::ControlModifier);
    RightClick(Source(), 0, 3, Qt::AltModifier);
    EXPECT_EQ(Find<QLineEdit>("txtEliminatePosition")->text(), "1");
    EXPECT_EQ(Find<QLineEdit>("txtEliminateChars")->text(), "3");
    EXPECT_TRUE(Find<QCheckBox>("chkCrop")->isChecked());
    EXPECT_EQ(workspace.options.cboCropLR, engine::kFromLeft);
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"def.txt"});

    RightClick(window->TargetList(), 0, 3, Qt::ControlModifier);
    const engine::RenameOptions before = workspace.options;
    RightClick(Source(), 0, 2, Qt::AltModifier);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Ending position must be to the right of the starting position.");
    EXPECT_EQ(boxes[0].title, "Input Error");
    EXPECT_EQ(workspace.options, before);
}

TEST_F(ListPointingTest, DoubleClicksRunTheChosenAction) {
    drive.WriteFile("Full\\keep.txt", "keep");
    drive.WriteFile("a.odd", "");
    Show([](app::Workspace& w) { w.options.cboFilesFolders = engine::kFilesAndFolders; });
    ASSERT_EQ(Source()->model()->index(1, 0).data().toString(), "Full\\");
    workspace.preferences.doubleClickFolder = 1;
    QTest::mouseDClick(Source()->viewport(), Qt::LeftButton, {}, Source()->PointOf(1, 1));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Delete the folder " + TempDrive::Path("Full") + "?");
    EXPECT_EQ(boxes[1].text,
              "There was a problem deleting the folder.  \r\rError 75: Path/File access "
              "error\r\rEnsure the folder is empty before deleting.  ");
    EXPECT_EQ(drive.ReadFile("Full\\keep.txt"), "keep");

    workspace.preferences.doubleClickFolder = 3;
    QTest::mouseDClick(Source()->viewport(), Qt::LeftButton, {}, Source()->PointOf(1, 1));
    EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), TempDrive::Path("Full\\"));
    EXPECT_EQ(TargetRows().size(), 1u);
}

// The folder browser, its two small windows, and folders dropped or typed.
using settings::Scope;

class BrowseTest : public SettingsWindowTest {
  protected:
    /// Chooses `relative` on T: in the browser's tree, as a click would.
    void Select(QDialog* browser, const char* relative) {
        auto* tree = In<QTreeView>(browser, "dirBrowse");
        auto* folders = browser->findChild<QFileSystemModel*>();
        tree->setCurrentIndex(static_cast<QSortFilterProxyModel*>(tree->model())
                                  ->mapFromSource(folders->index(Host(relative))));
        ASSERT_TRUE(tree->currentIndex().isValid()) << relative;
    }

    QString Host(const char* relative) const {
        return QString::fromStdString(drive.HostPath(relative));
    }
    std::string Folders() const { return workspace.txtSourceDir + "|" + workspace.txtDestDir; }
};

TEST_F(BrowseTest, OkSetsTheFolderOfItsKindOrBothWhenLockedAndReadsTheListAgain) {
    drive.MakeFolder("Out\\Sub");
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    drive.WriteFile("b.txt", "");
    workspace.txtDestDir = "T:\\Out\\Sub\\";
    QDialog* browser = Open("cmdBrowseDest", "frmBrowse");
    EXPECT_EQ(In<QTreeView>(browser, "dirBrowse")->currentIndex().data().toString(), "Sub");
    Select(browser, "Out");
    Click(browser, "cmdOK");
    EXPECT_EQ(Folders(), "T:\\|T:\\Out\\");
    EXPECT_EQ(SourceRowCount(), 2) << "read again";

    Open("cmdBrowseSource", "frmBrowse");
    In<QCheckBox>(browser, "chkDirLock")->click();
    Select(browser, "Out\\Sub");
    Click(browser, "cmdOK");
    EXPECT_EQ(Folders(), "T:\\Out\\Sub\\|T:\\Out\\Sub\\");
    workspace.txtDestDir = "T:\\";
    QTest::keyClick(window->SourceList(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Folders(), "T:\\Out\\|T:\\Out\\");
}

TEST_F(BrowseTest, ConsolidateIsForTheTargetOnlyAndLaterCommitsFollowIt) {
    drive.WriteFile("Sub\\b.txt", "");
    QDialog* browser = Open("cmdBrowseSource", "frmBrowse");
    EXPECT_FALSE(In<QCheckBox>(browser, "chkConsolidate")->isEnabled());
    Click(browser, "cmdCancel");
    Open("cmdBrowseDest", "frmBrowse");
    In<QCheckBox>(browser, "chkConsolidate")->click();
    Click(browser, "cmdOK");
    Find<QCheckBox>("chkRecurse")->click();
    TypeAndLeave("txtInsertStart", "x_");
    Find<QCheckBox>("chkInsertStart")->click();
    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    EXPECT_TRUE(drive.Exists("x_b.txt"));
}

TEST_F(BrowseTest, MappedDriveIsKeptForTheNextRunUntilDisconnected) {
    drive.WriteFile("share\\s.txt", "");
    drive.MakeFolder("prog");
    store.WriteText(Scope::Machine, settings::kRootKey, "App Path", drive.HostPath("prog"));
    QDialog* browser = Open("cmdBrowseSource", "frmBrowse");
    Click(browser, "cmdMapDrive");
    auto* map = window->findChild<QDialog*>("frmMapDrive");
    EXPECT_EQ(In<QComboBox>(map, "cboDrive")->currentText(), "D:");
    In<QLineEdit>(map, "txtFolder")->setText(Host("share"));
    Click(map, "cmdOK");
    auto* drives = In<QComboBox>(browser, "driveBrowse");
    EXPECT_GE(drives->findText("D:  " + Host("share")), 0);
#ifdef KESTREL_BINARY
    const support::ProcessResult run =
        support::RunProcess(KESTREL_BINARY, {"NO-WINDOW", "FOLDER:D:\\", "LIST:D:\\list.txt"},
                            {"KESTREL_CONFIG_DIR=" + config.Path()}, drive.HostRoot());
    EXPECT_EQ(run.exitStatus, 0) << run.standardError;
    EXPECT_EQ(drive.ReadFile("share\\list.txt").substr(0, 16), "D:\\ has 1 items.");
#endif
    Click(browser, "cmdMapDrive");
    auto* mapped = In<QListWidget>(map, "lstDrives");
    mapped->setCurrentItem(mapped->findItems("D:", Qt::MatchStartsWith).value(0));
    Click(map, "cmdDisconnect");
    EXPECT_TRUE(store.ListValueNames(Scope::Machine, settings::kDrivesKey).empty());
    EXPECT_LT(drives->findText("D:", Qt::MatchStartsWith), 0);
}

TEST_F(BrowseTest, DroppedOrTypedHostPathsBecomeTheFolders) {
    drive.WriteFile("Photos\\a.jpg", "");
    // Widget, path dropped or typed on it, and the source and target folders after.
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"txtSourceDir", "Photos", "T:\\Photos\\|T:\\Photos\\"},  // the target was the same
        {"txtDestDir", "", "T:\\Photos\\|T:\\"},                  // typed and entered: set apart
        {"SourceFileList", "", "T:\\|T:\\"},
        {"TargetFileList", "Photos\\a.jpg", "T:\\|T:\\Photos\\"},
    };
    for (const auto& [name, relative, folders] : rows) {
        SCOPED_TRACE(name);
        auto* widget = Find<QWidget>(name);
        if (auto* box = qobject_cast<QLineEdit*>(widget); box != nullptr && relative[0] == 0) {
            box->setFocus(Qt::OtherFocusReason);
            box->selectAll();
            QTest::keyClicks(box, Host(relative));
            QTest::keyClick(box, Qt::Key_Return);
        } else {
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(Host(relative))});
            auto* list = qobject_cast<QAbstractScrollArea*>(widget);
            QWidget* target = list != nullptr ? list->viewport() : widget;
            // A drop reaches the widget that accepted the drag's entry.
            QDragEnterEvent enter({4, 4}, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QDropEvent drop(QPointF(4, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &enter);
            QApplication::sendEvent(target, &drop);
        }
        EXPECT_EQ(Folders(), folders);
    }
}

}  // namespace
}  // namespace kestrel::ui
