#include "engine/rename_options.h"

#include <gtest/gtest.h>

#include "engine/field_checks.h"

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

}  // namespace
}  // namespace kestrel::engine
