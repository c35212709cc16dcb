#include "engine/name_checks.h"

#include <gtest/gtest.h>

namespace kestrel::engine {
namespace {

TEST(LengthCheck, MeasuresCharactersOfTheLastPathElement) {
    const std::tuple<const char*, int, const char*> cases[] = {
        {"Holiday\\IMG_0001.jpg", 8, "Filename exceeds 8 characters in length."},
        {"Holiday\\IMG_0001.jpg", 12, ""},
        {"ab", 1, "Filename exceeds 1 character in length."},
        {"Ünïcödé", 7, ""},
        {"Photos\\", 6, ""},
        {"2001\\Photos\\", 5, "Filename exceeds 5 characters in length."},
    };
    for (const auto& [newName, maxLength, expected] : cases) {
        EXPECT_EQ(LengthCheck(newName, maxLength), expected) << newName << " / " << maxLength;
    }
}

// Backslashes make folders; a "." or ".." folder would lead out of the target folder.
TEST(ErrorCheck1, ReportsTheEightInvalidCharactersAndDotFolders) {
    for (const char* name :
         {"a/b", "a?.txt", "c:d", "*", "\"q\"", "<", ">", "a|b", "..\\a.txt", "a\\.\\b"}) {
        EXPECT_EQ(ErrorCheck1(name), "Invalid characters") << name;
    }
    for (const char* name : {"Holiday\\a.txt", "Photos\\", "Ünïcödé", "..a"}) {
        EXPECT_EQ(ErrorCheck1(name), "") << name;
    }
}

TEST(DiffersOtherThanCase, IgnoresLetterCaseOnly) {
    EXPECT_FALSE(DiffersOtherThanCase("readme.TXT", "README.txt"));
    EXPECT_FALSE(DiffersOtherThanCase("École", "éCOLE"));
    EXPECT_TRUE(DiffersOtherThanCase("readme.txt", "readme1.txt"));
}

TEST(DuplicateTargets, MarksOnlyTheLaterOfCollidingTargets) {
    const std::pair<std::vector<const char*>, std::vector<const char*>> cases[] = {
        {{"a.txt", "ba.txt", "a.txt"}, {"", "", "Duplicate filename"}},
        {{"École.txt", "éCOLE.TXT"}, {"", "Duplicate filename"}},
        {{"Photos\\", "photos"}, {"", "Duplicate filename"}},
    };
    // One object across all cases, so each case also shows that Clear starts a new pass.
    DuplicateTargets duplicates(8);
    for (const auto& [targets, expected] : cases) {
        duplicates.Clear();
        for (std::size_t i = 0; i < targets.size(); ++i) {
            EXPECT_EQ(duplicates.ErrorCheck3(targets[i]), expected[i]) << targets[i];
        }
    }
}

}  // namespace
}  // namespace kestrel::engine
