#include "app/case_rule_files.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "engine/case_rule_list.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

using engine::CaseRuleList;
using support::ScriptedUi;
using support::TempDrive;

std::vector<std::string> Texts(const CaseRuleList& list) {
    std::vector<std::string> texts;
    for (const engine::CaseRule& rule : list.Rules()) {
        texts.push_back(rule.text);
    }
    return texts;
}

TEST(ReadCaseRules, KeepModeKeepsTheFirstOfTwinsSilently) {
    TempDrive drive;
    drive.WriteFile("Default.csr", "DVD\r\nNASA\r\ndvd\r\n");
    ScriptedUi ui;
    CaseRuleList list;
    EXPECT_EQ(ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("Default.csr"),
                            engine::kConflictKeepExisting),
              1);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"DVD", "NASA"}));
    EXPECT_TRUE(ui.boxes().empty());
}

TEST(ReadCaseRules, MergeCancelKeepsExistingRulesForTheRestOfThatReadOnly) {
    TempDrive drive;
    drive.WriteFile("Clashes.csr", "dvd\r\nNew\r\nnasa\r\nmcdonald\r\n");
    ScriptedUi ui;
    CaseRuleList list;
    for (const char* text : {"DVD", "NASA", "McDonald"}) {
        list.InsertSorted(text, true);
    }
    ui.QueueAnswer(Answer::Cancel);
    EXPECT_EQ(ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("Clashes.csr"),
                            engine::kConflictAskYesNoCancel),
              1);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"DVD", "McDonald", "NASA", "New"}));
    ASSERT_EQ(ui.boxes().size(), 1u);
    const ScriptedUi::Box& box = ui.boxes()[0];
    EXPECT_EQ(box.text,
              "Overwrite rule DVD with dvd?   \r\r(Selecting Cancel will ignore all duplicates "
              "and retain original rules.)");
    EXPECT_EQ(box.title, "Rule conflict");
    EXPECT_EQ(box.buttons, Buttons::YesNoCancel);
    EXPECT_EQ(box.icon, Icon::Question);

    // The next read asks again, "New" now clashing with itself too.
    for (Answer answer : {Answer::Yes, Answer::No, Answer::No, Answer::No}) {
        ui.QueueAnswer(answer);
    }
    ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("Clashes.csr"),
                  engine::kConflictAskYesNoCancel);
    EXPECT_EQ(ui.boxes().size(), 5u);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"dvd", "McDonald", "NASA", "New"}));
}

TEST(ReadCaseRules, AskModeAsksYesNo) {
    TempDrive drive;
    drive.WriteFile("a.csr", "Dvd");
    ScriptedUi ui;
    CaseRuleList list;
    list.InsertSorted("DVD", true);
    ui.QueueAnswer(Answer::Yes);
    ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("a.csr"),
                  engine::kConflictAskYesNo);
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text, "Overwrite rule DVD with Dvd?   ");
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"Dvd"});
}

TEST(ReadCaseRules, MissingFileLeavesTheListAsItWas) {
    TempDrive drive;
    ScriptedUi ui;
    CaseRuleList list;
    list.InsertSorted("DVD", true);
    EXPECT_EQ(ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("none.csr"),
                            engine::kConflictKeepExisting),
              0);
    EXPECT_EQ(LoadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("none.csr")), 0);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"DVD"});
}

TEST(ReadCaseRules, ReadsWindows1252LinesAndEmptyLines) {
    TempDrive drive;
    drive.WriteFile("old.csr", "Caf\xE9\r\n\r\n:NASA");
    ScriptedUi ui;
    CaseRuleList list;
    ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("old.csr"),
                  engine::kConflictKeepExisting);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"", "Café", "NASA"}));
    EXPECT_FALSE(list.At(2).marked);
}

TEST(ReadCaseRules, StopsAddingAtTheRuleLimit) {
    TempDrive drive;
    drive.WriteFile("more.csr", "x1\r\nx2\r\nx3\r\n");
    ScriptedUi ui;
    CaseRuleList list;
    for (int i = 0; i < engine::kMaxCaseRules - 1; ++i) {
        list.InsertSorted("r" + std::to_string(100000 + i), true);
    }
    ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("more.csr"),
                  engine::kConflictKeepExisting);
    EXPECT_EQ(list.Size(), engine::kMaxCaseRules);
    EXPECT_EQ(list.At(list.Size() - 1).text, "x1");
}

TEST(LoadCaseRules, ReplacesTheList) {
    TempDrive drive;
    drive.WriteFile("b.csr", "NASA\r\nnasa\r\n");
    ScriptedUi ui;
    CaseRuleList list;
    list.InsertSorted("DVD", true);
    EXPECT_EQ(LoadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("b.csr")), 1);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"NASA"});
    EXPECT_TRUE(ui.boxes().empty());
}

TEST(CaseRulesSave, WritesColonBeforeUnmarkedRulesAndReadsBackTheMarks) {
    TempDrive drive;
    CaseRuleList list;
    for (const char* text : {"McDonald", "DVD", "Café"}) {
        list.InsertSorted(text, true);
    }
    list.SetMarked(1, false);
    ASSERT_TRUE(CaseRulesSave(drive.FileSystem(), list, TempDrive::Path("Saved.csr")).Ok());
    EXPECT_EQ(drive.ReadFile("Saved.csr"), "Café\r\n:DVD\r\nMcDonald\r\n");

    ScriptedUi ui;
    CaseRuleList readBack;
    ReadCaseRules(drive.FileSystem(), ui, readBack, TempDrive::Path("Saved.csr"),
                  engine::kConflictKeepExisting);
    ASSERT_EQ(Texts(readBack), Texts(list));
    for (int i = 0; i < list.Size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(readBack.At(i).marked, list.At(i).marked);
    }
}

TEST(CaseRulesSave, ReportsAFileThatCannotBeWritten) {
    TempDrive drive;
    CaseRuleList list;
    list.InsertSorted("DVD", true);
    EXPECT_FALSE(
        CaseRulesSave(drive.FileSystem(), list, TempDrive::Path("missing\\Saved.csr")).Ok());
}

}  // namespace
}  // namespace kestrel::app
