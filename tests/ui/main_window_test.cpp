#include <gtest/gtest.h>

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <filesystem>

#include "commit/undo_store.h"
#include "engine/field_checks.h"
#include "ui/tag_button.h"
#include "window_fixture.h"

namespace kestrel::ui {
namespace {

using support::TempDrive;
using Texts = std::vector<std::string>;

// The undo log outlives the window: a window opened after another committed
// and closed undoes that commit; what was changed since keeps its new name,
// and the window says so.
TEST_F(WindowTest, AWindowOpenedLaterUndoesTheCommitOfOneClosedBefore) {
    support::TempDrive state;
    commit::UndoStore firstRun(state.HostPath("kestrel"));
    workspace.AttachUndoStore(&firstRun);
    drive.WriteFile("a.txt", "a");
    drive.WriteFile("b.txt", "b");
    window->RefreshForced();
    Find<QCheckBox>("chkInsertStart")->click();
    TypeAndLeave("txtInsertStart", "new ");
    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    ASSERT_EQ(drive.ReadFile("new a.txt"), "a");
    window.reset();

    app::Workspace later(drive.FileSystem(), qtUi, clock, [] { return 0.5; });
    later.txtSourceDir = later.txtDestDir = support::TempDrive::Path("");
    later.options = support::NeutralOptions();
    later.preferences = workspace.preferences;
    later.AttachDrives(&drive.FileSystem().Drives());
    commit::UndoStore secondRun(state.HostPath("kestrel"));
    later.AttachUndoStore(&secondRun);
    window = std::make_unique<MainWindow>(later, qtUi, MainWindow::Hooks{});
    window->show();
    window->RefreshForced();
    ASSERT_TRUE(Find<QPushButton>("cmdUndo")->isEnabled());
    drive.WriteFile("new b.txt", "bb");
    QTest::mouseClick(Find<QPushButton>("cmdUndo"), Qt::LeftButton);
    EXPECT_EQ(drive.ReadFile("a.txt"), "a");
    EXPECT_EQ(drive.ReadFile("new b.txt"), "bb");
    EXPECT_FALSE(drive.Exists("new a.txt"));
    EXPECT_FALSE(Find<QPushButton>("cmdUndo")->isEnabled());
    EXPECT_TRUE(secondRun.Levels().empty());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "These entries were moved or changed since they were renamed, so they keep their "
              "new names:\r\rT:\\new b.txt");
    window.reset();
}

// "Rename with Kestrel" on five files of twenty: the window lists those five,
// the commit renames them, and F5 lists the same five under their new names.
TEST_F(WindowTest, FiveGivenFilesOfTwentyAreListedCommittedAndRelistedAlone) {
    std::vector<std::string> given;
    for (int i = 0; i < 20; ++i) {
        const std::string name = "Photos\\IMG_" + std::to_string(100 + i) + ".jpg";
        drive.WriteFile(name, "photo " + std::to_string(i));
        if (i % 4 == 1) {
            given.push_back(TempDrive::Path(name));
        }
    }
    workspace.ListGivenEntries(given);
    window->SyncFromWorkspace();
    window->RefreshForced();
    ASSERT_EQ(SourceRowCount(), 5);
    EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), TempDrive::Path("Photos\\"));
    Find<QCheckBox>("chkInsertStart")->click();
    TypeAndLeave("txtInsertStart", "new ");
    const Texts renamed = {"new IMG_101.jpg", "new IMG_105.jpg", "new IMG_109.jpg",
                           "new IMG_113.jpg", "new IMG_117.jpg"};
    EXPECT_EQ(TargetRows(), renamed);
    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    EXPECT_EQ(drive.ReadFile("Photos\\new IMG_105.jpg"), "photo 5");
    QTest::keyClick(window->SourceList(), Qt::Key_F5);
    EXPECT_EQ(SourceRows(), renamed);
    // Back up one level is a folder listing again.
    QTest::keyClick(window->SourceList(), Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(SourceRowCount(), 0);  // T:\ holds only the folder, and files are listed
    EXPECT_FALSE(workspace.ListsGivenEntries());
}

// The preview follows each key while the field still has the focus; a value
// the field's check refuses waits.
TEST_F(WindowTest, ThePreviewFollowsTypingWithValuesTheFieldWouldAccept) {
    drive.WriteFiles({"a.txt", "b.txt"});
    window->RefreshForced();
    Find<QCheckBox>("chkInsertEnd")->click();
    Find<QComboBox>("cboAutonumber")->setCurrentText("1");
    auto* end = Find<QLineEdit>("txtInsertEnd");
    end->setFocus(Qt::OtherFocusReason);
    Texts seen;
    for (const char key : std::string("EN?")) {
        QTest::keyClick(end, key);
        QApplication::processEvents();
        seen.push_back(TargetRows().back());
    }
    // Without a "?" the number goes in front.
    EXPECT_EQ(seen, (Texts{"2bE.txt", "2bEN.txt", "bEN2.txt"}));
    // A step of 0 is refused when the field is left; while typing it waits.
    auto* step = Find<QLineEdit>("txtAutonumberStep");
    step->setFocus(Qt::OtherFocusReason);
    step->selectAll();
    QTest::keyClicks(step, "0");
    QApplication::processEvents();
    EXPECT_EQ(TargetRows().back(), "bEN2.txt");
    EXPECT_TRUE(boxes.empty()) << "no message while typing";
    QTest::keyClicks(step, "3");  // "03"
    QApplication::processEvents();
    EXPECT_EQ(TargetRows().back(), "bEN4.txt");
}

TEST_F(WindowTest, ChangesThatComeWithoutAClickAndFieldsOfAnOperationThatIsOnRefreshThePreview) {
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    auto* insert = Find<QLineEdit>("txtInsertStart");
    insert->setText("x");
    auto* toggle =
        QAccessible::queryAccessibleInterface(Find<QCheckBox>("chkInsertStart"))->actionInterface();
    const std::tuple<const char*, std::function<void()>, const char*> steps[] = {
        {"an accessibility tool ticks a box", [&] { toggle->doAction(toggle->toggleAction()); },
         "xa.txt"},
        {"a list entry chosen by the program",
         [&] { Find<QComboBox>("cboCaseHandling")->setCurrentIndex(2); }, "XA.TXT"},
        {"a text set and finished without typing",
         [&] {
             insert->setText("y");
             emit insert->editingFinished();
         },
         "YA.TXT"},
        {"a box set by the program", [&] { Find<QCheckBox>("chkInsertStart")->setChecked(false); },
         "A.TXT"},
        {"the list entry set back", [&] { Find<QComboBox>("cboCaseHandling")->setCurrentIndex(0); },
         ""},
    };
    for (const auto& [what, change, preview] : steps) {
        SCOPED_TRACE(what);
        change();
        EXPECT_EQ(TargetRows(), Texts{preview});
    }

    // The fields of an operation refresh only while it is on.
    Find<QCheckBox>("chkInsertEnd")->click();
    TypeAndLeave("txtInsertEnd", "x");
    EXPECT_EQ(TargetRows(), Texts{"ax.txt"});

    // Typing alone does not count; leaving the field does.
    auto* insertEnd = Find<QLineEdit>("txtInsertEnd");
    insertEnd->setFocus();
    QTest::keyClicks(insertEnd, "y");
    EXPECT_EQ(TargetRows(), Texts{"ax.txt"});
    Find<QLineEdit>("txtSourceDir")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(TargetRows(), Texts{"axy.txt"});

    // Changed behind the window's back: Do It commits what a fresh preview
    // shows, "/" keeping the name the entry had.
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = "Trip/";
    window->DoIt();
    EXPECT_EQ(drive.FileNames(), Texts{"Trip/a.txt"});
}

TEST_F(WindowTest, EveryRangeCheckRunsWhenItsFieldIsLeftAndKeepsTheFocusAndText) {
    Find<QCheckBox>("chkRegex")->click();  // the search text is checked as a pattern
    const std::tuple<const char*, const char*, std::string> cases[] = {
        {"txtSwapArea2", "1", engine::CheckSwapArea("1", "1")},
        {"txtEliminatePosition", "0", engine::CheckEliminatePosition("0")},
        {"txtAutonumberStep", "0", "Autonumber Step value cannot be zero."},
        {"txtFilter", "a[b",
         "You cannot have a [ outside a range.  Please use [[] to specify a single [.  "
         "See the help file for more information."},
        {"txtSearch", "(IMG", engine::CheckSearchPattern("(IMG")},
    };
    for (const auto& [field, text, message] : cases) {
        SCOPED_TRACE(field);
        boxes.clear();
        const QString before = Find<QLineEdit>(field)->text();
        TypeAndLeave(field, text);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, message);
        EXPECT_EQ(boxes[0].icon, app::Icon::Exclamation);
        EXPECT_EQ(QApplication::focusWidget(), Find<QLineEdit>(field));
        EXPECT_EQ(Find<QLineEdit>(field)->text(), QString::fromUtf8(text));
        // A valid value back, so that the next field can be left.
        TypeAndLeave(field, before.isEmpty() ? "1" : before.toUtf8().constData());
    }
}

TEST_F(WindowTest, RegularExpressionSearchPreviewsAndABadPatternChangesNoName) {
    drive.WriteFile("IMG 2023-05-17.jpg", "");
    window->RefreshForced();
    Find<QCheckBox>("chkSearchReplace")->click();
    auto* regex = Find<QCheckBox>("chkRegex");
    regex->click();
    TypeAndLeave("txtSearch", R"(IMG (\d{4})-(\d\d)-(\d\d))");
    TypeAndLeave("txtReplace", "$3.$2.$1");
    EXPECT_EQ(TargetRows(), Texts{"17.05.2023.jpg"});
    // A refused pattern refreshes nothing.
    TypeAndLeave("txtSearch", "(IMG");
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(TargetRows(), Texts{"17.05.2023.jpg"});

    // Brought by a template, the pattern changes no name and the status bar
    // says why, all of it on pointing at the panel.
    TypeAndLeave("txtSearch", "(IMG)");
    workspace.options.txtSearch = "(IMG";
    window->RefreshForced();
    EXPECT_EQ(TargetRows(), Texts{""});
    auto* status = Find<QLabel>("StatDest");
    EXPECT_TRUE(
        status->text().startsWith("Names are left unchanged. The search text is not a "
                                  "valid regular expression: "));
    EXPECT_EQ(status->text().toStdString(), workspace.PreviewWarning());
    // A pattern that compiles takes the warning away.
    workspace.options.txtSearch = "(IMG)";
    window->RefreshForced();
    EXPECT_EQ(workspace.PreviewWarning(), "");
    EXPECT_EQ(status->text(), "1 item to be changed.");
}

TEST_F(WindowTest, SelectionInTheSourceListDrivesThePreview) {
    drive.WriteFiles({"a.txt", "b.txt", "c.txt"});
    window->RefreshForced();
    Find<QLineEdit>("txtInsertStart")->setText("x");
    Find<QCheckBox>("chkInsertStart")->click();
    EXPECT_EQ(TargetRows(), (Texts{"xa.txt", "xb.txt", "xc.txt"}));

    FileListView* list = window->SourceList();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(1, 0)).center());
    EXPECT_EQ(TargetRows(), (Texts{"", "xb.txt", ""}));
    EXPECT_FALSE(workspace.SourceFileList()[0].selected);

    list->clearSelection();
    // In a text field Ctrl+A selects the field's text, not the rows.
    auto* search = Find<QLineEdit>("txtSearch");
    search->setText("abc");
    QTest::keyClick(search, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(search->selectedText(), "abc");
    EXPECT_TRUE(list->selectionModel()->selectedRows().isEmpty());
    QTest::keyClick(list, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(TargetRows(), (Texts{"xa.txt", "xb.txt", "xc.txt"}));
    EXPECT_EQ(list->selectionModel()->selectedRows().size(), 3);
}

TEST_F(WindowTest, F5AndCtrlZActOnlyWhenTheyShouldAndRefreshAlwaysRereads) {
    drive.WriteFile("a.txt", "a");
    window->RefreshForced();
    drive.WriteFile("b.txt", "");
    QTest::keyClick(window->SourceList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(SourceRowCount(), 1) << "an undo would have re-read the folder";
    // F5 with auto refresh off leaves the lists, but Refresh rereads.
    workspace.preferences.autoRefresh = 0;
    QTest::keyClick(Find<QLineEdit>("txtSearch"), Qt::Key_F5);
    EXPECT_EQ(SourceRowCount(), 1);
    workspace.preferences.autoRefresh = 1;
    QTest::keyClick(window->SourceList(), Qt::Key_F5);
    EXPECT_EQ(SourceRowCount(), 2);
    drive.WriteFile("c.txt", "");
    workspace.preferences.autoRefresh = 0;
    QTest::mouseClick(Find<QPushButton>("cmdRefresh"), Qt::LeftButton);
    EXPECT_EQ(SourceRowCount(), 3);

    Find<QLineEdit>("txtInsertStart")->setText("n");
    Find<QCheckBox>("chkInsertStart")->click();
    window->DoIt();
    ASSERT_TRUE(drive.Exists("na.txt"));
    auto* field = Find<QLineEdit>("txtInsertEnd");
    field->setFocus(Qt::OtherFocusReason);
    QTest::keyClicks(field, "xy");
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "");
    EXPECT_TRUE(drive.Exists("na.txt"));
    EXPECT_EQ(workspace.UndoLevel(), 1);
    QTest::keyClick(window->SourceList(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_TRUE(drive.Exists("a.txt"));
}

TEST_F(WindowTest, FlaggedTargetRowsAreMarkedAndExplainThemselves) {
    drive.WriteFiles({"a.txt", "ax.txt", "b.txt"});
    // ax.txt is listed but not selected, so it keeps its name.
    Find<QComboBox>("cboFilter")->setCurrentIndex(engine::kSelectMatching);
    Find<QLineEdit>("txtFilter")->setText("?.txt");
    window->RefreshForced();
    Find<QLineEdit>("txtInsertEnd")->setText("x");
    Find<QCheckBox>("chkInsertEnd")->click();
    ASSERT_TRUE(workspace.TargetFlagged(0)) << "a.txt -> ax.txt, which exists";
    QAbstractItemModel* model = window->TargetList()->model();
    const QModelIndex flagged = model->index(0, 0);
    EXPECT_TRUE(flagged.data(kFlaggedRole).toBool());
    EXPECT_EQ(flagged.data(Qt::AccessibleDescriptionRole).toString().toStdString(),
              workspace.ErrorMessage(0));
    EXPECT_FALSE(model->index(2, 0).data(kFlaggedRole).toBool());
    // Reported as selected to accessibility tools.
    EXPECT_EQ(window->TargetList()->selectionModel()->selectedRows(), QModelIndexList{flagged});
}

// Tags in the main window: the menu beside a text lists each tag with the
// current row's value, and the one chosen goes into its text and into the
// preview at once.
TEST_F(WindowTest, TheTagMenuShowsTheCurrentRowsValuesAndInsertsTheChosenTag) {
    for (const char* sample : {"digitized.jpg", "photo.jpg"}) {
        std::filesystem::copy_file(std::string(KESTREL_TAG_SAMPLES) + "/" + sample,
                                   drive.HostPath(sample));
    }
    window->RefreshForced();
    // The current row, the selection left as it is.
    window->SourceList()->selectionModel()->setCurrentIndex(
        window->SourceList()->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    QMenu* menu = Find<TagButton>("cmdTagsInsertEnd")->Menu();
    emit menu->aboutToShow();
    QStringList texts;
    for (QAction* action : menu->actions()) {
        texts << action->text();
    }
    for (const char* entry :
         {"<taken>\t2001-02-03", "<camera>\tCanon EOS 5D", "<artist>\t(none)", "Help on tags..."}) {
        EXPECT_TRUE(texts.contains(QString::fromUtf8(entry))) << entry;
    }

    Find<QCheckBox>("chkInsertEnd")->click();
    TypeAndLeave("txtInsertEnd", " ");
    menu->actions().at(texts.indexOf("<camera>\tCanon EOS 5D"))->trigger();
    QApplication::processEvents();
    EXPECT_EQ(Find<QLineEdit>("txtInsertEnd")->text(), QStringLiteral(" <camera>"));
    EXPECT_EQ(TargetRows(), (Texts{"digitized .jpg", "photo Canon EOS 5D.jpg"}));
    EXPECT_EQ(workspace.ErrorMessage(0), "No value for <camera>");
    EXPECT_TRUE(window->TargetList()->selectionModel()->isRowSelected(0));
}

}  // namespace
}  // namespace kestrel::ui
