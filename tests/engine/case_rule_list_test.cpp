#include "engine/case_rule_list.h"

#include <gtest/gtest.h>

namespace kestrel::engine {
namespace {

using Texts = std::vector<std::string>;
using Asked = std::vector<std::pair<std::string, bool>>;  // question, Cancel offered
using enum RuleConflictAnswer;

// Every rule in these lists is marked, so ActiveRuleTexts() lists them all.
CaseRuleList ListOf(const Texts& texts) {
    CaseRuleList list;
    for (const std::string& text : texts) {
        list.InsertSorted(text, true);
    }
    return list;
}

// Answers from a script, records each question, and fails on one too many.
struct Script {
    std::vector<RuleConflictAnswer> answers;
    Asked asked = {};
    RuleConflictAsker Asker() {
        return [this](std::string_view question, bool offerCancel) {
            asked.emplace_back(question, offerCancel);
            return answers.at(asked.size() - 1);
        };
    }
};

// The rule file: a line per rule in list order, a colon before an unmarked one.
TEST(CaseRuleList, UnmarkedRulesAreWrittenAfterAColonAndNotApplied) {
    CaseRuleList list = ListOf({"McDonald", "DVD", "Café"});
    list.SetMarked(1, false);
    list.InsertSorted(":)", false);
    EXPECT_EQ(SerializeCaseRules(list), "::)\r\nCafé\r\n:DVD\r\nMcDonald\r\n");
    EXPECT_EQ(list.ActiveRuleTexts(), (Texts{"Café", "McDonald"}));
    const CaseRule once = ParseCaseRuleLine("::x"), empty = ParseCaseRuleLine(":");
    EXPECT_TRUE(once.text == ":x" && !once.marked) << once.text;
    EXPECT_TRUE(empty.text.empty() && !empty.marked) << empty.text;
}

TEST(RuleConflictQuestion, NamesBothRulesAndExplainsCancelWhenOffered) {
    EXPECT_EQ(RuleConflictQuestion("DVD", "Dvd", false), "Overwrite rule DVD with Dvd?   ");
    EXPECT_EQ(RuleConflictQuestion("DVD", "Dvd", true),
              "Overwrite rule DVD with Dvd?   \r\r(Selecting Cancel will ignore all duplicates "
              "and retain original rules.)");
}

// Reading and merging rule files show the list order, the other modes and answers.
TEST(CaseRuleValidate, CancelWhereOnlyYesAndNoWereOfferedCountsAsNoAndIgnoresNothingLater) {
    CaseRuleList list = ListOf({"abc", "DVD", "xyz"});
    bool ignoreAll = false;
    Script script{{Cancel}};
    EXPECT_EQ(CaseRuleValidate(list, list.InsertSorted("Dvd", true), kConflictAskYesNo, ignoreAll,
                               script.Asker()),
              RuleConflictOutcome::NewcomerDropped);
    EXPECT_EQ(list.ActiveRuleTexts(), (Texts{"abc", "DVD", "xyz"}));
    EXPECT_FALSE(ignoreAll);
    EXPECT_EQ(script.asked, (Asked{{RuleConflictQuestion("DVD", "Dvd", false), false}}));
}

TEST(CaseEditorButtonStates, FollowListSizeAndInput) {
    // "1" per enabled button: Add, Modify, Delete, Delete All, Merge.
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "", "00001"},
        {0, "DVD", "10001"},
        {1, "", "00111"},
        {1, "DVD", "11111"},
        {kMaxCaseRules, "DVD", "01110"},
    };
    for (const auto& [ruleCount, input, expected] : cases) {
        const CaseEditorButtons b = CaseEditorButtonStates(ruleCount, input);
        std::string enabled;
        for (const bool on : {b.add, b.modify, b.remove, b.deleteAll, b.merge}) {
            enabled += on ? '1' : '0';
        }
        EXPECT_EQ(enabled, expected) << ruleCount << " " << input;
    }
}

TEST(CheckCaseRuleInput, RefusesASeparatorTypedAtTheEnd) {
    const std::string message =
        "Case Rules cannot contain the following characters:  1234567890,.;()[]{}_-+=!@#$%&   ";
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"DVD ", "DVD", true},   {"ab&", "ab", true},   {"", "", false},
        {"Café", "Café", false}, {"a1b", "a1b", false}, {"x:", "x:", false},
    };
    for (const auto& [input, kept, refused] : cases) {
        EXPECT_EQ(CheckCaseRuleInput(input).input, kept) << input;
        EXPECT_EQ(CheckCaseRuleInput(input).message, refused ? message : "") << input;
    }
}

TEST(AddCaseRule, AsksYesNoOnAClashRefusesEmptyInputAndAFullListAndReportsTheNewRule) {
    CaseRuleList list = ListOf({"abc", "DVD"});
    Script script{{Yes, No}};
    EXPECT_EQ(AddCaseRule(list, "Dvd", script.Asker()), std::optional<int>(1));
    EXPECT_EQ(AddCaseRule(list, "DVD", script.Asker()), std::nullopt);
    EXPECT_EQ(list.ActiveRuleTexts(), (Texts{"abc", "Dvd"}));
    EXPECT_EQ(script.asked, (Asked{{RuleConflictQuestion("DVD", "Dvd", false), false},
                                   {RuleConflictQuestion("Dvd", "DVD", false), false}}));
    EXPECT_EQ(AddCaseRule(list, "NASA", script.Asker()), std::optional<int>(2));
    EXPECT_EQ(AddCaseRule(list, "", nullptr), std::nullopt);
    EXPECT_EQ(list.Size(), 3);
    while (list.Size() < kMaxCaseRules) {
        list.InsertSorted("r" + std::to_string(100000 + list.Size()), true);
    }
    EXPECT_EQ(AddCaseRule(list, "zz", nullptr), std::nullopt);  // the list is full
    EXPECT_EQ(list.Size(), kMaxCaseRules);
}

TEST(CaseRuleEditor, ModifyAndDeleteActOnTheCurrentRuleAndIgnoreOtherIndices) {
    CaseRuleList list = ListOf({"abc", "DVD", "xyz"});
    EXPECT_TRUE(ModifyCaseRule(list, 0, "zzz"));  // not re-sorted
    EXPECT_FALSE(ModifyCaseRule(list, 1, ""));
    EXPECT_FALSE(ModifyCaseRule(list, std::nullopt, "x"));
    EXPECT_FALSE(ModifyCaseRule(list, 3, "x"));
    EXPECT_EQ(list.ActiveRuleTexts(), (Texts{"zzz", "DVD", "xyz"}));

    EXPECT_EQ(DeleteCaseRule(list, 1), std::optional<int>(1));  // the next rule becomes current
    EXPECT_EQ(DeleteCaseRule(list, 1), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, std::nullopt), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, -1), std::nullopt);
    EXPECT_EQ(list.ActiveRuleTexts(), Texts{"zzz"});
    DeleteAllCaseRules(list);
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace kestrel::engine
