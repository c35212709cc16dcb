#include "engine/case_rule_list.h"

#include <array>
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

TEST(RuleConflictQuestion, NamesBothRulesAndExplainsCancelWhenOffered) {
    EXPECT_EQ(RuleConflictQuestion("DVD", "Dvd", false), "Overwrite rule DVD with Dvd?   ");
    EXPECT_EQ(RuleConflictQuestion("DVD", "Dvd", true),
              "Overwrite rule DVD with Dvd?   \r\r(Selecting Cancel will ignore all duplicates "
              "and retain original rules.)");
}

TEST(CaseRuleValidate, ModeAndAnswerDecideWhichLetterCaseStays) {
    struct Case {
        int mode;
        bool ignoreAllBefore;
        std::optional<RuleConflictAnswer> answer;  // none: nothing is asked
        RuleConflictOutcome outcome;
        const char* survivor;
        bool ignoreAllAfter;
    };
    using enum RuleConflictAnswer;
    using enum RuleConflictOutcome;
    const Case cases[] = {
        {kConflictKeepExisting, false, std::nullopt, NewcomerDropped, "DVD", false},
        {kConflictAskYesNo, false, Yes, NewcomerKept, "Dvd", false},
        {kConflictAskYesNo, false, No, NewcomerDropped, "DVD", false},
        // Cancel was not offered: it counts as No and ignores nothing later.
        {kConflictAskYesNo, false, Cancel, NewcomerDropped, "DVD", false},
        {kConflictAskYesNoCancel, false, Yes, NewcomerKept, "Dvd", false},
        {kConflictAskYesNoCancel, false, Cancel, NewcomerDropped, "DVD", true},
        {kConflictAskYesNoCancel, true, std::nullopt, NewcomerDropped, "DVD", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << c.mode << ", ignore all " << c.ignoreAllBefore
                                        << ", answer " << static_cast<int>(c.answer.value_or(No)));
        CaseRuleList list = ListOf({"abc", "DVD", "xyz"});
        const int index = list.InsertSorted("Dvd", true);
        bool ignoreAll = c.ignoreAllBefore;
        ScriptedAsker asker;
        if (c.answer) {
            asker.answers.push_back(*c.answer);
        }
        EXPECT_EQ(CaseRuleValidate(list, index, c.mode, ignoreAll, asker.Asker()), c.outcome);
        EXPECT_EQ(Texts(list), (std::vector<std::string>{"abc", c.survivor, "xyz"}));
        EXPECT_EQ(ignoreAll, c.ignoreAllAfter);
        EXPECT_EQ(asker.offeredCancel,
                  std::vector<bool>(c.answer ? 1 : 0, c.mode == kConflictAskYesNoCancel));
    }
}

TEST(CaseRuleValidate, LeavesRulesThatDifferInMoreThanCase) {
    CaseRuleList list = ListOf({"DVD", "DVDs"});
    const int index = list.InsertSorted("dvd", true);
    bool ignoreAll = false;
    ScriptedAsker asker;
    EXPECT_EQ(CaseRuleValidate(list, index + 1, kConflictAskYesNo, ignoreAll, asker.Asker()),
              RuleConflictOutcome::NoConflict);
    EXPECT_EQ(CaseRuleValidate(list, 2, kConflictAskYesNo, ignoreAll, asker.Asker()),
              RuleConflictOutcome::NoConflict);
    EXPECT_EQ(list.Size(), 3);
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
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.ruleCount) + " / " + c.input);
        const auto enabled = [](const CaseEditorButtons& b) {
            return std::array{b.add, b.modify, b.remove, b.deleteAll, b.merge};
        };
        EXPECT_EQ(enabled(CaseEditorButtonStates(c.ruleCount, c.input)), enabled(c.expected));
    }
}

TEST(CheckCaseRuleInput, RefusesASeparatorTypedAtTheEnd) {
    const CaseInputCheck refused = CheckCaseRuleInput("DVD ");
    EXPECT_EQ(refused.input, "DVD");
    EXPECT_EQ(refused.message,
              "Case Rules cannot contain the following characters:  "
              "1234567890,.;()[]{}_-+=!@#$%&   ");
    for (const char* input : {"ab1", "ab&"}) {
        SCOPED_TRACE(input);
        EXPECT_EQ(CheckCaseRuleInput(input).input, "ab");
        EXPECT_EQ(CheckCaseRuleInput(input).message, refused.message);
    }
    for (const char* input : {"", "Café", "a1b", "x:"}) {
        SCOPED_TRACE(input);
        EXPECT_EQ(CheckCaseRuleInput(input).input, input);
        EXPECT_EQ(CheckCaseRuleInput(input).message, "");
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
    EXPECT_EQ(asker.questions,
              (std::vector<std::string>{RuleConflictQuestion("DVD", "Dvd", false),
                                        RuleConflictQuestion("Dvd", "DVD", false)}));
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

TEST(CaseRuleEditor, ModifyAndDeleteActOnTheCurrentRuleAndIgnoreOtherIndices) {
    CaseRuleList list = ListOf({"abc", "DVD", "xyz"});
    EXPECT_TRUE(ModifyCaseRule(list, 0, "zzz"));  // not re-sorted
    EXPECT_FALSE(ModifyCaseRule(list, 1, ""));
    EXPECT_FALSE(ModifyCaseRule(list, std::nullopt, "x"));
    EXPECT_FALSE(ModifyCaseRule(list, 3, "x"));
    EXPECT_FALSE(list.SetMarked(-1, false));
    EXPECT_EQ(Texts(list), (std::vector<std::string>{"zzz", "DVD", "xyz"}));

    EXPECT_EQ(DeleteCaseRule(list, 1), std::optional<int>(1));  // the next rule becomes current
    EXPECT_EQ(DeleteCaseRule(list, 1), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, std::nullopt), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, -1), std::nullopt);
    EXPECT_EQ(DeleteCaseRule(list, 5), std::nullopt);
    EXPECT_EQ(Texts(list), std::vector<std::string>{"zzz"});
    DeleteAllCaseRules(list);
    EXPECT_TRUE(list.Empty());
}

}  // namespace
}  // namespace kestrel::engine
