#include "engine/name_text.h"

#include <gtest/gtest.h>

namespace kestrel::engine {
namespace {

TEST(SplitFields, JoiningTheAreasGivesTheTextBack) {
    EXPECT_TRUE(SplitFields(std::u32string_view(), U" - ", 0).empty());
    EXPECT_EQ(SplitFields(std::u32string_view(U"A - B - "), U" - ", 0),
              (std::vector<std::u32string>{U"A", U"B", U""}));
    EXPECT_EQ(SplitFields(std::u32string_view(U"AB"), U" - ", 0),
              (std::vector<std::u32string>{U"AB"}));
    EXPECT_EQ(SplitFields(std::u32string_view(U"abc"), U"", 0),
              (std::vector<std::u32string>{U"abc"}));
}

TEST(SplitFields, QuotesKeepDelimitersAndStayInTheArea) {
    EXPECT_EQ(SplitFields(std::string_view("FOLDER:\"C:\\My Files\" CSV"), " ", '"'),
              (std::vector<std::string>{"FOLDER:\"C:\\My Files\"", "CSV"}));
    EXPECT_EQ(SplitFields(std::string_view("a  b "), " ", '"'),
              (std::vector<std::string>{"a", "", "b", ""}));
    // Inside quotes a longer delimiter leaves only its first character.
    EXPECT_EQ(SplitFields(std::string_view("\"a--b\"--c"), "--", '"'),
              (std::vector<std::string>{"\"a-b\"", "c"}));
}

TEST(CropText, ReturnsTheRemovedSpan) {
    std::u32string text = U"ABCDE";
    EXPECT_EQ(CropText(text, 2, 2, true), U"CD");
    EXPECT_EQ(text, U"ABE");
    text = U"ABCDE";
    EXPECT_EQ(CropText(text, 0, 2, false), U"");
    EXPECT_EQ(CropText(text, 1, -1, false), U"");
    EXPECT_EQ(CropText(text, 3, 1'000'000'000'000, false), U"CDE");
    EXPECT_EQ(text, U"AB");
}

TEST(ReplaceText, EmptyInputsChangeNothing) {
    EXPECT_EQ(ReplaceText(U"", U"a", U"b", false, false), U"");
    EXPECT_EQ(ReplaceText(U"abc", U"", U"x", false, false), U"abc");
    EXPECT_EQ(ReplaceText(U"abc", U"abcd", U"x", false, false), U"abc");
}

TEST(InsertAutonumber, PadsWithoutTruncating) {
    std::u32string base = U"x?y?";
    InsertAutonumber(base, 3, 7, 0);
    EXPECT_EQ(base, U"x007y?");
    base = U"n";
    InsertAutonumber(base, 2, 123, 0);
    EXPECT_EQ(base, U"123n");
    base = U"";
    InsertAutonumber(base, 0, 1, 99);
    EXPECT_EQ(base, U"001");
}

TEST(CollapseText, SpacesAndBackslashes) {
    std::u32string text = U"  a   b  ";
    CollapseSpaces(text);
    EXPECT_EQ(text, U"a b");
    text = U" ";
    CollapseSpaces(text);
    EXPECT_EQ(text, U"");
    text = U"\\\\a\\\\\\b\\";
    CollapseBackslashes(text);
    EXPECT_EQ(text, U"a\\b\\");
}

}  // namespace
}  // namespace kestrel::engine
