#include "text/windows1252.h"

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace kestrel::text {
namespace {

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
