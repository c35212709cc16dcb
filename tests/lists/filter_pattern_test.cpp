#include "lists/filter_pattern.h"

#include <gtest/gtest.h>

#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

bool Match(std::string_view text, std::string_view pattern) {
    return WildcardMatch(text::ToCodePoints(text), text::ToCodePoints(pattern));
}

TEST(WildcardMatch, FollowsTheWildcardLanguage) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"", "", true},        {"a", "", false},
        {"", "*", true},       {"abc", "a*c", true},
        {"abc", "a*b", false}, {"abcbd", "*b?", true},
        {"ab", "a?", true},    {"a", "a?", false},
        {"é", "?", true},      {"東京", "??", true},
        {"abc", "ABC", false}, {"IMG_042", "IMG_###", true},
        {"09", "##", true},    {"IMG_04x", "IMG_###", false},
        {"b", "[abc]", true},  {"d", "[abc]", false},
        {"d", "[!abc]", true}, {"a", "[!abc]", false},
        {"m", "[a-z]", true},  {"z", "[a-z]", true},
        {"a", "[a-z]", true},  {"M", "[a-z]", false},
        {"-", "[a-]", true},   {"-", "[-a]", true},
        {"m", "[z-a]", false}, {"[x", "[[]x", true},
        {"a[b", "a[b", true},  {"ab", "a[b", false},
        {"x", "[]", false},    {"]", "[]]", false},
        {"x", "[!]", true},    {"ö", "[ä-ü]", true},
    };
    for (const auto& [text, pattern, expected] : cases) {
        EXPECT_EQ(Match(text, pattern), expected) << text << " ~ " << pattern;
    }
}

TEST(WildcardMatch, ManyStarsDoNotBacktrackExponentially) {
    const std::string text(5000, 'a');
    EXPECT_FALSE(Match(text, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(Match(text + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(CheckFilterBrackets, AcceptsOnlyClosedListsAndDoubledOpeners) {
    const std::pair<const char*, bool> cases[] = {
        {"a[bc]", true}, {"[[]x", true}, {"a[b", false},   {"]x", true},
        {"", true},      {"[", false},   {"x[[]", true},   {"[a][b", false},
        {"a[[b", false}, {"[[", true},   {"[a[b]", false},
    };
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(CheckFilterBrackets(pattern), expected) << pattern;
    }
}

TEST(FilterPattern, MatchesBaseAndExtensionSeparately) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*.*", "a.txt", true},
        {"*.*", "README", true},
        {"*.jpg", "A.JPG", false},
        {"*.tar.gz", "archive.tar.gz", true},
        {"*.tar.gz", "photo.gz", true},
        {"*", "a.txt", false},
        {"*.", "README", true},
        {"", "", true},
        {"", "a", false},
    };
    for (const auto& [pattern, filename, expected] : cases) {
        EXPECT_EQ(FilterPattern(pattern).Matches(filename), expected)
            << filename << " ~ " << pattern;
    }
}

}  // namespace
}  // namespace kestrel::lists
