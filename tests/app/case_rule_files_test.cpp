#include "app/case_rule_files.h"

#include <gtest/gtest.h>

#include "engine/case_rule_list.h"
#include "support/scripted_ui.h"
#include "support/temp_drive.h"

namespace kestrel::app {
namespace {

using engine::CaseRuleList;
using support::TempDrive;
using Texts = std::vector<std::string>;

class CaseRuleFilesTest : public ::testing::Test {
  protected:
    CaseRuleFilesTest() {
        for (const char* text : {"DVD", "McDonald", "NASA"}) {
            list.InsertSorted(text, true);
        }
    }
    int Read(const char* bytes, int mode) {
        drive.WriteFile("rules.csr", bytes);
        return ReadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("rules.csr"), mode);
    }
    Texts ListTexts() const {
        Texts texts;
        for (const engine::CaseRule& rule : list.Rules()) {
            texts.push_back(rule.marked ? rule.text : ":" + rule.text);
        }
        return texts;
    }

    TempDrive drive;
    support::ScriptedUi ui;
    CaseRuleList list;
};

TEST_F(CaseRuleFilesTest, ReadAddsDecodedLinesKeepsTwinsSilentlyOrAsksAboutClashes) {
    EXPECT_EQ(Read("dvd\r\nCaf\xE9\r\n\r\n:New", engine::kConflictKeepExisting), 1);
    EXPECT_EQ(ListTexts(), (Texts{"", "Café", "DVD", "McDonald", "NASA", ":New"}));
    EXPECT_TRUE(ui.boxes().empty());

    // Clashes are asked in a rule conflict box, with Cancel only when merging.
    ui.QueueAnswer(Answer::Yes);
    Read("Dvd", engine::kConflictAskYesNo);
    ui.QueueAnswer(Answer::Yes);
    Read("nasa", engine::kConflictAskYesNoCancel);
    ASSERT_EQ(ui.boxes().size(), 2u);
    for (const support::ScriptedUi::Box& box : ui.boxes()) {
        EXPECT_EQ(box.title, "Rule conflict");
        EXPECT_EQ(box.icon, Icon::Question);
    }
    EXPECT_EQ(ui.boxes()[0].buttons, Buttons::YesNo);
    EXPECT_EQ(ui.boxes()[1].buttons, Buttons::YesNoCancel);
    EXPECT_EQ(ui.boxes()[1].text, engine::RuleConflictQuestion("NASA", "nasa", true));
    EXPECT_EQ(ListTexts(), (Texts{"", "Café", "Dvd", "McDonald", "nasa", ":New"}));
}

TEST_F(CaseRuleFilesTest, MergeCancelKeepsExistingRulesForTheRestOfThatReadOnly) {
    const char* clashes = "dvd\r\nNew\r\nnasa\r\nmcdonald\r\n";
    ui.QueueAnswer(Answer::Cancel);
    EXPECT_EQ(Read(clashes, engine::kConflictAskYesNoCancel), 1);
    EXPECT_EQ(ListTexts(), (Texts{"DVD", "McDonald", "NASA", "New"}));
    EXPECT_EQ(ui.boxes().size(), 1u);

    // The next read asks again, "New" now clashing with itself too.
    for (Answer answer : {Answer::Yes, Answer::No, Answer::No, Answer::No}) {
        ui.QueueAnswer(answer);
    }
    Read(clashes, engine::kConflictAskYesNoCancel);
    EXPECT_EQ(ui.boxes().size(), 5u);
    EXPECT_EQ(ListTexts(), (Texts{"dvd", "McDonald", "NASA", "New"}));
}

TEST_F(CaseRuleFilesTest, ReadStopsAddingAtTheRuleLimit) {
    list.Clear();
    for (int i = 0; i < engine::kMaxCaseRules - 1; ++i) {
        list.InsertSorted("r" + std::to_string(100000 + i), true);
    }
    Read("x1\r\nx2\r\nx3\r\n", engine::kConflictKeepExisting);
    EXPECT_EQ(list.Size(), engine::kMaxCaseRules);
    EXPECT_EQ(list.At(list.Size() - 1).text, "x1");
}

TEST_F(CaseRuleFilesTest, SaveWritesTheWholeListOrFailsAndLoadReplacesItUnlessUnreadable) {
    list.SetMarked(0, false);
    ASSERT_TRUE(CaseRulesSave(drive.FileSystem(), list, TempDrive::Path("Saved.csr")).Ok());
    EXPECT_EQ(drive.ReadFile("Saved.csr"), ":DVD\r\nMcDonald\r\nNASA\r\n");
    EXPECT_FALSE(
        CaseRulesSave(drive.FileSystem(), list, TempDrive::Path("missing\\Saved.csr")).Ok());

    const std::string missing = TempDrive::Path("none.csr");
    EXPECT_EQ(ReadCaseRules(drive.FileSystem(), ui, list, missing, engine::kConflictKeepExisting),
              0);
    EXPECT_EQ(LoadCaseRules(drive.FileSystem(), ui, list, missing), 0);
    EXPECT_EQ(ListTexts(), (Texts{":DVD", "McDonald", "NASA"}));

    drive.WriteFile("b.csr", "NASA\r\nnasa\r\n");
    EXPECT_EQ(LoadCaseRules(drive.FileSystem(), ui, list, TempDrive::Path("b.csr")), 1);
    EXPECT_EQ(ListTexts(), Texts{"NASA"});
    EXPECT_TRUE(ui.boxes().empty());
}

}  // namespace
}  // namespace kestrel::app
