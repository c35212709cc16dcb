#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHelpEvent>
#include <QMenu>
#include <QToolTip>

#include "settings/key_paths.h"
#include "settings_window_fixture.h"
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

    QString ToolTipAt(FileListView* list, int row, int position) {
        const QPoint point = list->PointOf(row, position);
        QHelpEvent help(QEvent::ToolTip, point, list->viewport()->mapToGlobal(point));
        QApplication::sendEvent(list->viewport(), &help);
        return QToolTip::text();
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

TEST_F(ListPointingTest, PartialPathsCountFromTheNameAndMarksGoWhereTheyPoint) {
    drive.WriteFile("Sub\\abc.txt", "");
    Show([](app::Workspace& w) {
        w.options.chkRecurse = 1;
        w.options.cboPathDisplay = engine::kShowPartialPath;
    });
    ASSERT_EQ(SourceRowCount(), 1);
    Find<QLineEdit>("txtInsertMiddle")->setText("a?b?");
    RightClick(Source(), 0, 6);
    window->Lists()->SourceMenu()->findChild<QAction*>("popAutonumber")->trigger();
    EXPECT_EQ(Find<QLineEdit>("txtInsertMiddle")->text(), "ab?");
    EXPECT_EQ(Find<QLineEdit>("txtInsertMiddlePosition")->text(), "2");
    EXPECT_EQ(Find<QComboBox>("cboAutonumber")->currentText(), "Auto");
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"Sub\\aab1bc.txt"});
}

// What the user reads of paths, in both styles: the folder boxes, rows of
// the partial and full path displays, a question naming a file; pointing
// into a full path still finds the characters of the name.
TEST_F(ListPointingTest, PathsShowAsThisComputerWritesThemOrWithDriveLetters) {
    drive.WriteFile("Sub\\abc.txt", "");
    const std::string root = drive.HostPath("") + "/";
    struct Style {
        app::PathStyle style;
        std::string box, partialRow, fullRow, question;
    } const styles[] = {
        {app::PathStyle::Host, root, "Sub/abc.txt", root + "Sub/abc.txt",
         "Delete the file " + root + "Sub/abc.txt?"},
        {app::PathStyle::DriveLetters, "T:\\", "Sub\\abc.txt", "T:\\Sub\\abc.txt",
         "Delete the file T:\\Sub\\abc.txt?"},
    };
    for (const Style& style : styles) {
        SCOPED_TRACE(style.box);
        workspace.preferences.pathStyle = static_cast<int>(style.style);
        Show([](app::Workspace& w) {
            w.options.chkRecurse = 1;
            w.options.cboPathDisplay = engine::kShowPartialPath;
        });
        EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), style.box);
        EXPECT_EQ(Find<QLineEdit>("txtDestDir")->text().toStdString(), style.box);
        EXPECT_EQ(Source()->model()->index(0, 0).data().toString().toStdString(), style.partialRow);
        Show([](app::Workspace& w) { w.options.cboPathDisplay = engine::kShowFullPath; });
        EXPECT_EQ(Source()->model()->index(0, 0).data().toString().toStdString(), style.fullRow);
        // "b" of "abc" is the name's second character, however long the path shows.
        Find<QLineEdit>("txtInsertMiddle")->setText("-");
        RightClick(Source(), 0, static_cast<int>(style.fullRow.size()) - 5);
        window->Lists()->SourceMenu()->findChild<QAction*>("popInsertText")->trigger();
        EXPECT_EQ(Find<QLineEdit>("txtInsertMiddlePosition")->text(), "2");
        answers = {app::Answer::Cancel};
        workspace.preferences.doubleClickFile = 1;
        QTest::mouseDClick(Source()->viewport(), Qt::LeftButton, {}, Source()->PointOf(0, 1));
        ASSERT_FALSE(boxes.empty());
        EXPECT_EQ(boxes.back().text, style.question);
    }
    // Chosen in the Preferences window, the other look shows at once.
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    In<QComboBox>(prefs, "cboPathStyle")->setCurrentIndex(0);
    Click(prefs, "btnOK");
    EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), root);
    EXPECT_EQ(store.ReadNumber(settings::Scope::Machine, settings::kSettingsKey, "Path style", -1),
              0);
}

TEST_F(ListPointingTest, MenusOfferOnlyWhatCanBeDoneWhereTheyOpen) {
    drive.WriteFile("Photos\\a.txt", "");
    Show([](app::Workspace& w) { w.txtSourceDir = TempDrive::Path("Photos\\"); });
    for (FileListView* list : {Source(), window->TargetList()}) {
        const bool source = list == Source();
        QMenu* menu = source ? window->Lists()->SourceMenu() : window->Lists()->TargetMenu();
        QTest::mousePress(list->viewport(), Qt::RightButton, {},
                          {5, list->viewport()->height() - 5});
        ASSERT_TRUE(menu->isVisible());
        for (QAction* action : menu->actions()) {
            const QString name = action->objectName();
            SCOPED_TRACE(name.toStdString());
            EXPECT_EQ(action->isEnabled(),
                      action->isSeparator() || name.contains("Back") || name.contains("Refresh"));
        }
        menu->hide();
    }
}

TEST_F(ListPointingTest, ToolTipsNameThePositionOrTheUnchangedEntry) {
    for (const char* name : {"a.txt", "b.txt", "Photo_d.jpg", "x.txt"}) {
        drive.WriteFile(name, "");
    }
    window->RefreshForced();
    EXPECT_EQ(ToolTipAt(Source(), 2, 7), "\"d\" is position 7 of 11 in item 3: \"Photo_d.jpg\"");
    EXPECT_EQ(ToolTipAt(window->TargetList(), 3, 1), "Item 4 remains \"x.txt\"");
}

TEST_F(ListPointingTest, AltEnterShowsPropertiesAndSingleRenameRenamesAtOnceOrAsks) {
    drive.WriteFile("a.txt", "abc");
    drive.WriteFile("b.txt", "b");
    window->RefreshForced();
    Source()->setCurrentIndex(Source()->model()->index(0, 0));
    QTest::keyClick(Source(), Qt::Key_Return, Qt::AltModifier);
    QDialog* properties = Shown("frmProperties");
    EXPECT_EQ(In<QLineEdit>(properties, "txtName")->text(), "a.txt");
    EXPECT_EQ(In<QLineEdit>(properties, "txtFolder")->text().toStdString(), TempDrive::Path(""));
    EXPECT_EQ(In<QLineEdit>(properties, "txtSize")->text(), "3 bytes");
    EXPECT_TRUE(In<QCheckBox>(properties, "chkArchive")->isChecked());
    properties->hide();

    auto rename = [this](int row, const char* text) {
        RightClick(Source(), row, 1, Qt::ShiftModifier | Qt::AltModifier);
        QDialog* dialog = Shown("frmRenameSingle");
        auto* name = In<QLineEdit>(dialog, "txtName");
        name->clear();
        EXPECT_FALSE(In<QPushButton>(dialog, "cmdOK")->isEnabled());
        QTest::keyClicks(name, text);
        Click(dialog, "cmdOK");
        EXPECT_FALSE(dialog->isVisible());
    };
    rename(0, "c.txt");
    EXPECT_EQ(Source()->model()->index(0, 0).data().toString(), "c.txt");
    EXPECT_EQ(drive.ReadFile("c.txt"), "abc");
    // A refused name asks; the answers and the texts are the core's.
    rename(1, "c.txt");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(Source()->model()->index(1, 0).data().toString(), "b.txt");
}

TEST_F(ListPointingTest, DoubleClicksRunTheChosenActionAndShiftClickOpens) {
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

    programs.installed = {"xdg-open"};
    programs.exitStatus["xdg-open"] = 3;
    RightClick(Source(), 0, 1, Qt::ShiftModifier);
    EXPECT_EQ(boxes.back().text, "No association for File extension");

    workspace.preferences.doubleClickFolder = 3;
    QTest::mouseDClick(Source()->viewport(), Qt::LeftButton, {}, Source()->PointOf(1, 1));
    EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), TempDrive::Path("Full\\"));
    EXPECT_EQ(TargetRows().size(), 1u);
}

}  // namespace
}  // namespace kestrel::ui
