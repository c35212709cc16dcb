#include "lists/filter_pattern.h"

#include <string>

#include <gtest/gtest.h>

#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

bool Match(std::string_view text, std::string_view pattern) {
    return WildcardMatch(text::ToCodePoints(text), text::ToCodePoints(pattern));
}

TEST(WildcardMatch, FollowsTheWildcardLanguage) {
    struct Case {
        const char* text;
        const char* pattern;
        bool expected;
    };
    const Case cases[] = {
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
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text) + " ~ " + c.pattern);
        EXPECT_EQ(Match(c.text, c.pattern), c.expected);
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
        SCOPED_TRACE(pattern);
        EXPECT_EQ(CheckFilterBrackets(pattern), expected);
    }
}

TEST(FilterPattern, MatchesBaseAndExtensionSeparately) {
    struct Case {
        const char* pattern;
        const char* filename;
        bool expected;
    };
    const Case cases[] = {
        {"*.*", "a.txt", true},
        {"*.*", "README", true},
        {"*.jpg", "A.JPG", false},
        {"*.tar.gz", "archive.tar.gz", true},
        {"*.tar.gz", "photo.gz", true},
        {"*", "a.txt", false},
        {"*.", "README", true},
        {"", "", true},
        {"", "a", false},
        {"Ünï*.txt", "Ünïcödé.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.filename) + " ~ " + c.pattern);
        EXPECT_EQ(FilterPattern(c.pattern).Matches(c.filename), c.expected);
    }
}

}  // namespace
}  // namespace kestrel::lists
