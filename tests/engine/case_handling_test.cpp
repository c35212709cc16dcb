#include "engine/case_handling.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

using text::ToCodePoints;
using text::ToUtf8;

// The other modes, the case rules and the text effects are shown through the pipeline.
TEST(RandomCase, LowersWhereTheScaledDrawRoundedHalfToEvenIsOdd) {
    // 0.5, 1.5 and 2.5 round to the even 0, 2 and 2; 9.5 rounds to 10. A faulty
    // generator's NaN, huge or negative draw leaves upper case, as does none.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<double> values = {0.0,   0.1,  0.04, 0.05, 0.15,  0.25, 0.3,
                                        0.949, 0.95, 0.9,  nan,  1e300, -0.1};
    std::size_t draws = 0;
    std::u32string text = U"abcdefghijabc";
    ApplyCaseHandling(CaseHandling::Random, text, false, [&] { return values.at(draws++); });
    EXPECT_EQ(ToUtf8(text), "AbCDEFghIjABc");
    EXPECT_EQ(draws, values.size());
    text = U"abc";
    RandomCase(text, {});
    EXPECT_EQ(ToUtf8(text), "ABC");
}

TEST(CaseRules, TerminateAndChangeOnlyLetterCaseOnAdversarialInput) {
    const std::string longText(2000, 'a');
    const CaseRuleSet rules({" ", "-", "1", "...", "a", "aaaa", "x y", longText, "A-", "\xFF"});
    const std::string texts[] = {"",    " ",      "----",   "a a a a",  "aaaa",   "1 1 1",
                                 "...", longText, "a-a-a-", "\xFF\xFE", "x y x y"};
    for (const std::string& input : texts) {
        std::u32string text = ToCodePoints(input);
        rules.Apply(text);
        EXPECT_EQ(text::FoldCase(text), text::FoldCase(ToCodePoints(input))) << input.substr(0, 20);
    }
}

}  // namespace
}  // namespace kestrel::engine
