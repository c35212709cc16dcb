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
    // Passes of {folder, name}; '!' starts the name of a target that collides.
    const std::vector<std::pair<const char*, const char*>> passes[] = {
        {{"", "a.txt"}, {"", "ba.txt"}, {"", "!a.txt"}},
        {{"", "École.txt"}, {"", "!éCOLE.TXT"}},
        {{"", "Photos\\"}, {"", "!photos"}},
        // The same path split differently between folder and name, and a
        // folder met again after another one.
        {{"T:\\A\\", "x.txt"},
         {"T:\\", "!a\\X.txt"},
         {"T:\\B\\", "x.txt"},
         {"t:\\a\\", "!x.TXT"},
         {"T:\\A", "!\\x.txt"},
         {"T:\\", "!B\\x.txt"},
         {"T:\\B\\", "y.txt"}},
    };
    // One object across all passes, so each also shows that Clear starts a new pass.
    DuplicateTargets duplicates(8);
    for (const auto& targets : passes) {
        duplicates.Clear();
        for (const auto& [folder, name] : targets) {
            const bool collides = name[0] == '!';
            EXPECT_EQ(duplicates.ErrorCheck3(folder, name + (collides ? 1 : 0)),
                      collides ? "Duplicate filename" : "")
                << folder << name;
        }
    }
    // A pass far longer than the table was sized for: every repeat is still
    // found once the table has grown.
    duplicates.Clear();
    for (const char* expected : {"", "Duplicate filename"}) {
        for (int i = 0; i < 1000; ++i) {
            EXPECT_EQ(duplicates.ErrorCheck3("T:\\", "N" + std::to_string(i)), expected) << i;
        }
    }
}

}  // namespace
}  // namespace kestrel::engine
