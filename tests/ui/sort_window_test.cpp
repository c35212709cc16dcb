// The list's order in the window: choosing "Name, numbers by value" re-sorts
// the rows, the autonumbers follow, the selection stays with its rows, and
// Do It commits what the preview showed.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QPushButton>

#include "window_fixture.h"

namespace kestrel::ui {
namespace {

std::vector<std::string> SourceRows(const MainWindow& window) {
    std::vector<std::string> rows;
    QAbstractItemModel* model = window.SourceList()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        rows.push_back(model->index(row, 0).data().toString().toStdString());
    }
    return rows;
}

TEST_F(WindowTest, NumbersByValueReordersTheRowsAndTheAutonumbersFollowThenDoIt) {
    for (const char* name : {"IMG_10.jpg", "IMG_2.jpg", "IMG_1.jpg", "IMG_3.jpg"}) {
        drive.WriteFile(name, name);
    }
    window->RefreshForced();
    Find<QComboBox>("cboAutonumber")->setCurrentText("Auto");
    TypeAndLeave("txtInsertStart", "? ");
    Find<QCheckBox>("chkInsertStart")->click();
    EXPECT_EQ(SourceRows(*window),
              (std::vector<std::string>{"IMG_1.jpg", "IMG_10.jpg", "IMG_2.jpg", "IMG_3.jpg"}));
    // The user leaves IMG_3.jpg out.
    QItemSelectionModel* selection = window->SourceList()->selectionModel();
    selection->select(window->SourceList()->model()->index(3, 0), QItemSelectionModel::Deselect);
    EXPECT_EQ(TargetRows(),
              (std::vector<std::string>{"1 IMG_1.jpg", "2 IMG_10.jpg", "3 IMG_2.jpg", ""}));

    auto* sort = Find<QComboBox>("cboSort");
    EXPECT_EQ(sort->currentText(), "Name");
    EXPECT_EQ(sort->accessibleName(), "Sort");
    sort->setCurrentIndex(sort->findText("Name, numbers by value"));
    EXPECT_EQ(SourceRows(*window),
              (std::vector<std::string>{"IMG_1.jpg", "IMG_2.jpg", "IMG_3.jpg", "IMG_10.jpg"}));
    EXPECT_EQ(TargetRows(),
              (std::vector<std::string>{"1 IMG_1.jpg", "2 IMG_2.jpg", "", "3 IMG_10.jpg"}));
    EXPECT_FALSE(selection->isRowSelected(2, {}));
    EXPECT_TRUE(selection->isRowSelected(3, {}));

    Find<QCheckBox>("chkSortDescending")->click();
    EXPECT_EQ(TargetRows(),
              (std::vector<std::string>{"1 IMG_10.jpg", "", "2 IMG_2.jpg", "3 IMG_1.jpg"}));
    QTest::mouseClick(Find<QPushButton>("cmdDoIt"), Qt::LeftButton);
    for (const char* name : {"1 IMG_10.jpg", "2 IMG_2.jpg", "3 IMG_1.jpg", "IMG_3.jpg"}) {
        EXPECT_TRUE(drive.Exists(name)) << name;
    }
    EXPECT_EQ(drive.ReadFile("1 IMG_10.jpg"), "IMG_10.jpg");
    // The order is a view option: the commit keeps it, and the list stays in it.
    EXPECT_EQ(sort->currentIndex(), 1);
    EXPECT_EQ(SourceRows(*window), (std::vector<std::string>{"IMG_3.jpg", "3 IMG_1.jpg",
                                                             "2 IMG_2.jpg", "1 IMG_10.jpg"}));
    EXPECT_TRUE(boxes.empty());
}

}  // namespace
}  // namespace kestrel::ui
