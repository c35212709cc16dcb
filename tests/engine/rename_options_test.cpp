#include "engine/rename_options.h"

#include <gtest/gtest.h>

#include "engine/field_checks.h"
#include "engine/name_checks.h"

namespace kestrel::engine {
namespace {

TEST(RenameOptions, FactoryResetKeepsTheSwapAreas) {
    RenameOptions options, expected;
    options.chkCrop = 1, options.txtFilter = "*.jpg", options.txtSwapArea = {"3", "4"};
    options.chkRegex = 1;
    expected.txtSwapArea = options.txtSwapArea;
    ResetToFactoryDefaults(options);
    EXPECT_EQ(options, expected);
}

// The reset after a commit: operations off, their separator back, the rest kept.
TEST(RenameOptions, ClearOperationsSwitchesOperationsOffAndKeepsTheRest) {
    RenameOptions options, expected;
    options.chkReplaceWholeName = options.chkCrop = options.chkInsertEnd = 1;
    options.chkExtIncluded = options.chkUnderscore = 0;
    options.txtSwapSep = "#", options.cboAutonumber = "Auto";
    options.chkUNL = expected.chkUNL = 1;
    options.chkRegex = expected.chkRegex = 1;
    options.txtInsertEnd = expected.txtInsertEnd = "kept";
    options.cboCaseHandling = expected.cboCaseHandling = 2;
    ClearOperations(options);
    EXPECT_EQ(options, expected);
}

TEST(RenameOptions, CoupledFields) {
    RenameOptions o;
    SetReplaceWholeName(o, 1);  // numbers the names unless a number was chosen
    SetRecurse(o, 1);           // shows the sub-folder unless a path was shown
    EXPECT_EQ(o.cboAutonumber, "Auto");
    EXPECT_EQ(o.cboPathDisplay, kShowPartialPath);
    EXPECT_FALSE(SearchAndReplaceEnabled(o));
    o.cboAutonumber = "3", o.cboPathDisplay = kShowFullPath;
    SetReplaceWholeName(o, 1);
    SetRecurse(o, 1);
    EXPECT_EQ(o.cboAutonumber, "3");
    EXPECT_EQ(o.cboPathDisplay, kShowFullPath);
    o.cboPathDisplay = kShowFilenameOnly;
    SetPathSplice(o, 1);
    EXPECT_EQ(o.cboPathDisplay, kShowFullPath);
    EXPECT_FALSE(PathDisplayEnabled(o));
    EXPECT_EQ(NextAttributeState(1), 2);
    EXPECT_EQ(NextAttributeState(2), 0);
}

TEST(RenameOptions, AutonumberDigitsFromListOrTypedText) {
    EXPECT_EQ(AutonumberListIndex("05"), -1);
    const std::pair<const char*, int> cases[] = {
        {"Auto", 0}, {"3", 3}, {"05", 5}, {"300", 255}, {"-4", 0},
    };
    for (const auto& [text, digits] : cases) {
        EXPECT_EQ(AutonumberDigits(text), digits) << text;
    }
}

TEST(RenameOptions, OptionTextsAreCutAtCharactersNotBytes) {
    RenameOptions options;
    for (int i = 0; i < 300; ++i) {
        options.txtSearch += "é";
    }
    options.txtFilter = std::string(256, '*');
    CapOptionTexts(options);
    EXPECT_EQ(options.txtSearch.size(), 2 * kMaxOptionTextLength);
    EXPECT_EQ(options.txtFilter.size(), kMaxOptionTextLength);
}

TEST(FieldChecks, MessagesForRefusedValues) {
    using Check = std::string (*)(std::string_view);
    const std::tuple<Check, const char*, const char*> cases[] = {
        {CheckSwapSep, "", "Swap delimiter must contain at least one character."},
        {CheckPathSpliceLevels, "0", "Valid splice values are 1 through 255."},
        {CheckEliminateChars, "256", "Delete character value must be 1 through 255."},
        {CheckEliminatePosition, "abc", "Crop position value must be 1 through 255."},
        {CheckInsertMiddlePosition, "0", "Insert position value must be 1 through 255."},
        {CheckUNL, "300", "Uniform Number Length value must be 1 through 255."},
        {CheckAutonumberStep, "0", "Autonumber Step value cannot be zero."},
        {CheckAutonumberText, "300", "Autonumber digits must be 0 (Auto) through 255, or Off."},
    };
    for (const auto& [check, value, message] : cases) {
        EXPECT_EQ(check(value), message) << value;
    }
    const std::pair<Check, const char*> accepted[] = {
        {CheckSwapSep, "-"},          {CheckEliminateChars, "255"}, {CheckUNL, "1"},
        {CheckAutonumberStep, "-1"},  {CheckAutonumberText, "Off"}, {CheckAutonumberText, "0"},
        {CheckAutonumberText, "255"},
    };
    for (const auto& [check, value] : accepted) {
        EXPECT_EQ(check(value), "") << value;
    }
    EXPECT_EQ(CheckSwapArea("3", "3"), "Area values cannot be equal.");
    EXPECT_EQ(CheckSwapArea("256", "1"), "Area value must be 1 through 255.");
    EXPECT_EQ(CheckSwapArea("2", "1"), "");
}

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
