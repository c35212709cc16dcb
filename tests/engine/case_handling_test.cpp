#include "engine/case_handling.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

using text::ToCodePoints;
using text::ToUtf8;

TEST(CaseHandling, ModesFollowTheListPositionsAndTreatTheExtensionApart) {
    // Initial Caps: word characters are the Latin-1 letters and digits and their
    // case partners (ÿ upper-cases to Ÿ, outside Latin-1), not × ÷ _ nor Greek;
    // a letter after an apostrophe inside a word stays low.
    const std::tuple<int, const char*, bool, const char*> cases[] = {
        {0, "MiXeD", false, "MiXeD"},
        {1, "the x-men", false, "The X-Men"},
        {1, "DON'T STOP", false, "Don't Stop"},
        {1, "rock 'n' roll", false, "Rock 'N' Roll"},
        {1, "'twas 2nd mp3", false, "'Twas 2nd Mp3"},
        {1, "émile a×b a÷b a_b", false, "Émile A×B A÷B A_B"},
        {1, "aÿb ωμέγα", false, "Aÿb ΩΜΈΓΑ"},
        {1, "", false, ""},
        {1, "DOC", true, "doc"},
        {2, "straße é", true, "STRAßE É"},
        {3, "ÉCOLE", false, "école"},
        {4, "alternating", false, "aLtErNaTiNg"},
        {4, "txt", true, "TxT"},
        {5, "alternating", false, "AlTeRnAtInG"},
        {5, "txt", true, "tXt"},
        {7, "Hello wORLD é1", false, "hELLO World É1"},
    };
    for (const auto& [mode, input, isExtension, expected] : cases) {
        SCOPED_TRACE(testing::Message() << mode << " " << input);
        std::u32string text = ToCodePoints(input);
        ApplyCaseHandling(static_cast<CaseHandling>(mode), text, isExtension, {});
        EXPECT_EQ(ToUtf8(text), expected);
    }
}

TEST(RandomCase, LowersWhereTheScaledDrawRoundedHalfToEvenIsOdd) {
    // 0.5, 1.5 and 2.5 round to the even 0, 2 and 2; 9.5 rounds to 10. A faulty
    // generator's NaN, huge or negative draw leaves upper case, as does none.
    const std::vector<double> values = {0.0,
                                        0.1,
                                        0.04,
                                        0.05,
                                        0.15,
                                        0.25,
                                        0.3,
                                        0.949,
                                        0.95,
                                        0.9,
                                        std::numeric_limits<double>::quiet_NaN(),
                                        1e300,
                                        -0.1};
    std::size_t draws = 0;
    std::u32string text = U"abcdefghijabc";
    ApplyCaseHandling(CaseHandling::Random, text, false, [&] { return values.at(draws++); });
    EXPECT_EQ(ToUtf8(text), "AbCDEFghIjABc");
    EXPECT_EQ(draws, values.size());
    text = U"abc";
    RandomCase(text, {});
    EXPECT_EQ(ToUtf8(text), "ABC");
}

TEST(CaseRules, ForceTheirLetterCaseOnWholeWordsWithLaterRulesWinning) {
    const std::tuple<std::vector<std::string>, const char*, const char*> cases[] = {
        {{"DVD"}, "my dvd-rip", "my DVD-rip"},
        {{"DVD"}, "dvds xdvd dvd's", "dvds xdvd dvd's"},
        {{"DVD"}, "2dvd", "2DVD"},
        {{"DVD"}, "dvd dvd dvd", "DVD DVD DVD"},
        {{"DVD", "Dvd"}, "my dvd", "my Dvd"},
        {{"Dvd", "DVD"}, "my dvd", "my DVD"},
        {{"AA"}, "aaa aa", "aaa AA"},
        {{"Émile"}, "ÉMILE zola", "Émile zola"},
        // After an occurrence the search resumes past the character behind it.
        {{"A A"}, "a a a", "A A a"},
    };
    for (const auto& [rules, input, expected] : cases) {
        SCOPED_TRACE(input);
        std::u32string text = ToCodePoints(input);
        ApplyCaseRules(text, CaseRuleSet(rules));
        EXPECT_EQ(ToUtf8(text), expected);
    }
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
