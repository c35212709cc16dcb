#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>

#include "settings/key_paths.h"
#include "settings_window_fixture.h"

namespace kestrel::ui {
namespace {

using support::TempDrive;

std::vector<std::string> Rows(QListWidget* list) {
    std::vector<std::string> rows;
    for (int row = 0; row < list->count(); ++row) {
        rows.push_back(list->item(row)->text().toStdString());
    }
    return rows;
}

TEST_F(SettingsWindowTest, TemplateListShowsNumbersAsRowsAndTheSelectionInTheCaption) {
    workspace.SaveTemplate(1, "Photos");
    workspace.SaveTemplate(4, "Music");
    QDialog* templates = Open("cmdTemplates", "frmTemplates");
    ASSERT_NE(templates, nullptr);
    auto* list = In<QListWidget>(templates, "lstTemplates");
    EXPECT_EQ(Rows(list), (std::vector<std::string>{"{Last default state}", "Photos", "{Empty}",
                                                    "{Empty}", "Music"}));
    EXPECT_EQ(In<QGroupBox>(templates, "fmeTemplates")->title(), "Template number 0 highlighted");

    list->setCurrentRow(3);
    EXPECT_EQ(In<QGroupBox>(templates, "fmeTemplates")->title(), "Template number 3 highlighted");
    EXPECT_EQ(In<QLineEdit>(templates, "txtTemplate")->text(), "{Empty}");

    Click(templates, "cmdDeleteAll");
    EXPECT_EQ(list->count(), 0);
    EXPECT_FALSE(In<QPushButton>(templates, "cmdUse")->isEnabled());
    EXPECT_TRUE(store.ListSubkeys(settings::Scope::Machine, settings::kTemplatesKey).empty());
}

TEST_F(SettingsWindowTest, AddAfterDeletingTemplateTwoOfThreeUsesNumberFour) {
    for (int number : {1, 2, 3}) {
        workspace.SaveTemplate(number, "T" + std::to_string(number));
    }
    QDialog* templates = Open("cmdTemplates", "frmTemplates");
    ASSERT_NE(templates, nullptr);
    auto* list = In<QListWidget>(templates, "lstTemplates");
    list->setCurrentRow(2);
    Click(templates, "cmdDelete");
    EXPECT_EQ(list->item(2)->text(), "{Deleted}");
    EXPECT_EQ(store.ReadText(settings::Scope::Machine, settings::TemplateKey(2), "", "gone"),
              "gone");

    auto* name = In<QLineEdit>(templates, "txtTemplate");
    EXPECT_EQ(name->text(), "");
    QTest::keyClicks(name, "Fresh");
    Click(templates, "cmdAdd");
    EXPECT_EQ(Rows(list),
              (std::vector<std::string>{"{Last default state}", "T1", "{Deleted}", "T3", "Fresh"}));
    EXPECT_EQ(store.ReadText(settings::Scope::Machine, settings::TemplateKey(4), ""), "Fresh");
    EXPECT_EQ(name->text(), "");
}

TEST_F(SettingsWindowTest, UseLoadsTheTemplateIntoTheMainWindowAndRereadsTheFolder) {
    drive.WriteFile("Sub\\a.txt", "");
    workspace.txtSourceDir = TempDrive::Path("Sub\\");
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = "_x";
    workspace.preferences.maxLength = 31;
    workspace.SaveTemplate(2, "Suffix");
    workspace.txtSourceDir = TempDrive::Path("");
    workspace.options = support::NeutralOptions();
    workspace.preferences = settings::Preferences{};
    window->SyncFromWorkspace();

    // Opened from the Preferences window, which then shows the template's
    // preferences.
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
    Click(prefs, "cmdTemplates");
    auto* templates = window->findChild<QDialog*>("frmTemplates");
    ASSERT_TRUE(templates != nullptr && templates->isVisible());
    In<QListWidget>(templates, "lstTemplates")->setCurrentRow(2);
    Click(templates, "cmdUse");
    EXPECT_FALSE(templates->isVisible());
    EXPECT_TRUE(Find<QCheckBox>("chkInsertEnd")->isChecked());
    EXPECT_EQ(Find<QLineEdit>("txtInsertEnd")->text(), "_x");
    EXPECT_EQ(Find<QLineEdit>("txtSourceDir")->text().toStdString(), TempDrive::Path("Sub\\"));
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"a_x.txt"});
    EXPECT_EQ(In<QSlider>(prefs, "sldMaxLength")->value(), 31);
    Click(prefs, "btnOK");
    EXPECT_EQ(workspace.preferences.maxLength, 31);
}

TEST_F(SettingsWindowTest, TemplateAddedWithTheSaveBoxOffCarriesNoPreferences) {
    workspace.preferences.maxLength = 31;
    QDialog* prefs = Open("cmdPreferences", "frmPreferences");
    ASSERT_NE(prefs, nullptr);
    In<QCheckBox>(prefs, "chkSaveTemplate")->click();
    Click(prefs, "cmdTemplates");
    auto* templates = window->findChild<QDialog*>("frmTemplates");
    ASSERT_TRUE(templates != nullptr && templates->isVisible());
    auto* name = In<QLineEdit>(templates, "txtTemplate");
    name->clear();
    QTest::keyClicks(name, "Bare");
    Click(templates, "cmdAdd");
    const std::string key = settings::TemplateKey(1);
    EXPECT_EQ(store.ReadText(settings::Scope::Machine, key, ""), "Bare");
    EXPECT_EQ(store.ReadNumber(settings::Scope::Machine, key, "Max length", -1), -1);

    // With the box on again, the next template takes the preferences along.
    Click(templates, "cmdClose");
    In<QCheckBox>(prefs, "chkSaveTemplate")->click();
    Click(prefs, "cmdTemplates");
    QTest::keyClicks(name, "Full");
    Click(templates, "cmdAdd");
    EXPECT_EQ(
        store.ReadNumber(settings::Scope::Machine, settings::TemplateKey(2), "Max length", -1), 31);
}

}  // namespace
}  // namespace kestrel::ui
