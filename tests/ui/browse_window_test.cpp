// The folder browser, its two small windows, and folders dropped or typed.
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

namespace kestrel::ui {
namespace {

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
    EXPECT_EQ(browser->windowTitle(), "Select target folder");
    EXPECT_EQ(In<QTreeView>(browser, "dirBrowse")->currentIndex().data().toString(), "Sub");
    Select(browser, "Out");
    Click(browser, "cmdOK");
    EXPECT_EQ(Folders(), "T:\\|T:\\Out\\");
    EXPECT_EQ(SourceRowCount(), 2) << "read again";

    Open("cmdBrowseSource", "frmBrowse");
    EXPECT_EQ(browser->windowTitle(), "Select source folder");
    In<QCheckBox>(browser, "chkDirLock")->click();
    Select(browser, "Out\\Sub");
    Click(browser, "cmdOK");
    EXPECT_EQ(Folders(), "T:\\Out\\Sub\\|T:\\Out\\Sub\\");
    workspace.txtDestDir = "T:\\";
    QTest::keyClick(window->SourceList(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Folders(), "T:\\Out\\|T:\\Out\\");
    workspace.options.cboFilesFolders = engine::kFoldersOnly;
    window->RefreshForced();
    QTest::mouseClick(window->SourceList()->viewport(), Qt::RightButton,
                      Qt::ShiftModifier | Qt::ControlModifier, window->SourceList()->PointOf(0, 1));
    EXPECT_EQ(Folders(), "T:\\Out\\Sub\\|T:\\Out\\Sub\\") << "Change to this directory";

    // The import tab's folder button: the browser as last prepared, its
    // tree's path (a backslash only at a drive root) into the folder box.
    QDialog* exports = Open("cmdPrint", "frmExport");
    for (const char* relative : {"Out\\Sub", ""}) {
        Click(exports, "cmdBrowseWorkingDirectory");
        ASSERT_TRUE(browser->isVisible());
        Select(browser, relative);
        Click(browser, "cmdOK");
        EXPECT_EQ(In<QLineEdit>(exports, "txtSourceDirectory")->text().toStdString(),
                  support::TempDrive::Path(relative));
    }
    EXPECT_EQ(Folders(), "T:\\|T:\\");
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

TEST_F(BrowseTest, CreateFolderMakesEveryLevelAndAMissingDriveFallsBackToC) {
    drive.FileSystem().Drives().Map('U', drive.HostPath("gone"));
    QDialog* browser = Open("cmdBrowseSource", "frmBrowse");
    Click(browser, "cmdCreateDir");
    auto* makeTree = window->findChild<QDialog*>("frmMkTree");
    auto* name = In<QLineEdit>(makeTree, "txtName");
    EXPECT_EQ(name->text(), "T:\\");
    name->clear();
    EXPECT_FALSE(In<QPushButton>(makeTree, "cmdOK")->isEnabled());
    name->setText("T:\\A\\B");
    Click(makeTree, "cmdOK");
    EXPECT_TRUE(drive.Exists("A\\B"));
    drive.WriteFile("c.txt", "");
    Click(browser, "cmdCancel");
    EXPECT_EQ(SourceRowCount(), 1) << "Cancel reads the folder again after new folders";

    Open("cmdBrowseSource", "frmBrowse");
    auto* drives = In<QComboBox>(browser, "driveBrowse");
    emit drives->activated(drives->findText("U:", Qt::MatchStartsWith));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Drive U: is not available.");
    EXPECT_TRUE(drives->currentText().startsWith("C:"));
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
