#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <regex>
#include <typeinfo>

#include "app/help_manual.h"
#include "settings/key_paths.h"
#include "settings/preferences.h"
#include "settings_window_fixture.h"
#include "support/loopback_server.h"
#include "ui/progress_window.h"
#include "update/update_check.h"

namespace kestrel::ui {
namespace {

TEST_F(SettingsWindowTest, CancelLeavesTheRecordAndOkCopiesTheControlsForTheNextPreview) {
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    TypeAndLeave("txtInsertStart", "|");
    Find<QCheckBox>("chkInsertStart")->click();
    ASSERT_TRUE(workspace.TargetFlagged(0)) << "'|' is refused from the first level on";
    workspace.preferences.maxLength = 40;
    workspace.preferences.doubleClickFolder = 1;
    const settings::Preferences before = workspace.preferences;
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    In<QCheckBox>(prefs, "chkAutoRefresh")->click();
    In<QCheckBox>(prefs, "chkSaveTemplate")->click();
    QTest::keyClick(In<QSlider>(prefs, "sldMaxLength"), Qt::Key_End);
    In<QComboBox>(prefs, "cboDClickFolder")->setCurrentIndex(3);
    In<QToolButton>(prefs, "imgSpeaker0")->click();
    EXPECT_FALSE(workspace.chkSaveTemplate);
    Click(prefs, "btnCancel");

    EXPECT_FALSE(prefs->isVisible());
    EXPECT_EQ(workspace.preferences, before);
    EXPECT_TRUE(workspace.chkSaveTemplate);
    // The next opening shows the record.
    prefs = Open("cmdPreferences", "frmPreferences");
    EXPECT_TRUE(In<QCheckBox>(prefs, "chkAutoRefresh")->isChecked());
    EXPECT_TRUE(In<QCheckBox>(prefs, "chkSaveTemplate")->isChecked());
    EXPECT_EQ(In<QSlider>(prefs, "sldMaxLength")->value(), 40);
    EXPECT_EQ(In<QComboBox>(prefs, "cboDClickFolder")->currentIndex(), 1);
    EXPECT_FALSE(In<QToolButton>(prefs, "imgSpeaker0")->isHidden());

    QTest::keyClick(In<QSlider>(prefs, "sldErrorCheck"), Qt::Key_Home);
    In<QCheckBox>(prefs, "chkHideLists")->click();
    In<QComboBox>(prefs, "cboDisplay")->setCurrentIndex(2);
    Click(prefs, "btnOK");
    EXPECT_FALSE(prefs->isVisible());
    EXPECT_EQ(workspace.preferences.errorChecking, 0);
    EXPECT_EQ(workspace.preferences.hideLists, 0);
    EXPECT_EQ(workspace.preferences.startupLocation, 2);
    EXPECT_EQ(store.ListSubkeys(settings::Scope::Machine, settings::kTemplatesKey).size(), 0u)
        << "the window writes nothing to the store";
    QTest::keyClick(window.get(), Qt::Key_F6);
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"|a.txt"});
    EXPECT_FALSE(workspace.TargetFlagged(0));
}

TEST_F(SettingsWindowTest, ChosenSoundIsStoredAndTested) {
    workspace.sounds = settings::ReadSoundTable(store);
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    Click(prefs, "cmdSounds");
    QDialog* sounds = Shown("frmSounds");
    auto* file = In<QLineEdit>(sounds, "txtSound1");
    EXPECT_EQ(file->text(), "") << "a fresh table reads \"0\": no sound";
    QTest::keyClicks(file, "/sounds/done.oga");
    EXPECT_EQ(settings::ReadSoundTable(store).files, workspace.sounds.files);
    EXPECT_EQ(workspace.sounds.files[0], "/sounds/done.oga");
    Click(sounds, "cmdTest1");
    EXPECT_EQ(player.played, std::vector<std::string>{"/sounds/done.oga"});
    player.result = platform::PlayResult::NoPlayer;
    Click(sounds, "cmdTest1");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "No sound player was found on this desktop.");
}

std::vector<std::string> Rules(QDialog* editor) {
    std::vector<std::string> rules;
    QAbstractItemModel* model = editor->findChild<QAbstractItemView*>("LstCases")->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, 0);
        rules.push_back((index.data(Qt::CheckStateRole).toInt() == Qt::Checked ? "" : ":") +
                        index.data().toString().toStdString());
    }
    return rules;
}

TEST_F(SettingsWindowTest, RuleEditorAsksConflictsThroughTheWindowAndKeepsMarksInFiles) {
    drive.WriteFile("R\\load.csr", "DVD\r\ndvd\r\n:NASA\r\nMcDonald\r\n");
    drive.WriteFile("R\\merge.csr", "Dvd\r\nnasa\r\nMCDONALD\r\nZed\r\n");
    std::vector<FileRequest> requests;
    std::string chosen;
    qtUi.SetFileHook([&](const FileRequest& request) {
        requests.push_back(request);
        return std::optional<std::string>(chosen);
    });
    QDialog* editor = Open("cmdEditRules", "frmCaseRules");
    const auto fileCommand = [&](const char* button, const char* file) {
        chosen = support::TempDrive::Path(std::string("R\\") + file);
        Click(editor, button);
    };
    fileCommand("btnLoad", "load.csr");
    EXPECT_EQ(Rules(editor), (std::vector<std::string>{"DVD", "McDonald", ":NASA"}));
    EXPECT_TRUE(boxes.empty()) << "a clash on loading drops the newcomer silently";

    answers = {app::Answer::Cancel};
    fileCommand("cmdMerge", "merge.csr");
    ASSERT_EQ(boxes.size(), 1u) << "Cancel ignores the other duplicates";
    EXPECT_EQ(boxes[0].text, engine::RuleConflictQuestion("DVD", "Dvd", true));
    EXPECT_EQ(boxes[0].buttons, app::Buttons::YesNoCancel);
    EXPECT_EQ(Rules(editor), (std::vector<std::string>{"DVD", "McDonald", ":NASA", "Zed"}));

    auto* input = In<QLineEdit>(editor, "txtCaseInput");
    QTest::keyClicks(input, "Dvd");
    answers = {app::Answer::Yes};
    Click(editor, "btnCaseAdd");
    EXPECT_EQ(boxes.back().text, "Overwrite rule DVD with Dvd?   ");
    EXPECT_EQ(boxes.back().buttons, app::Buttons::YesNo);
    EXPECT_EQ(Rules(editor), (std::vector<std::string>{"Dvd", "McDonald", ":NASA", "Zed"}));

    QTest::keyClicks(input, "DVD ");
    EXPECT_EQ(boxes.back().text, engine::CaseRuleInputMessage());
    EXPECT_EQ(boxes.back().icon, app::Icon::Exclamation);
    EXPECT_EQ(input->text(), "DVD");

    fileCommand("btnSaveAs", "saved.csr");
    EXPECT_EQ(drive.ReadFile("R\\saved.csr"), "Dvd\r\nMcDonald\r\n:NASA\r\nZed\r\n");
    Click(editor, "btnCaseDeleteAll");
    fileCommand("btnLoad", "saved.csr");
    EXPECT_EQ(Rules(editor), (std::vector<std::string>{"Dvd", "McDonald", ":NASA", "Zed"}));
    // Every rule dialog starts in the user's rule folder, made when missing,
    // with "*.csr" as the name to start from.
    for (const FileRequest& request : requests) {
        EXPECT_EQ(request.folder, support::TempDrive::Path("data\\Case Rules\\"));
        EXPECT_EQ(request.initialName, "*.csr");
    }
    EXPECT_TRUE(drive.Exists("data\\Case Rules"));

    // "&OK" hands the rules to the preview.
    drive.WriteFile("my dvd.avi", "");
    window->RefreshForced();
    workspace.options.cboCaseRules = engine::kCaseRulesName;
    Click(editor, "cmdOK");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"my Dvd.avi"});
}

using settings::Scope;
using support::TempDrive;

TEST_F(SettingsWindowTest, UseLoadsTheTemplateAndAddTakesThePreferencesOnlyWithTheSaveBoxOn) {
    drive.WriteFile("Sub\\a.txt", "");
    workspace.txtSourceDir = TempDrive::Path("Sub\\");
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = "_x";
    workspace.preferences.maxLength = 31;
    workspace.SaveTemplate(2, "Suffix");
    workspace.txtSourceDir = TempDrive::Path("");
    workspace.options = support::NeutralOptions();
    workspace.preferences = settings::Preferences{};
    workspace.preferences.pathStyle = static_cast<int>(app::PathStyle::DriveLetters);
    window->SyncFromWorkspace();

    // Opened from the Preferences window, which then shows the template's
    // preferences; "Use" loads the template into the main window and rereads the folder.
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    Click(prefs, "cmdTemplates");
    QDialog* templates = Shown("frmTemplates");
    In<QListWidget>(templates, "lstTemplates")->setCurrentRow(2);
    Click(templates, "cmdUse");
    EXPECT_FALSE(templates->isVisible());
    EXPECT_TRUE(Find<QCheckBox>("chkInsertEnd")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("txtInsertEnd")->text(), "_x");
    EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), TempDrive::Path("Sub\\"));
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"a_x.txt"});
    EXPECT_EQ(In<QSlider>(prefs, "sldMaxLength")->value(), 31);

    // A template added with the save box off carries no preferences; with the
    // box on again, the next one takes them along.
    In<QCheckBox>(prefs, "chkSaveTemplate")->click();
    Click(prefs, "cmdTemplates");
    auto* name = In<QLineEdit>(templates, "txtTemplate");
    name->clear();
    QTest::keyClicks(name, "Bare");
    Click(templates, "cmdAdd");
    EXPECT_EQ(store.ReadText(Scope::Machine, settings::TemplateKey(3), ""), "Bare");
    EXPECT_EQ(store.ReadNumber(Scope::Machine, settings::TemplateKey(3), "Max length", -1), -1);
    Click(templates, "cmdClose");
    In<QCheckBox>(prefs, "chkSaveTemplate")->click();
    Click(prefs, "cmdTemplates");
    QTest::keyClicks(name, "Full");
    Click(templates, "cmdAdd");
    EXPECT_EQ(store.ReadNumber(Scope::Machine, settings::TemplateKey(4), "Max length", -1), 31);
    Click(prefs, "btnOK");
    EXPECT_EQ(workspace.preferences.maxLength, 31);
}

class AboutAndUpdateTest : public SettingsWindowTest {
  protected:
    AboutAndUpdateTest() { SetSite(server.Url()); }
    void SetSite(const std::string& site) {
        store.WriteText(settings::Scope::Machine, settings::kRootKey, "Update site", site);
    }
    QDialog* Progress() { return window->findChild<QDialog*>("frmProgress"); }

    support::LoopbackServer server{drive.HostPath("site")};
};

TEST_F(AboutAndUpdateTest, ChecksNeverHoldTheWindowAndTheStartUpCheckSaysNothingWithoutAServer) {
    // At start-up the check waits for the window; no server means no word.
    workspace.preferences.autoUpdate = 1;
    SetSite("http://127.0.0.1:1");
    QElapsedTimer elapsed;
    elapsed.start();
    window->ScheduleAutomaticUpdateCheck();
    EXPECT_EQ(Progress(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([this] { return Progress() && !Progress()->isVisible(); }, 5000));
    EXPECT_LT(elapsed.elapsed(), 4000);

    // The progress window paints and answers Cancel while the server is silent.
    SetSite(server.Url("/silent"));
    QString action;
    QTimer::singleShot(300, [this, &action] {
        action = Progress()->findChild<QLabel*>("lblAction")->text();
        Click(Progress(), "cmdCancel");
    });
    elapsed.restart();
    window->CheckForUpdate(update::kManualCheck, false);
    EXPECT_LT(elapsed.elapsed(), 5000);
    EXPECT_EQ(action, "Getting file from server");
    EXPECT_TRUE(boxes.empty());  // neither check had anything to say

    SetSite(server.Url());  // "Check for &Update" is the manual check
    Click(Open("cmdPreferences", "frmPreferences"), "cmdCheck");
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(AboutAndUpdateTest, ManualOpensFromHelpAndF1AndEveryLinkedPageExists) {
    programs.installed = {"xdg-open"};
    QTest::mouseClick(Find<QPushButton>("cmdHelp"), Qt::LeftButton);  // T:\ has no manual
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text,
              "Kestrel's manual was not found. It belongs in the folder \"help\" "
              "beside the program (T:\\help\\).");

    const std::filesystem::path source = std::filesystem::path(__FILE__).parent_path() / "../..";
    std::string folder = "C:" + std::filesystem::canonical(source).string() + "/";
    std::replace(folder.begin(), folder.end(), '/', '\\');
    workspace.AttachSettings(store, {folder, folder, folder});
    QTest::keyClick(window->SourceList(), Qt::Key_F1);
    QTest::mouseClick(Find<QPushButton>("cmdHelp"), Qt::LeftButton);
    const std::filesystem::path help = std::filesystem::canonical(source / "help");
    const std::vector<std::string> open{"xdg-open", help / "index.html"};
    EXPECT_EQ(programs.started, (std::vector<std::vector<std::string>>{open, open}));
    // Without a browser: the manual named as this computer writes it, on a
    // line of its own.
    programs.exitStatus["xdg-open"] = 3;
    QTest::mouseClick(Find<QPushButton>("cmdHelp"), Qt::LeftButton);
    EXPECT_EQ(boxes.back().text, "Kestrel could not open its manual:\r" +
                                     (help / "index.html").string() + "\r\r" +
                                     std::string(app::kNoBrowserText));

    const std::regex link(R"(href="([^"#:]+))");
    for (const auto& page : std::filesystem::directory_iterator(help)) {
        std::ifstream in(page.path());
        const std::string html{std::istreambuf_iterator<char>(in), {}};
        for (std::sregex_iterator at(html.begin(), html.end(), link), end; at != end; ++at) {
            EXPECT_TRUE(std::filesystem::exists(help / (*at)[1].str())) << page.path() << (*at)[1];
        }
    }
}

// Every window as a screen reader or a keyboard user meets it: each control
// that can be used announces a name of its own, and Tab reaches it.
bool IsInteractive(QAccessible::Role role) {
    switch (role) {
        case QAccessible::PushButton:
        case QAccessible::CheckBox:
        case QAccessible::RadioButton:
        case QAccessible::ComboBox:
        case QAccessible::EditableText:
        case QAccessible::Slider:
        case QAccessible::SpinBox:
        case QAccessible::List:
        case QAccessible::Table:
        case QAccessible::Tree:
            return true;
        default:
            return false;
    }
}

// What Qt announces for a control without a name of its own is the caption of
// the frame it sits in, or a combo box's current entry: neither says what the
// control is.
void ExpectEveryControlNamed(QWidget* window) {
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (widget->window() != window || accessible == nullptr ||
            !IsInteractive(accessible->role())) {
            continue;
        }
        SCOPED_TRACE(widget->objectName().toStdString());
        const QString name = accessible->text(QAccessible::Name);
        EXPECT_FALSE(name.isEmpty()) << typeid(*accessible).name();
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            EXPECT_NE(name, combo->currentText());
        }
        if (!widget->accessibleName().isEmpty()) {
            continue;  // a name given on purpose may repeat the frame's caption
        }
        for (QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
            if (auto* frame = qobject_cast<QGroupBox*>(up)) {
                EXPECT_NE(name, frame->title());
            }
        }
    }
}

void ExpectTabReachesEveryControl(QWidget* window) {
    std::set<QWidget*> controls;
    for (QWidget* widget : window->findChildren<QWidget*>()) {
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        if (widget->window() == window && accessible != nullptr &&
            IsInteractive(accessible->role()) && widget->isVisible() && widget->isEnabled() &&
            widget->focusPolicy() != Qt::NoFocus && !qobject_cast<QComboBox*>(widget->parent())) {
            controls.insert(widget);
        }
    }
    std::set<QWidget*> reached;
    for (int i = 0; i < 300 && reached.size() < controls.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        reached.insert(QApplication::focusWidget());
    }
    for (QWidget* control : controls) {
        EXPECT_TRUE(reached.count(control)) << control->objectName().toStdString();
    }
}

TEST_F(SettingsWindowTest, EveryWindowNamesEachControlAndTabReachesIt) {
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    SCOPED_TRACE("frmMain");
    ExpectEveryControlNamed(window.get());
    window->SourceList()->setFocus();
    ExpectTabReachesEveryControl(window.get());

    for (QDialog* dialog : OpenEveryDialog()) {
        SCOPED_TRACE(dialog->objectName().toStdString());
        dialog->show();
        Activate(dialog);
        ExpectEveryControlNamed(dialog);
        ExpectTabReachesEveryControl(dialog);
        dialog->hide();
    }
}

}  // namespace
}  // namespace kestrel::ui
