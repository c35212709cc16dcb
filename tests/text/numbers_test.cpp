#include "text/numbers.h"

#include <gtest/gtest.h>

namespace kestrel::text {
namespace {

TEST(LeadingNumber, ReadsTheNumberAtTheStartAndStopsAtTheFirstOtherCharacter) {
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"abc", 0},  {"", 0},      {"  42", 42}, {"1 50 277", 150277},
        {"-7", -7},    {"+3", 3},   {"2.5", 2.5}, {".5x", 0.5}, {"1e3", 1000},
        {"1e", 1},     {"- 4", -4}, {"12-3", 12}, {"0x10", 0},  {"3.2.1", 3.2},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(text), expected) << text;
    }
}

TEST(WholeNumber, RoundsHalvesToTheEvenNeighbourAndStaysWithinItsLimit) {
    EXPECT_EQ(WholeNumber("2.5"), 2);
    EXPECT_EQ(WholeNumber("3.5"), 4);
    EXPECT_EQ(WholeNumber("-2.5"), -2);
    EXPECT_EQ(WholeNumber("99999999999999999999999"), kWholeNumberLimit);
    EXPECT_EQ(WholeNumber("-1e400"), -kWholeNumberLimit);
}

// Counts group thousands and print zero as empty text; percentages round.
TEST(Format, CountsAndPercentages) {
    EXPECT_EQ(FormatCount(0), "");
    EXPECT_EQ(FormatCount(999), "999");
    EXPECT_EQ(FormatCount(1234567), "1,234,567");
    EXPECT_EQ(FormatCount(-1234), "-1,234");
    EXPECT_EQ(FormatPercent(0.0), "0%");
    EXPECT_EQ(FormatPercent(0.125), "12%");
    EXPECT_EQ(FormatPercent(0.999), "100%");
}

}  // namespace
}  // namespace kestrel::text
