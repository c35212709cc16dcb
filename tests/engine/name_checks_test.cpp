#include "engine/name_checks.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace kestrel::engine {
namespace {

TEST(LengthCheck, MeasuresCharactersOfTheLastPathElement) {
    struct Case {
        const char* newName;
        int maxLength;
        const char* expected;
    };
    const Case cases[] = {
        {"Holiday\\IMG_0001.jpg", 8, "Filename exceeds 8 characters in length."},
        {"Holiday\\IMG_0001.jpg", 12, ""},
        {"ab", 1, "Filename exceeds 1 character in length."},
        {"Ünïcödé", 7, ""},
        {"Ünïcödé", 6, "Filename exceeds 6 characters in length."},
        {"Photos\\", 6, ""},
        {"Photos\\", 5, "Filename exceeds 5 characters in length."},
        {"2001\\Photos\\", 5, "Filename exceeds 5 characters in length."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.newName) + " / " + std::to_string(c.maxLength));
        EXPECT_EQ(LengthCheck(c.newName, c.maxLength), c.expected);
    }
}

TEST(ErrorCheck1, ReportsTheEightInvalidCharactersButNotBackslashes) {
    for (const char* name : {"a/b", "a?.txt", "c:d", "*", "\"q\"", "<", ">", "a|b"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ErrorCheck1(name), "Invalid characters");
    }
    for (const char* name : {"a.txt", "Holiday\\a.txt", "Photos\\", "Ünïcödé"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(ErrorCheck1(name), "");
    }
}

TEST(DiffersOtherThanCase, IgnoresLetterCaseOnly) {
    EXPECT_FALSE(DiffersOtherThanCase("readme.TXT", "README.txt"));
    EXPECT_FALSE(DiffersOtherThanCase("École", "éCOLE"));
    EXPECT_TRUE(DiffersOtherThanCase("readme.txt", "readme1.txt"));
}

TEST(DuplicateTargets, MarksOnlyTheLaterOfCollidingTargets) {
    struct Case {
        std::vector<const char*> targets;
        std::vector<const char*> expected;
    };
    const Case cases[] = {
        {{"C:\\Out\\1.txt", "C:\\Out\\1.txt"}, {"", "Duplicate filename"}},
        {{"a.txt", "ba.txt", "a.txt"}, {"", "", "Duplicate filename"}},
        {{"École.txt", "éCOLE.TXT"}, {"", "Duplicate filename"}},
        {{"Photos\\", "photos"}, {"", "Duplicate filename"}},
        {{"a?.txt", "b?.txt"}, {"", ""}},
    };
    // One object across all cases, so each case also shows that Clear starts a new pass.
    DuplicateTargets duplicates(8);
    for (const Case& c : cases) {
        duplicates.Clear();
        for (std::size_t i = 0; i < c.targets.size(); ++i) {
            SCOPED_TRACE(c.targets[i]);
            EXPECT_EQ(duplicates.ErrorCheck3(c.targets[i]), c.expected[i]);
        }
    }
}

}  // namespace
}  // namespace kestrel::engine
