#include "engine/text_effects.h"

#include <gtest/gtest.h>

#include <tuple>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

TEST(TextEffect, EntriesFollowTheListPositions) {
    // Separate: a capital gets a space unless a word separator comes before it.
    const std::tuple<int, const char*, const char*> cases[] = {
        {0, "MyFile", "MyFile"},
        {1, "MyFile", "M y F i l e"},
        {1, "", ""},
        {2, "Ωμέγa", "aγέμΩ"},
        {3, "MyHolidayPhotos", "My Holiday Photos"},
        {3, "ABC", "A B C"},
        {3, "Track1A", "Track1 A"},
        {3, "my_Photo(Live) Best", "my_Photo(Live) Best"},
        {3, "ÉcoleÉté", "École Été"},
        {3, "a'B", "a' B"},
        {3, "", ""},
    };
    for (const auto& [position, input, expected] : cases) {
        SCOPED_TRACE(testing::Message() << position << " " << input);
        std::u32string text = text::ToCodePoints(input);
        ApplyTextEffect(static_cast<TextEffect>(position), text);
        EXPECT_EQ(text::ToUtf8(text), expected);
    }
}

}  // namespace
}  // namespace kestrel::engine
