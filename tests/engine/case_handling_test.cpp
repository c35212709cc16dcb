#include "engine/case_handling.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <limits>
#include <string>
#include <vector>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

using text::ToCodePoints;
using text::ToUtf8;

// Returns the scripted values in turn and counts the draws.
RandomUnit Scripted(const std::vector<double>& values, std::size_t& draws) {
    return [&values, &draws] { return values.at(draws++); };
}

TEST(InitialCaps, CapitalizesEachWordAndKeepsLettersAfterAnInnerApostropheLow) {
    struct Case {
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {"the x-men", "The X-Men"},
        {"DON'T STOP", "Don't Stop"},
        {"o'neil", "O'neil"},
        {"rock 'n' roll", "Rock 'N' Roll"},
        {"2nd mp3", "2nd Mp3"},
        {"émile zola", "Émile Zola"},
        {"'twas", "'Twas"},
        // Word characters are the Latin-1 letters and digits and their case
        // partners (ÿ upper-cases to Ÿ, outside Latin-1), not × ÷ _ nor Greek.
        {"a×b a÷b a_b", "A×B A÷B A_B"},
        {"aÿb", "Aÿb"},
        {"ωμέγα test", "ΩΜΈΓΑ Test"},
        {"", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::u32string text = ToCodePoints(c.input);
        InitialCaps(text);
        EXPECT_EQ(ToUtf8(text), c.expected);
    }
}

TEST(CaseHandling, ModesFollowTheListPositionsAndTreatTheExtensionApart) {
    struct Case {
        int position;
        const char* input;
        bool isExtension;
        const char* expected;
    };
    const Case cases[] = {
        {0, "MiXeD", false, "MiXeD"}, {1, "REPORT", false, "Report"},
        {1, "DOC", true, "doc"},      {2, "straße é", true, "STRAßE É"},
        {3, "ÉCOLE", false, "école"}, {4, "alternating", false, "aLtErNaTiNg"},
        {4, "txt", true, "TxT"},      {5, "alternating", false, "AlTeRnAtInG"},
        {5, "txt", true, "tXt"},      {7, "Hello wORLD é1", false, "hELLO World É1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " " << c.input);
        std::u32string text = ToCodePoints(c.input);
        ApplyCaseHandling(static_cast<CaseHandling>(c.position), text, c.isExtension, {});
        EXPECT_EQ(ToUtf8(text), c.expected);
    }
}

TEST(RandomCase, LowersWhereTheScaledDrawRoundedHalfToEvenIsOdd) {
    // 0.5, 1.5 and 2.5 round to the even 0, 2 and 2; 9.5 rounds to 10.
    const std::vector<double> values = {0.0, 0.1, 0.04, 0.05, 0.15, 0.25, 0.3, 0.949, 0.95, 0.9};
    std::size_t draws = 0;
    std::u32string text = U"abcdefghij";
    ApplyCaseHandling(CaseHandling::Random, text, false, Scripted(values, draws));
    EXPECT_EQ(ToUtf8(text), "AbCDEFghIj");
    EXPECT_EQ(draws, values.size());
}

TEST(RandomCase, SurvivesAFaultyGeneratorAndLeavesUpperCaseWithoutOne) {
    const std::vector<double> values = {std::numeric_limits<double>::quiet_NaN(), 1e300, -0.1};
    std::size_t draws = 0;
    std::u32string text = U"abc";
    RandomCase(text, Scripted(values, draws));
    EXPECT_EQ(ToUtf8(text), "ABc");
    text = U"abc";
    RandomCase(text, {});
    EXPECT_EQ(ToUtf8(text), "ABC");
}

TEST(CaseRules, ForceTheirLetterCaseOnWholeWordsWithLaterRulesWinning) {
    struct Case {
        std::vector<std::string> rules;
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {{"DVD"}, "my dvd-rip", "my DVD-rip"},
        {{"DVD"}, "dvds", "dvds"},
        {{"DVD"}, "2dvd", "2DVD"},
        {{"DVD"}, "xdvd", "xdvd"},
        {{"DVD"}, "dvd's", "dvd's"},
        {{"DVD"}, "dvd dvd dvd", "DVD DVD DVD"},
        {{"DVD"}, "rip of dvd", "rip of DVD"},
        {{"McDonald"}, "old mcdonald", "old McDonald"},
        {{"DVD", "Dvd"}, "my dvd", "my Dvd"},
        {{"Dvd", "DVD"}, "my dvd", "my DVD"},
        {{"", "DVD"}, "dvd", "DVD"},
        {{"AA"}, "aaa aa", "aaa AA"},
        {{"Émile"}, "ÉMILE zola", "Émile zola"},
        {{"My File"}, "MY FILE", "My File"},
        // After an occurrence the search resumes past the character behind it.
        {{"A A"}, "a a a", "A A a"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::u32string text = ToCodePoints(c.input);
        ApplyCaseRules(text, CaseRuleSet(c.rules));
        EXPECT_EQ(ToUtf8(text), c.expected);
    }
    EXPECT_TRUE(CaseRuleSet({"", ""}).Empty());
}

TEST(CaseRules, TerminateAndChangeOnlyLetterCaseOnAdversarialInput) {
    const std::string longText(2000, 'a');
    const CaseRuleSet rules({" ", "-", "1", "...", "a", "aaaa", "x y", longText, "A-", "\xFF"});
    const std::string texts[] = {"",    " ",      "----",   "a a a a",  "aaaa",   "1 1 1",
                                 "...", longText, "a-a-a-", "\xFF\xFE", "x y x y"};
    for (const std::string& input : texts) {
        SCOPED_TRACE(input.substr(0, 20));
        std::u32string text = ToCodePoints(input);
        rules.Apply(text);
        EXPECT_EQ(text::FoldCase(text), text::FoldCase(ToCodePoints(input)));
    }
}

}  // namespace
}  // namespace kestrel::engine
