// Tags in the main window: typed into a text, chosen from the menu beside it,
// seen in the preview, committed and undone.
#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>
#include <QPushButton>
#include <filesystem>

#include "ui/tag_button.h"
#include "window_fixture.h"

namespace kestrel::ui {
namespace {

class TagsWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        for (const char* sample : {"digitized.jpg", "photo.jpg"}) {
            std::filesystem::copy_file(std::string(KESTREL_TAG_SAMPLES) + "/" + sample,
                                       drive.HostPath(sample));
        }
        WindowTest::SetUp();
        window->RefreshForced();
    }

    // The menu as it opens, with the values of the current row.
    QStringList MenuTexts(const char* button) {
        QMenu* menu = Find<TagButton>(button)->Menu();
        emit menu->aboutToShow();
        QStringList texts;
        for (QAction* action : menu->actions()) {
            texts << action->text();
        }
        return texts;
    }

    void Choose(const char* button, const QString& tag) {
        QMenu* menu = Find<TagButton>(button)->Menu();
        emit menu->aboutToShow();
        for (QAction* action : menu->actions()) {
            if (action->text().startsWith(tag + QLatin1Char('\t'))) {
                action->trigger();
                QApplication::processEvents();
                return;
            }
        }
        ADD_FAILURE() << "no menu entry for " << tag.toStdString();
    }
};

TEST_F(TagsWindowTest, ATypedTagShowsEachPhotosDateThenDoItAndUndo) {
    Find<QCheckBox>("chkInsertStart")->click();
    TypeAndLeave("txtInsertStart", "<taken> ");
    EXPECT_EQ(TargetRows(),
              (std::vector<std::string>{"2002-03-04 digitized.jpg", "2001-02-03 photo.jpg"}));

    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    EXPECT_TRUE(drive.Exists("2001-02-03 photo.jpg"));
    EXPECT_TRUE(drive.Exists("2002-03-04 digitized.jpg"));
    EXPECT_FALSE(drive.Exists("photo.jpg"));

    QTest::mouseClick(Find<QPushButton>("cmdUndo"), Qt::LeftButton);
    EXPECT_TRUE(drive.Exists("photo.jpg"));
    EXPECT_TRUE(drive.Exists("digitized.jpg"));
    EXPECT_FALSE(drive.Exists("2001-02-03 photo.jpg"));
    EXPECT_TRUE(boxes.empty());
}

// The menu lists each tag with the current row's value, and the one chosen
// goes into its text and into the preview at once.
TEST_F(TagsWindowTest, TheMenuShowsTheCurrentRowsValuesAndInsertsTheChosenTag) {
    // The current row, the selection left as it is.
    window->SourceList()->selectionModel()->setCurrentIndex(
        window->SourceList()->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    const QStringList texts = MenuTexts("cmdTagsInsertEnd");
    EXPECT_TRUE(texts.contains(QStringLiteral("<taken>\t2001-02-03")));
    EXPECT_TRUE(texts.contains(QStringLiteral("<camera>\tCanon EOS 5D")));
    EXPECT_TRUE(texts.contains(QStringLiteral("<artist>\t(none)")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Help on tags...")));

    Find<QCheckBox>("chkInsertEnd")->click();
    TypeAndLeave("txtInsertEnd", " ");
    Choose("cmdTagsInsertEnd", QStringLiteral("<camera>"));
    EXPECT_EQ(Find<QLineEdit>("txtInsertEnd")->text(), QStringLiteral(" <camera>"));
    EXPECT_EQ(TargetRows(), (std::vector<std::string>{"digitized .jpg", "photo Canon EOS 5D.jpg"}));
    EXPECT_EQ(workspace.ErrorMessages()[0], "No value for <camera>");
    EXPECT_TRUE(window->TargetList()->selectionModel()->isRowSelected(0));

    // The replacement text has its own button, greyed with the search.
    Find<QCheckBox>("chkReplaceWholeName")->click();
    EXPECT_FALSE(Find<TagButton>("cmdTagsReplace")->isEnabled());
}

}  // namespace
}  // namespace kestrel::ui
