#include "text/unicode_text.h"

#include <gtest/gtest.h>

#include "text/program_path.h"
#include "text/windows1252.h"

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

TEST(ProgramPath, TrailingBackslashIsAddedOnceAndStrippedOnce) {
    EXPECT_EQ(AddTrailingBackslash("C:\\Photos"), "C:\\Photos\\");
    EXPECT_EQ(AddTrailingBackslash("C:\\Photos\\"), "C:\\Photos\\");
    EXPECT_EQ(AddTrailingBackslash(""), "\\");

    std::string path = "C:\\Photos\\\\", file = "a.txt";
    EXPECT_TRUE(StripTrailingBackslash(path));
    EXPECT_EQ(path, "C:\\Photos\\");
    EXPECT_FALSE(StripTrailingBackslash(file));
}

TEST(ProgramPath, DotComponentsAreResolvedNeverAboveTheDriveRoot) {
    const std::pair<const char*, const char*> rows[] = {
        {"C:\\root\\..\\tmp\\x\\", "C:\\tmp\\x\\"},
        {"C:\\a\\.\\b\\.\\", "C:\\a\\b\\"},
        {"C:\\a\\b\\..", "C:\\a"},
        {"C:\\..\\..\\a\\", "C:\\a\\"},
        {"C:\\a\\..\\..", "C:\\"},
        {"D:\\a..b\\.c\\", "D:\\a..b\\.c\\"},  // dots inside names stay
        {"C:\\Photos\\", "C:\\Photos\\"},
        {"..\\relative", "..\\relative"},  // not a drive-letter path
    };
    for (const auto& [path, resolved] : rows) {
        EXPECT_EQ(ResolveDotComponents(path), resolved) << path;
    }
}

TEST(DecodeTextLine, KeepsUtf8AndReadsAnythingElseAsWindows1252) {
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"Café", "Café"},
        // The code page's characters in 0x80-0x9F; around them it is Latin-1.
        {"\x80 \x85 \x91\x92 \x9C \x9F", "€ … ‘’ œ Ÿ"},
        {"\x7F\xA0", "\u007F\u00A0"},
        // The code page leaves these five bytes undefined; they are kept.
        {"\x81\x8D\x8F\x90\x9D", "\u0081\u008D\u008F\u0090\u009D"},
        {"Ü\xFF", "Ãœÿ"},  // one byte that is not UTF-8 makes the whole line Windows-1252
        {"", ""},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(DecodeTextLine(bytes), expected);
    }
}

TEST(SplitLines, BreaksAtEveryKindOfLineEnd) {
    const std::pair<std::string_view, std::vector<std::string_view>> cases[] = {
        {"", {}},
        {"a\r\n", {"a"}},
        {"a\nb\rc\r\nd", {"a", "b", "c", "d"}},
        {"\r\n", {""}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\n\n", {"a", ""}},
        {"\n\r", {"", ""}},
        {"a\r", {"a"}},
    };
    for (const auto& [bytes, expected] : cases) {
        EXPECT_EQ(SplitLines(bytes), expected) << testing::PrintToString(std::string(bytes));
    }
}

TEST(DecodeTextLines, SkipsByteOrderMarkAndDecodesEachLineOnItsOwn) {
    const std::vector<std::string> expected = {"DVD", "Café", "Café"};
    EXPECT_EQ(DecodeTextLines("\xEF\xBB\xBF"
                              "DVD\r\nCaf\xE9\r\nCafé"),
              expected);
    EXPECT_EQ(DecodeTextLines("DVD\r\nCaf\xE9\r\nCafé\r\n"), expected);
}

}  // namespace
}  // namespace kestrel::text
