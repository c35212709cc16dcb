#pragma once

#include <QDialog>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <stdexcept>
#include <vector>

#include "settings/settings_store.h"
#include "settings/temp_config_folder.h"
#include "support/recording_programs.h"
#include "ui/file_list_view.h"
#include "ui/progress_window.h"
#include "window_fixture.h"

namespace kestrel::ui {

/// The main window with a settings store of its own, and the desktop's
/// programs and sound player replaced by recording ones.
class SettingsWindowTest : public WindowTest {
  protected:
    SettingsWindowTest() : store(config.Path()) {
        workspace.AttachSettings(store,
                                 {support::TempDrive::Path(""), support::TempDrive::Path("data\\"),
                                  support::TempDrive::Path("")});
        qtUi.SetProgramRunner(programs);
        qtUi.SetSoundPlayer(player);
    }

    /// Clicks the main window's `button` and returns the dialog named `dialog`,
    /// which it must have shown. A missing button or dialog ends the test with
    /// an exception, which GoogleTest reports as a failure, so that callers need
    /// not check for null.
    QDialog* Open(const char* button, const char* dialog) {
        QPushButton* push = nullptr;
        // The Preferences window has a button of the same name as one of these.
        for (QPushButton* candidate :
             window->findChildren<QPushButton*>(QString::fromLatin1(button))) {
            if (candidate->window() == window.get()) {
                push = candidate;
            }
        }
        if (push == nullptr) {
            throw std::runtime_error(std::string("no button ") + button);
        }
        QTest::mouseClick(push, Qt::LeftButton);
        QDialog* shown = Shown(dialog);
        Activate(shown);
        return shown;
    }

    /// The window's dialog named `name`, which must be showing; as with Open,
    /// the test ends when it is not.
    QDialog* Shown(const char* name) {
        auto* shown = window->findChild<QDialog*>(QString::fromLatin1(name));
        if (shown == nullptr || !shown->isVisible()) {
            throw std::runtime_error(std::string(name) + " is not showing");
        }
        return shown;
    }

    /// Makes `dialog` the window that receives the keyboard, as the desktop
    /// does for a window that has just opened.
    void Activate(QDialog* dialog) {
        QApplication::setActiveWindow(dialog);
        EXPECT_TRUE(QTest::qWaitForWindowActive(dialog));
    }

    /// Clicks a button of an open dialog.
    void Click(QDialog* dialog, const char* button) {
        auto* push = dialog->findChild<QPushButton*>(QString::fromLatin1(button));
        ASSERT_NE(push, nullptr) << button;
        QTest::mouseClick(push, Qt::LeftButton);
    }

    template <typename Widget>
    Widget* In(QDialog* dialog, const char* name) {
        auto* widget = dialog->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }

    /// Opens every dialog of the program, the main window's and those opened
    /// from other dialogs, and hides each again, ready to be shown one by one.
    std::vector<QDialog*> OpenEveryDialog() {
        QDialog* about = Open("cmdAbout", "frmAbout");
        about->hide();
        QDialog* progress = new ProgressWindow(qtUi, window.get());
        QDialog* prefs = Open("cmdPreferences", "frmPreferences");
        Click(prefs, "cmdSounds");
        QDialog* sounds = In<QDialog>(prefs, "frmSounds");
        Click(sounds, "cmdClose");
        Click(prefs, "cmdTemplates");
        QDialog* templates = Shown("frmTemplates");
        Click(templates, "cmdClose");
        prefs->hide();
        QDialog* rules = Open("cmdEditRules", "frmCaseRules");
        Click(rules, "cmdOK");
        QDialog* exports = Open("cmdPrint", "frmExport");
        exports->findChild<QTabWidget*>("TabStrip")->setCurrentIndex(0);  // the most controls
        exports->hide();
        FileListView* list = window->SourceList();
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::ShiftModifier | Qt::AltModifier,
                          list->PointOf(0, 1));
        auto* rename = Shown("frmRenameSingle");
        rename->hide();
        list->setCurrentIndex(list->model()->index(0, 0));
        QTest::keyClick(list, Qt::Key_Return, Qt::AltModifier);
        auto* properties = Shown("frmProperties");
        properties->hide();
        QDialog* browser = Open("cmdBrowseSource", "frmBrowse");
        Click(browser, "cmdMapDrive");
        auto* mapDrive = Shown("frmMapDrive");
        mapDrive->hide();
        Click(browser, "cmdCreateDir");
        auto* makeTree = Shown("frmMkTree");
        makeTree->hide();
        browser->hide();

        return {prefs,      sounds,  templates, rules,    exports, rename,
                properties, browser, mapDrive,  makeTree, about,   progress};
    }

    settings::TempConfigFolder config;
    settings::SettingsStore store;
    support::RecordingPrograms programs;
    support::RecordingSoundPlayer player;
};

}  // namespace kestrel::ui
