#include "engine/rename_options.h"

#include <gtest/gtest.h>

#include "engine/case_rule_list.h"
#include "engine/field_checks.h"
#include "engine/name_checks.h"

namespace kestrel::engine {
namespace {

TEST(RenameOptions, FactoryResetKeepsTheSwapAreas) {
    RenameOptions options, expected;
    options.chkCrop = 1, options.txtFilter = "*.jpg", options.txtSwapArea = {"3", "4"};
    options.chkRegex = 1;
    expected.txtSwapArea = options.txtSwapArea;
    ResetToFactoryDefaults(options);
    EXPECT_EQ(options, expected);
}

// The reset after a commit: operations off, their separator back, the rest kept.
TEST(RenameOptions, ClearOperationsSwitchesOperationsOffAndKeepsTheRest) {
    RenameOptions options, expected;
    options.chkReplaceWholeName = options.chkCrop = options.chkInsertEnd = 1;
    options.chkExtIncluded = options.chkUnderscore = 0;
    options.txtSwapSep = "#", options.cboAutonumber = "Auto";
    options.chkUNL = expected.chkUNL = 1;
    options.chkRegex = expected.chkRegex = 1;
    options.txtInsertEnd = expected.txtInsertEnd = "kept";
    options.cboCaseHandling = expected.cboCaseHandling = 2;
    ClearOperations(options);
    EXPECT_EQ(options, expected);
}

TEST(RenameOptions, CoupledFields) {
    RenameOptions o;
    SetReplaceWholeName(o, 1);  // numbers the names unless a number was chosen
    SetRecurse(o, 1);           // shows the sub-folder unless a path was shown
    EXPECT_EQ(o.cboAutonumber, "Auto");
    EXPECT_EQ(o.cboPathDisplay, kShowPartialPath);
    EXPECT_FALSE(SearchAndReplaceEnabled(o));
    o.cboAutonumber = "3", o.cboPathDisplay = kShowFullPath;
    SetReplaceWholeName(o, 1);
    SetRecurse(o, 1);
    EXPECT_EQ(o.cboAutonumber, "3");
    EXPECT_EQ(o.cboPathDisplay, kShowFullPath);
    o.cboPathDisplay = kShowFilenameOnly;
    SetPathSplice(o, 1);
    EXPECT_EQ(o.cboPathDisplay, kShowFullPath);
    EXPECT_FALSE(PathDisplayEnabled(o));
    EXPECT_EQ(NextAttributeState(1), 2);
    EXPECT_EQ(NextAttributeState(2), 0);
}

TEST(RenameOptions, AutonumberDigitsFromListOrTypedText) {
    EXPECT_EQ(AutonumberListIndex("05"), -1);
    const std::pair<const char*, int> cases[] = {
        {"Auto", 0}, {"3", 3}, {"05", 5}, {"300", 255}, {"-4", 0},
    };
    for (const auto& [text, digits] : cases) {
        EXPECT_EQ(AutonumberDigits(text), digits) << text;
    }
}

TEST(RenameOptions, OptionTextsAreCutAtCharactersNotBytes) {
    RenameOptions options;
    for (int i = 0; i < 300; ++i) {
        options.txtSearch += "é";
    }
    options.txtFilter = std::string(256, '*');
    CapOptionTexts(options);
    EXPECT_EQ(options.txtSearch.size(), 2 * kMaxOptionTextLength);
    EXPECT_EQ(options.txtFilter.size(), kMaxOptionTextLength);
}

TEST(FieldChecks, MessagesForRefusedValues) {
    using Check = std::string (*)(std::string_view);
    const std::tuple<Check, const char*, const char*> cases[] = {
        {CheckSwapSep, "", "Swap delimiter must contain at least one character."},
        {CheckEliminatePosition, "abc", "Crop position value must be 1 through 255."},
        {CheckUNL, "300", "Uniform Number Length value must be 1 through 255."},
        {CheckAutonumberStep, "0", "Autonumber Step value cannot be zero."},
        {CheckAutonumberText, "300", "Autonumber digits must be 0 (Auto) through 255, or Off."},
    };
    for (const auto& [check, value, message] : cases) {
        EXPECT_EQ(check(value), message) << value;
    }
    const std::pair<Check, const char*> accepted[] = {
        {CheckEliminateChars, "255"}, {CheckUNL, "1"},
        {CheckAutonumberStep, "-1"},  {CheckAutonumberText, "Off"},
        {CheckAutonumberText, "255"},
    };
    for (const auto& [check, value] : accepted) {
        EXPECT_EQ(check(value), "") << value;
    }
    EXPECT_EQ(CheckSwapArea("3", "3"), "Area values cannot be equal.");
    EXPECT_EQ(CheckSwapArea("256", "1"), "Area value must be 1 through 255.");
    EXPECT_EQ(CheckSwapArea("2", "1"), "");
}

TEST(LengthCheck, MeasuresCharactersOfTheLastPathElement) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"Holiday\\IMG_0001.jpg", 8, "Filename exceeds 8 characters in length."},
        {"ab", 1, "Filename exceeds 1 character in length."},
        {"Ünïcödé", 7, ""},
        {"2001\\Photos\\", 5, "Filename exceeds 5 characters in length."},
    };
    for (const auto& [newName, maxLength, expected] : cases) {
        EXPECT_EQ(LengthMessage(newName, maxLength).english, expected)
            << newName << " / " << maxLength;
    }
}

// Backslashes make folders; a "." or ".." folder would lead out of the target folder.
TEST(ErrorCheck1, ReportsTheEightInvalidCharactersAndDotFolders) {
    for (const char* name :
         {"a/b", "a?.txt", "c:d", "*", "\"q\"", "<", ">", "a|b", "..\\a.txt", "a\\.\\b", "a\\..",
          ".", "..\\"}) {
        EXPECT_EQ(ErrorCheck1(name), "Invalid characters") << name;
    }
    for (const char* name : {"Holiday\\a.txt", "Photos\\", "Ünïcödé", "..a", "...", "a.\\.b\\"}) {
        EXPECT_EQ(ErrorCheck1(name), "") << name;
    }
}

// The table keeps the first holder of each hash and asks the caller about
// every earlier row with the same hash: a hash shared by two paths is no
// duplicate, and both rows stay findable.
TEST(DuplicateTargets, RepeatsWhatTheCallerConfirmsAmongEqualHashes) {
    // Rows 0..1999 have targets "N<row % 1000>", all with one of two hashes,
    // so that every look-up walks past rows the caller must tell apart.
    DuplicateTargets duplicates(4);  // sized far too small: the table grows
    std::vector<std::size_t> asked;
    for (std::size_t row = 0; row < 2000; ++row) {
        const bool repeats = duplicates.Repeats(row % 2, row, [&](std::size_t earlier) {
            asked.push_back(earlier);
            return earlier % 1000 == row % 1000;
        });
        ASSERT_EQ(repeats, row >= 1000) << row;
    }
    EXPECT_FALSE(asked.empty());
    // The folder's part is mixed in first: swapping the parts is another path.
    EXPECT_NE(TargetPathHash(FoldedHash("a"), FoldedHash("b")),
              TargetPathHash(FoldedHash("b"), FoldedHash("a")));
}

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
