#include "engine/case_rule_list.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "engine/character_classes.h"

namespace kestrel::engine {
namespace {

std::vector<std::string> Texts(const CaseRuleList& list) {
    std::vector<std::string> texts;
    for (const CaseRule& rule : list.Rules()) {
        texts.push_back(rule.text);
    }
    return texts;
}

CaseRuleList ListOf(const std::vector<std::string>& texts) {
    CaseRuleList list;
    for (const std::string& text : texts) {
        list.InsertSorted(text, true);
    }
    return list;
}

// Answers from a script and records each question.
struct ScriptedAsker {
    std::vector<RuleConflictAnswer> answers;
    std::vector<std::string> questions;
    std::vector<bool> offeredCancel;

    RuleConflictAsker Asker() {
        return [this](std::string_view question, bool offerCancel) {
            questions.emplace_back(question);
            offeredCancel.push_back(offerCancel);
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected question: " << question;
                return RuleConflictAnswer::No;
            }
            const RuleConflictAnswer answer = answers.front();
            answers.erase(answers.begin());
            return answer;
        };
    }
};

TEST(CaseRuleList, StaysSortedIgnoringCaseWithNewcomerBeforeItsCaseTwin) {
    CaseRuleList list = ListOf({"nasa", "DVD", "McDonald", "école", "abc"});
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"abc", "DVD", "McDonald", "nasa", "école"}));

    EXPECT_EQ(list.InsertSorted("dvd", false), 1);
    EXPECT_EQ(list.InsertSorted("Dvd", true), 1);
    EXPECT_EQ(list.InsertSorted("ÉCOLE", true), 6);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"abc", "Dvd", "dvd", "DVD", "McDonald", "nasa",
                                                     "ÉCOLE", "école"}));
    EXPECT_FALSE(list.At(2).marked);
}

TEST(CaseRuleList, ActiveRuleTextsSkipsUnmarkedRulesAndKeepsListOrder) {
    CaseRuleList list = ListOf({"b", "a", "c", "d"});
    list.SetMarked(1, false);
    list.SetMarked(3, false);
    EXPECT_EQ(list.ActiveRuleTexts(), (std::vector<std::string>{"a", "c"}));
}

TEST(CaseRuleList, IgnoresIndicesOutsideTheList) {
    CaseRuleList list = ListOf({"a"});
    EXPECT_FALSE(list.Remove(1));
    EXPECT_FALSE(list.Remove(-1));
    EXPECT_FALSE(list.SetText(1, "x"));
    EXPECT_FALSE(list.SetMarked(-1, false));
    EXPECT_EQ(Texts(list), std::vector<std::string>{"a"});
}

TEST(RuleConflictQuestion, NamesBothRulesAndExplainsCancelWhenOffered) {
    EXPECT_EQ(RuleConflictQuestion("DVD", "Dvd", false), "Overwrite rule DVD with Dvd?   ");
    EXPECT_EQ(RuleConflictQuestion("DVD", "Dvd", true),
              "Overwrite rule DVD with Dvd?   \r\r(Selecting Cancel will ignore all duplicates "
              "and retain original rules.)");
    EXPECT_EQ(kRuleConflictTitle, "Rule conflict");
}

TEST(CaseRuleValidate, KeepModeDropsTheNewcomerWithoutAsking) {
    CaseRuleList list = ListOf({"DVD"});
    const int index = list.InsertSorted("dvd", true);
    bool ignoreAll = false;
    ScriptedAsker asker;
    EXPECT_EQ(CaseRuleValidate(list, index, kConflictKeepExisting, ignoreAll, asker.Asker()),
              RuleConflictOutcome::NewcomerDropped);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"DVD"});
    EXPECT_FALSE(ignoreAll);
}

TEST(CaseRuleValidate, AnswerDecidesWhichLetterCaseStays) {
    struct Case {
        int mode;
        RuleConflictAnswer answer;
        RuleConflictOutcome outcome;
        const char* survivor;
        bool ignoreAllAfter;
    };
    const Case cases[] = {
        {kConflictAskYesNo, RuleConflictAnswer::Yes, RuleConflictOutcome::NewcomerKept, "Dvd",
         false},
        {kConflictAskYesNo, RuleConflictAnswer::No, RuleConflictOutcome::NewcomerDropped, "DVD",
         false},
        // Cancel was not offered: it counts as No and ignores nothing later.
        {kConflictAskYesNo, RuleConflictAnswer::Cancel, RuleConflictOutcome::NewcomerDropped, "DVD",
         false},
        {kConflictAskYesNoCancel, RuleConflictAnswer::Yes, RuleConflictOutcome::NewcomerKept, "Dvd",
         false},
        {kConflictAskYesNoCancel, RuleConflictAnswer::Cancel, RuleConflictOutcome::NewcomerDropped,
         "DVD", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + " / " + std::to_string(static_cast<int>(c.answer)));
        CaseRuleList list = ListOf({"abc", "DVD", "xyz"});
        const int index = list.InsertSorted("Dvd", true);
        bool ignoreAll = false;
        ScriptedAsker asker{{c.answer}, {}, {}};
        EXPECT_EQ(CaseRuleValidate(list, index, c.mode, ignoreAll, asker.Asker()), c.outcome);
        EXPECT_EQ(Texts(list), (std::vector<std::string>{"abc", c.survivor, "xyz"}));
        EXPECT_EQ(ignoreAll, c.ignoreAllAfter);
        ASSERT_EQ(asker.questions.size(), 1u);
        EXPECT_EQ(asker.offeredCancel[0], c.mode == kConflictAskYesNoCancel);
    }
}

TEST(CaseRuleValidate, IgnoreAllDropsNewcomersWithoutAsking) {
    CaseRuleList list = ListOf({"DVD"});
    const int index = list.InsertSorted("Dvd", true);
    bool ignoreAll = true;
    ScriptedAsker asker;
    EXPECT_EQ(CaseRuleValidate(list, index, kConflictAskYesNoCancel, ignoreAll, asker.Asker()),
              RuleConflictOutcome::NewcomerDropped);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"DVD"});
}

TEST(CaseRuleValidate, LeavesRulesThatDifferInMoreThanCase) {
    CaseRuleList list = ListOf({"DVD", "DVDs"});
    const int index = list.InsertSorted("dvd", true);
    bool ignoreAll = false;
    ScriptedAsker asker{{RuleConflictAnswer::Yes}, {}, {}};
    EXPECT_EQ(CaseRuleValidate(list, index + 1, kConflictAskYesNo, ignoreAll, asker.Asker()),
              RuleConflictOutcome::NoConflict);
    EXPECT_EQ(CaseRuleValidate(list, 2, kConflictAskYesNo, ignoreAll, asker.Asker()),
              RuleConflictOutcome::NoConflict);
    EXPECT_EQ(list.Size(), 3);
    EXPECT_TRUE(asker.questions.empty());
}

TEST(CaseRuleLines, ColonMarksAnUnmarkedRuleAndEveryLineIsARule) {
    const std::vector<CaseRule> rules = ParseCaseRuleLines({"DVD", ":NASA", "", "::x", ":"});
    ASSERT_EQ(rules.size(), 5u);
    const CaseRule expected[] = {
        {"DVD", true}, {"NASA", false}, {"", true}, {":x", false}, {"", false}};
    for (std::size_t i = 0; i < rules.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(rules[i].text, expected[i].text);
        EXPECT_EQ(rules[i].marked, expected[i].marked);
    }
}

TEST(CaseRuleLines, SerializesInListOrderWithColonBeforeUnmarkedRules) {
    CaseRuleList list = ListOf({"McDonald", "DVD", "Café"});
    list.SetMarked(1, false);
    list.InsertSorted(":)", false);
    EXPECT_EQ(SerializeCaseRules(list), "::)\r\nCafé\r\n:DVD\r\nMcDonald\r\n");
    EXPECT_EQ(SerializeCaseRules(CaseRuleList{}), "");
}

TEST(CaseEditorButtonStates, FollowListSizeAndInput) {
    struct Case {
        int ruleCount;
        const char* input;
        CaseEditorButtons expected;  // add, modify, remove, deleteAll, merge
    };
    const Case cases[] = {
        {0, "", {false, false, false, false, true}},
        {0, "DVD", {true, false, false, false, true}},
        {1, "", {false, false, true, true, true}},
        {1, "DVD", {true, true, true, true, true}},
        {kMaxCaseRules - 1, "DVD", {true, true, true, true, true}},
        {kMaxCaseRules, "DVD", {false, true, true, true, false}},
        {kMaxCaseRules, "", {false, false, true, true, false}},
        {kMaxCaseRules + 1, "DVD", {false, true, true, true, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ruleCount) + " / " + c.input);
        const CaseEditorButtons buttons = CaseEditorButtonStates(c.ruleCount, c.input);
        EXPECT_EQ(buttons.add, c.expected.add);
        EXPECT_EQ(buttons.modify, c.expected.modify);
        EXPECT_EQ(buttons.remove, c.expected.remove);
        EXPECT_EQ(buttons.deleteAll, c.expected.deleteAll);
        EXPECT_EQ(buttons.merge, c.expected.merge);
    }
}

TEST(CheckCaseRuleInput, RefusesASeparatorTypedAtTheEnd) {
    const CaseInputCheck refused = CheckCaseRuleInput("DVD ");
    EXPECT_EQ(refused.input, "DVD");
    EXPECT_EQ(refused.message,
              "Case Rules cannot contain the following characters:  "
              "1234567890,.;()[]{}_-+=!@#$%&   ");
    for (char separator : kRuleSeparators) {
        SCOPED_TRACE(separator);
        const CaseInputCheck check = CheckCaseRuleInput(std::string("ab") + separator);
        EXPECT_EQ(check.input, "ab");
        EXPECT_FALSE(check.message.empty());
    }
    for (const char* input : {"", "DVD", "Café", "a1b", "x:"}) {
        SCOPED_TRACE(input);
        const CaseInputCheck check = CheckCaseRuleInput(input);
        EXPECT_EQ(check.input, input);
        EXPECT_EQ(check.message, "");
    }
}

TEST(AddCaseRule, AsksYesNoOnAClashAndReportsTheRuleToMakeCurrent) {
    CaseRuleList list = ListOf({"abc", "DVD"});
    ScriptedAsker asker{{RuleConflictAnswer::Yes, RuleConflictAnswer::No}, {}, {}};

    EXPECT_EQ(AddCaseRule(list, "Dvd", asker.Asker()), std::optional<int>(1));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"abc", "Dvd"}));
    EXPECT_TRUE(list.At(1).marked);

    EXPECT_EQ(AddCaseRule(list, "DVD", asker.Asker()), std::nullopt);
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"abc", "Dvd"}));
    EXPECT_EQ(asker.questions, (std::vector<std::string>{"Overwrite rule DVD with Dvd?   ",
                                                         "Overwrite rule Dvd with DVD?   "}));
    EXPECT_EQ(asker.offeredCancel, (std::vector<bool>{false, false}));

    EXPECT_EQ(AddCaseRule(list, "NASA", asker.Asker()), std::optional<int>(2));
}

TEST(AddCaseRule, RefusesEmptyInputAndAFullList) {
    CaseRuleList list;
    EXPECT_EQ(AddCaseRule(list, "", nullptr), std::nullopt);
    EXPECT_TRUE(list.Empty());
    for (int i = 0; i < kMaxCaseRules; ++i) {
        list.InsertSorted("r" + std::to_string(100000 + i), true);
    }
    EXPECT_EQ(AddCaseRule(list, "zz", nullptr), std::nullopt);
    EXPECT_EQ(list.Size(), kMaxCaseRules);
}

TEST(ModifyCaseRule, ReplacesTheCurrentTextWithoutResorting) {
    CaseRuleList list = ListOf({"abc", "DVD"});
    EXPECT_TRUE(ModifyCaseRule(list, 0, "zzz"));
    EXPECT_FALSE(ModifyCaseRule(list, 1, ""));
    EXPECT_FALSE(ModifyCaseRule(list, std::nullopt, "x"));
    EXPECT_FALSE(ModifyCaseRule(list, 2, "x"));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"zzz", "DVD"}));
}

TEST(DeleteCaseRule, MakesTheFollowingRuleCurrent) {
    CaseRuleList list = ListOf({"a", "b", "c"});
    EXPECT_EQ(DeleteCaseRule(list, 1), std::optional<int>(1));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"a", "c"}));
    EXPECT_EQ(DeleteCaseRule(list, 1), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, std::nullopt), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, 5), std::nullopt);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"a"});
    DeleteAllCaseRules(list);
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace kestrel::engine
