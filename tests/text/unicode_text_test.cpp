#include "text/unicode_text.h"

#include <gtest/gtest.h>

namespace kestrel::text {
namespace {

TEST(Utf8, RoundTripsAccentedGreekAndCjkText) {
    const std::string samples[] = {"Ünïcödé.txt", "Ωμέγα", "東京の写真.jpg", "emoji 📷", ""};
    for (const std::string& s : samples) {
        EXPECT_TRUE(IsValidUtf8(s) && ToUtf8(ToCodePoints(s)) == s) << s;
    }
    EXPECT_EQ(ToCodePoints("Ünïcödé").size(), 7u);
}

TEST(Utf8, InvalidBytesBecomeOneReplacementCharacterEach) {
    const std::string latin1 = "Caf\xE9";
    EXPECT_FALSE(IsValidUtf8(latin1));
    EXPECT_EQ(ToCodePoints(latin1), U"Caf\uFFFD");
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));      // overlong "/"
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // surrogate
    EXPECT_FALSE(IsValidUtf8("\xE6\x9D"));      // truncated
    EXPECT_TRUE(IsValidUtf8("\xEF\xBF\xBD"));   // a real U+FFFD
}

TEST(LetterCase, SimpleMappingsKeepTheLengthAndComparisonFoldsFirst) {
    EXPECT_EQ(ToUpper("é ω ß straße"), "É Ω ß STRAßE");
    EXPECT_EQ(ToLower("ÉCOLE ΩΜΕΓΑ"), "école ωμεγα");
    // Comparison folds, then orders by code point.
    EXPECT_EQ(CompareIgnoringCase("readme.TXT", "README.txt"), 0);
    EXPECT_EQ(CompareIgnoringCase("Émile", "émile"), 0);
    EXPECT_LT(CompareIgnoringCase("apple", "Banana"), 0);
    EXPECT_GT(CompareIgnoringCase("b", "A"), 0);
    EXPECT_LT(CompareIgnoringCase("a", "ab"), 0);
    EXPECT_TRUE(EqualIgnoringCase("ΩΜΕΓΑ", "ωμεγα"));
}

}  // namespace
}  // namespace kestrel::text
