// Text as Kestrel handles it: UTF-8, letter case, program paths, lines of
// text files, and the numbers typed into fields.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <utility>

#include "text/numbers.h"
#include "text/program_path.h"
#include "text/unicode_text.h"
#include "text/windows1252.h"

namespace kestrel::text {
namespace {

TEST(Utf8, ValidTextRoundTripsAndEachInvalidByteBecomesOneReplacementCharacter) {
    // The last is a real U+FFFD.
    for (const std::string s :
         {"Ünïcödé.txt", "Ωμέγα", "東京の写真.jpg", "emoji 📷", "", "\xEF\xBF\xBD"}) {
        EXPECT_TRUE(IsValidUtf8(s) && ToUtf8(ToCodePoints(s)) == s) << s;
    }
    EXPECT_EQ(ToCodePoints("Ünïcödé").size(), 7u);
    // Latin-1, an overlong "/", a surrogate, a sequence cut short.
    for (const std::string s : {"Caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xE6\x9D"}) {
        EXPECT_FALSE(IsValidUtf8(s)) << s;
    }
    EXPECT_EQ(ToCodePoints("Caf\xE9"), U"Caf\uFFFD");
}

// Each code point mapped on its own: what the whole-text maps must give,
// however they take the text apart.
std::string MappedOneByOne(std::string_view utf8, char32_t (*map)(char32_t)) {
    std::u32string text = ToCodePoints(utf8);
    for (char32_t& c : text) {
        c = map(c);
    }
    return ToUtf8(text);
}

TEST(LetterCase, WholeTextsMapAsTheirCodePointsDo) {
    // Every ASCII character at every place of an eight-byte block, and
    // texts that leave ASCII before, inside and after a block.
    std::string every;
    for (int c = 1; c < 0x80; ++c) {
        every.push_back(static_cast<char>(c));
    }
    std::vector<std::string> texts = {every,
                                      "@[`{AZaz",
                                      "IMG_1234.JPG",
                                      "Straße_ÉCOLE_x",
                                      "ABCDEFGH\xC3\x89",
                                      "abcdefgh1\xE2\x84\xAA"};
    for (std::size_t shift = 1; shift < 8; ++shift) {
        texts.push_back(every.substr(shift));
        texts.push_back(every.substr(0, shift) + "\xC3\x89" + every.substr(shift, 20));
    }
    for (const std::string& text : texts) {
        EXPECT_EQ(FoldCase(text), MappedOneByOne(text, [](char32_t c) { return FoldCase(c); }))
            << text;
        EXPECT_EQ(ToUpper(text), MappedOneByOne(text, [](char32_t c) { return ToUpper(c); }))
            << text;
        EXPECT_EQ(ToLower(text), MappedOneByOne(text, [](char32_t c) { return ToLower(c); }))
            << text;
    }
}

TEST(LetterCase, SimpleMappingsKeepTheLengthAndComparisonFoldsFirst) {
    EXPECT_EQ(ToUpper("é ω ß straße"), "É Ω ß STRAßE");
    EXPECT_EQ(ToLower("ÉCOLE ΩΜΕΓΑ"), "école ωμεγα");
    // Comparison folds, then orders by code point.
    const std::tuple<const char*, const char*, int> compared[] = {
        {"readme.TXT", "README.txt", 0}, {"Émile", "émile", 0}, {"ΩΜΕΓΑ", "ωμεγα", 0},
        {"apple", "Banana", -1},         {"b", "A", 1},         {"a", "ab", -1},
    };
    for (const auto& [a, b, order] : compared) {
        const int result = CompareIgnoringCase(a, b);
        EXPECT_EQ((result > 0) - (result < 0), order) << a << " " << b;
        EXPECT_EQ(EqualIgnoringCase(a, b), order == 0) << a << " " << b;
    }
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
    // A byte order mark is skipped, and each line decoded on its own.
    const std::vector<std::string> lines = {"DVD", "Café", "Café"};
    EXPECT_EQ(DecodeTextLines("\xEF\xBB\xBF"
                              "DVD\r\nCaf\xE9\r\nCafé"),
              lines);
    EXPECT_EQ(DecodeTextLines("DVD\r\nCaf\xE9\r\nCafé\r\n"), lines);
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

TEST(LeadingNumber, ReadsTheNumberAtTheStartAndStopsAtTheFirstOtherCharacter) {
    const std::pair<const char*, double> cases[] = {
        {"12abc", 12}, {"abc", 0},  {"", 0},      {"  42", 42}, {"1 50 277", 150277},
        {"-7", -7},    {"+3", 3},   {"2.5", 2.5}, {".5x", 0.5}, {"1e3", 1000},
        {"1e", 1},     {"- 4", -4}, {"12-3", 12}, {"0x10", 0},  {"3.2.1", 3.2},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_DOUBLE_EQ(LeadingNumber(text), expected) << text;
    }
    // Whole numbers round halves to the even neighbour and stay within their limit.
    const std::pair<const char*, double> whole[] = {
        {"2.5", 2},
        {"3.5", 4},
        {"-2.5", -2},
        {"99999999999999999999999", kWholeNumberLimit},
        {"-1e400", -kWholeNumberLimit},
    };
    for (const auto& [text, expected] : whole) {
        EXPECT_EQ(WholeNumber(text), expected) << text;
    }
}

// Counts group thousands and print zero as empty text; percentages round.
TEST(Format, CountsAndPercentages) {
    const std::pair<std::int64_t, std::string> counts[] = {
        {0, ""},
        {7, "7"},
        {999, "999"},
        {1000, "1,000"},
        {100000, "100,000"},
        {1234567, "1,234,567"},
        {-1234, "-1,234"},
        {INT64_MIN, "-9,223,372,036,854,775,808"},
    };
    std::string kept = "an earlier, longer text";
    for (const auto& [value, expected] : counts) {
        EXPECT_EQ(FormatCount(value), expected);
        FormatCountInto(value, kept);
        EXPECT_EQ(kept, expected);
    }
    EXPECT_EQ(FormatPercent(0.0), "0%");
    EXPECT_EQ(FormatPercent(0.125), "12%");
    EXPECT_EQ(FormatPercent(0.999), "100%");
}

}  // namespace
}  // namespace kestrel::text
