#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <deque>
#include <string>
#include <vector>

#include "app/workspace.h"
#include "support/fake_clock.h"
#include "support/neutral_options.h"
#include "support/temp_drive.h"
#include "ui/file_list_models.h"
#include "ui/file_list_view.h"
#include "ui/main_window.h"
#include "ui/qt_ui.h"

namespace kestrel::ui {

/// The real main window on a Workspace over a fresh drive T:, shown offscreen,
/// which turns typed and dropped host paths into paths on T:.
/// Message boxes are answered by a hook that records them (the next of
/// `answers`, else OK), so nothing modal blocks a test.
class WindowTest : public ::testing::Test {
  protected:
    struct Box {
        std::string text;
        std::string title;
        app::Buttons buttons;
        app::Icon icon;
    };

    WindowTest() : workspace(drive.FileSystem(), qtUi, clock, [] { return 0.5; }) {
        workspace.txtSourceDir = support::TempDrive::Path("");
        workspace.txtDestDir = support::TempDrive::Path("");
        workspace.options = support::NeutralOptions();
        // Written for the drive-letter look; the tests of this computer's
        // look choose it themselves.
        workspace.preferences.pathStyle = static_cast<int>(app::PathStyle::DriveLetters);
        workspace.AttachDrives(&drive.FileSystem().Drives());
        qtUi.SetAskHook([this](std::string_view text, std::string_view title, app::Buttons buttons,
                               app::Icon icon) {
            boxes.push_back({std::string(text), std::string(title), buttons, icon});
            if (answers.empty()) {
                return app::Answer::Ok;
            }
            const app::Answer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }

    void SetUp() override {
        MainWindow::Hooks hooks;
        hooks.drives = &drive.FileSystem().Drives();
        window = std::make_unique<MainWindow>(workspace, qtUi, hooks);
        window->resize(1200, 900);
        window->show();
        QApplication::setActiveWindow(window.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    void TearDown() override { window.reset(); }

    template <typename Widget>
    Widget* Find(const char* name) {
        auto* widget = window->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    /// Puts the focus in `field`, replaces its text by typing, and leaves it.
    void TypeAndLeave(const char* name, const char* text) {
        auto* field = Find<QLineEdit>(name);
        field->setFocus(Qt::OtherFocusReason);
        field->selectAll();
        if (*text == '\0') {
            QTest::keyClick(field, Qt::Key_Delete);
        } else {
            QTest::keyClicks(field, QString::fromUtf8(text));
        }
        // The folder box has no check of its own to interfere.
        Find<QLineEdit>("txtSourceDir")->setFocus(Qt::TabFocusReason);
        QApplication::processEvents();
    }

    /// The texts of a list's rows.
    static std::vector<std::string> Rows(const FileListView* list) {
        std::vector<std::string> rows;
        QAbstractItemModel* model = list->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            rows.push_back(model->index(row, 0).data().toString().toStdString());
        }
        return rows;
    }
    std::vector<std::string> SourceRows() const { return Rows(window->SourceList()); }
    std::vector<std::string> TargetRows() const { return Rows(window->TargetList()); }
    int SourceRowCount() const { return window->SourceList()->model()->rowCount(); }

    support::TempDrive drive;
    support::FakeClock clock;
    QtUi qtUi;
    app::Workspace workspace;
    std::unique_ptr<MainWindow> window;
    std::vector<Box> boxes;
    std::deque<app::Answer> answers;
};

}  // namespace kestrel::ui
