#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTabWidget>
#include <QToolButton>
#include <set>

#include "settings/key_paths.h"
#include "settings/preferences.h"
#include "settings_window_fixture.h"
#include "ui/qt_text.h"

namespace kestrel::ui {
namespace {

QString TextOf(QDialog* dialog, const char* name) {
    return dialog->findChild<QWidget*>(QString::fromLatin1(name))->property("text").toString();
}

TEST_F(SettingsWindowTest, SliderCaptionsFollowEveryChangeOfTheirSlider) {
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
    const struct {
        const char* slider;
        Qt::Key key;
        int value;  // reached by the key: ranges and large steps
    } steps[] = {
        {"sldMaxLength", Qt::Key_Home, 1},    {"sldMaxLength", Qt::Key_PageUp, 11},
        {"sldMaxLength", Qt::Key_End, 255},   {"sldSoundsTime", Qt::Key_Home, 0},
        {"sldSoundsTime", Qt::Key_Right, 1},  {"sldSoundsTime", Qt::Key_PageUp, 31},
        {"sldSoundsTime", Qt::Key_End, 300},  {"sldErrorCheck", Qt::Key_Home, 0},
        {"sldErrorCheck", Qt::Key_PageUp, 1},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(std::string(step.slider) + " " + std::to_string(step.value));
        QTest::keyClick(In<QSlider>(prefs, step.slider), step.key);
        EXPECT_EQ(In<QSlider>(prefs, step.slider)->value(), step.value);
        const auto value = [&](const char* slider) { return In<QSlider>(prefs, slider)->value(); };
        EXPECT_EQ(TextOf(prefs, "chkMaxLength"),
                  ToQString(settings::MaxLengthCaption(value("sldMaxLength"))));
        EXPECT_EQ(TextOf(prefs, "lblSoundsThreshold"),
                  ToQString(settings::SoundsThresholdCaption(value("sldSoundsTime"))));
        EXPECT_EQ(TextOf(prefs, "lblErrorCheck"),
                  ToQString(settings::ErrorCheckCaption(value("sldErrorCheck"))));
    }
}

TEST_F(SettingsWindowTest, CutoffOutsideItsRangeIsRefusedOnLeavingAndKeepsTheFocus) {
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
    auto* cutoff = In<QLineEdit>(prefs, "txtMaxListCutoff");
    EXPECT_FALSE(cutoff->isEnabled());
    In<QCheckBox>(prefs, "chkMaxList")->click();
    ASSERT_TRUE(cutoff->isEnabled());

    const auto typeAndLeave = [&](const char* text) {
        cutoff->setFocus(Qt::MouseFocusReason);
        cutoff->selectAll();
        QTest::keyClicks(cutoff, QString::fromUtf8(text));
        QTest::keyClick(cutoff, Qt::Key_Tab);
        QApplication::processEvents();
    };
    for (const char* refused : {"0", "40000"}) {
        SCOPED_TRACE(refused);
        boxes.clear();
        typeAndLeave(refused);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, settings::CheckMaxListCutoff(refused));
        EXPECT_EQ(boxes[0].icon, app::Icon::Exclamation);
        EXPECT_EQ(QApplication::focusWidget(), cutoff);
    }

    // Keystrokes other than digits are dropped; pasted text is read for its
    // leading number.
    boxes.clear();
    typeAndLeave("12abc");
    EXPECT_EQ(cutoff->text(), "12");
    QApplication::clipboard()->setText(QStringLiteral("7abc"));
    cutoff->setFocus(Qt::MouseFocusReason);
    cutoff->selectAll();
    QTest::keyClick(cutoff, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(cutoff->text(), "7abc");
    QTest::keyClick(cutoff, Qt::Key_Tab);
    EXPECT_TRUE(boxes.empty());
    Click(prefs, "btnOK");
    EXPECT_FALSE(prefs->isVisible());
    EXPECT_EQ(workspace.preferences.maxList, 1);
    EXPECT_EQ(workspace.preferences.maxListCutoff, 7);
}

TEST_F(SettingsWindowTest, CancelLeavesTheRecordAndTheNextOpeningShowsTheRecord) {
    workspace.preferences.maxLength = 40;
    workspace.preferences.doubleClickFolder = 1;
    const settings::Preferences before = workspace.preferences;
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
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
    prefs = Open("cmdPreferences", "frmPreferences");
    EXPECT_TRUE(In<QCheckBox>(prefs, "chkAutoRefresh")->isChecked());
    EXPECT_TRUE(In<QCheckBox>(prefs, "chkSaveTemplate")->isChecked());
    EXPECT_EQ(In<QSlider>(prefs, "sldMaxLength")->value(), 40);
    EXPECT_EQ(In<QComboBox>(prefs, "cboDClickFolder")->currentIndex(), 1);
    EXPECT_FALSE(In<QToolButton>(prefs, "imgSpeaker0")->isHidden());
}

TEST_F(SettingsWindowTest, OkCopiesTheControlsIntoTheRecordAndTheNextPreviewUsesThem) {
    drive.WriteFile("a.txt", "");
    window->RefreshForced();
    TypeAndLeave("txtInsertStart", "|");
    Find<QCheckBox>("chkInsertStart")->click();
    ASSERT_TRUE(workspace.TargetFlagged(0)) << "'|' is refused from the first level on";

    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
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

TEST_F(SettingsWindowTest, DesktopToolButtonsStartTheToolOrSayNoneIsInstalled) {
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
    struct Case {
        const char* button;
        const char* missing;
    };
    const Case cases[] = {
        {"cmdDisplay", "No display settings tool was found on this desktop."},
        {"cmdMouse", "No mouse settings tool was found on this desktop."},
        {"cmdDialUp", "No network connections tool was found on this desktop."},
        {"cmdInternet", "No Internet settings tool was found on this desktop."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        boxes.clear();
        Click(prefs, c.button);
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.missing);
        EXPECT_EQ(boxes[0].icon, app::Icon::Information);
    }
    EXPECT_TRUE(programs.started.empty());

    boxes.clear();
    programs.installed = {"nm-connection-editor"};
    Click(prefs, "cmdDialUp");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(programs.started, std::vector<std::vector<std::string>>{{"nm-connection-editor"}});
}

TEST_F(SettingsWindowTest, ChosenSoundIsStoredTestedAndPlayedWhenThePreviewTakesLongEnough) {
    workspace.sounds = settings::ReadSoundTable(store);
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
    Click(prefs, "cmdSounds");
    QDialog* sounds = In<QDialog>(prefs, "frmSounds");
    ASSERT_TRUE(sounds != nullptr && sounds->isVisible());
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
    player.result = platform::PlayResult::Started;
    Click(sounds, "cmdClose");

    // A threshold of 30 seconds, set on the slider.
    auto* threshold = In<QSlider>(prefs, "sldSoundsTime");
    QTest::keyClick(threshold, Qt::Key_Home);
    QTest::keyClick(threshold, Qt::Key_PageUp);
    Click(prefs, "btnOK");
    ASSERT_EQ(workspace.preferences.soundsThreshold, 30);
    player.played.clear();
    const auto previewTaking = [this](double seconds) {
        clock.Queue(1000);
        clock.Queue(1000 + seconds);
        window->RefreshPreview();
    };
    previewTaking(29);
    EXPECT_TRUE(player.played.empty());
    previewTaking(30);
    EXPECT_EQ(player.played, std::vector<std::string>{"/sounds/done.oga"});

    prefs = Open("cmdPreferences", "frmPreferences");
    In<QToolButton>(prefs, "imgSpeaker0")->click();
    Click(prefs, "btnOK");
    previewTaking(300);
    EXPECT_EQ(player.played.size(), 1u) << "muted";
}

}  // namespace
}  // namespace kestrel::ui
