#include <gtest/gtest.h>

#include <QAbstractItemView>

#include "settings_window_fixture.h"

namespace kestrel::ui {
namespace {

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
    ASSERT_NE(editor, nullptr);
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
    EXPECT_EQ(requests[1].title, "Select case rules file");
    EXPECT_EQ(requests[2].title, "Select Case Rules File");
    EXPECT_EQ(requests[2].filters, QStringList({"Case Rules (*.csr)", "Initialization (*.ini)"}));

    // "&OK" hands the rules to the preview.
    drive.WriteFile("my dvd.avi", "");
    window->RefreshForced();
    workspace.options.cboCaseRules = engine::kCaseRulesName;
    Click(editor, "cmdOK");
    EXPECT_FALSE(editor->isVisible());
    EXPECT_EQ(TargetRows(), std::vector<std::string>{"my Dvd.avi"});
}

TEST_F(SettingsWindowTest, RuleEditorButtonsFollowTheListAndTheInput) {
    const auto states = [](QDialog* editor) {
        std::string on;
        for (const char* name :
             {"btnCaseAdd", "btnCaseModify", "btnCaseDelete", "btnCaseDeleteAll", "cmdMerge"}) {
            on += editor->findChild<QPushButton*>(name)->isEnabled() ? '1' : '0';
        }
        return on;
    };
    QDialog* editor = Open("cmdEditRules", "frmCaseRules");
    ASSERT_NE(editor, nullptr);
    auto* input = In<QLineEdit>(editor, "txtCaseInput");
    EXPECT_EQ(states(editor), "00001");
    QTest::keyClicks(input, "x");
    EXPECT_EQ(states(editor), "10001");
    Click(editor, "cmdOK");

    for (int i = 0; i < engine::kMaxCaseRules; ++i) {
        workspace.caseRules.InsertSorted("r" + std::to_string(i), true);
    }
    editor = Open("cmdEditRules", "frmCaseRules");
    EXPECT_EQ(states(editor), "00110");
    QTest::keyClicks(input, "x");
    EXPECT_EQ(states(editor), "01110");
}

}  // namespace
}  // namespace kestrel::ui
