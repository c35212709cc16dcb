#include "engine/text_effects.h"

#include <gtest/gtest.h>

#include <string>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

using text::ToCodePoints;
using text::ToUtf8;

TEST(SpaceOutCharacters, PutsCountSpacesBetweenCharactersOfLongerTexts) {
    struct Case {
        const char* input;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        {"abc", 1, "a b c"}, {"a", 1, "a"},     {"", 1, ""},        {"ab", 3, "a   b"},
        {"éω", 1, "é ω"},    {"abc", 0, "abc"}, {"abc", -2, "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.input << " " << c.count);
        EXPECT_EQ(ToUtf8(SpaceOutCharacters(ToCodePoints(c.input), c.count)), c.expected);
    }
}

TEST(SeparateCapitalizedWords, InsertsTheSeparatorBeforeCapitalsNotFollowingASeparator) {
    struct Case {
        const char* input;
        const char* separator;
        const char* expected;
    };
    const Case cases[] = {
        {"MyHolidayPhotos", " ", "My Holiday Photos"},
        {"ABC", " ", "A B C"},
        {"Track1A", " ", "Track1 A"},
        {"Best Of", " ", "Best Of"},
        {"my_Photo(Live)", " ", "my_Photo(Live)"},
        {"ÉcoleÉté", " ", "École Été"},
        {"a'B", " ", "a' B"},
        {"MyFile", "--", "My--File"},
        {"M", " ", "M"},
        {"", " ", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        const std::u32string separator = ToCodePoints(c.separator);
        EXPECT_EQ(ToUtf8(SeparateCapitalizedWords(ToCodePoints(c.input), separator)), c.expected);
    }
}

TEST(TextEffect, EntriesFollowTheListPositionsAndUseOneSpace) {
    struct Case {
        int position;
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {0, "MyFile", "MyFile"},
        {1, "MyFile", "M y F i l e"},
        {2, "Ωμέγa", "aγέμΩ"},
        {3, "MyFile", "My File"},
        {2, "", ""},
        {4, "MyFile", "MyFile"},
        {-1, "MyFile", "MyFile"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " " << c.input);
        std::u32string text = ToCodePoints(c.input);
        ApplyTextEffect(static_cast<TextEffect>(c.position), text);
        EXPECT_EQ(ToUtf8(text), c.expected);
    }
}

}  // namespace
}  // namespace kestrel::engine
