#include "engine/text_effects.h"

#include <gtest/gtest.h>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

TEST(TextEffect, EntriesFollowTheListPositions) {
    struct Case {
        int position;
        const char* input;
        const char* expected;
    };
    const Case cases[] = {
        {0, "MyFile", "MyFile"},
        {1, "MyFile", "M y F i l e"},
        {1, "éω", "é ω"},
        {1, "", ""},
        {2, "Ωμέγa", "aγέμΩ"},
        // A capital gets a space unless a word separator comes before it.
        {3, "MyHolidayPhotos", "My Holiday Photos"},
        {3, "ABC", "A B C"},
        {3, "Track1A", "Track1 A"},
        {3, "Best Of", "Best Of"},
        {3, "my_Photo(Live)", "my_Photo(Live)"},
        {3, "ÉcoleÉté", "École Été"},
        {3, "a'B", "a' B"},
        {3, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.position << " " << c.input);
        std::u32string text = text::ToCodePoints(c.input);
        ApplyTextEffect(static_cast<TextEffect>(c.position), text);
        EXPECT_EQ(text::ToUtf8(text), c.expected);
    }
}

}  // namespace
}  // namespace kestrel::engine
