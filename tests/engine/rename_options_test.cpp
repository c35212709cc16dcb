#include "engine/rename_options.h"
#include "engine/field_checks.h"

#include <gtest/gtest.h>

namespace kestrel::engine {
namespace {

TEST(RenameOptions, FactoryResetKeepsTheSwapAreas) {
    RenameOptions options;
    options.chkCrop = 1;
    options.txtFilter = "*.jpg";
    options.cboAutonumber = "7";
    options.txtSwapArea = {"3", "4"};
    ResetToFactoryDefaults(options);
    RenameOptions expected;
    expected.txtSwapArea = {"3", "4"};
    EXPECT_EQ(options, expected);
}

TEST(RenameOptions, ClearOperationsSwitchesOperationsOffAndKeepsTheRest) {
    RenameOptions options;
    options.chkReplaceWholeName = 1;
    options.chkExtIncluded = 0;
    options.chkCrop = 1;
    options.txtSwapSep = "#";
    options.chkUnderscore = 0;
    options.cboAutonumber = "Auto";
    options.chkUNL = 1;
    options.txtInsertStart = "kept";
    options.cboCaseHandling = 2;
    ClearOperations(options);
    EXPECT_EQ(options.chkReplaceWholeName, 0);
    EXPECT_EQ(options.chkExtIncluded, 1);
    EXPECT_EQ(options.chkCrop, 0);
    EXPECT_EQ(options.txtSwapSep, " - ");
    EXPECT_EQ(options.chkUnderscore, 1);
    EXPECT_EQ(options.cboAutonumber, "Off");
    EXPECT_EQ(options.chkUNL, 1);
    EXPECT_EQ(options.txtInsertStart, "kept");
    EXPECT_EQ(options.cboCaseHandling, 2);
}

TEST(RenameOptions, CoupledFields) {
    RenameOptions options;
    SetReplaceWholeName(options, 1);
    EXPECT_EQ(options.cboAutonumber, "Auto");
    EXPECT_FALSE(SearchAndReplaceEnabled(options));
    options.cboAutonumber = "3";
    SetReplaceWholeName(options, 1);
    EXPECT_EQ(options.cboAutonumber, "3");

    SetRecurse(options, 1);
    EXPECT_EQ(options.cboPathDisplay, kShowPartialPath);
    options.cboPathDisplay = kShowFullPath;
    SetRecurse(options, 1);
    EXPECT_EQ(options.cboPathDisplay, kShowFullPath);

    options.cboPathDisplay = kShowFilenameOnly;
    SetPathSplice(options, 1);
    EXPECT_EQ(options.cboPathDisplay, kShowFullPath);
    EXPECT_FALSE(PathDisplayEnabled(options));

    EXPECT_EQ(NextAttributeState(0), 1);
    EXPECT_EQ(NextAttributeState(1), 2);
    EXPECT_EQ(NextAttributeState(2), 0);
    EXPECT_EQ(NextAttributeState(7), 0);
}

TEST(RenameOptions, AutonumberDigitsFromListOrTypedText) {
    EXPECT_EQ(AutonumberListIndex("Off"), 0);
    EXPECT_EQ(AutonumberListIndex("10"), 11);
    EXPECT_EQ(AutonumberListIndex("05"), -1);
    EXPECT_EQ(AutonumberDigits("Auto"), 0);
    EXPECT_EQ(AutonumberDigits("3"), 3);
    EXPECT_EQ(AutonumberDigits("05"), 5);
    EXPECT_EQ(AutonumberDigits("300"), 255);
    EXPECT_EQ(AutonumberDigits("-4"), 0);
}

TEST(FieldChecks, MessagesForRefusedValues) {
    struct Case {
        std::string (*check)(std::string_view);
        const char* value;
        const char* message;
    };
    const Case cases[] = {
        {CheckSwapSep, "", "Swap delimiter must contain at least one character."},
        {CheckSwapSep, "-", ""},
        {CheckPathSpliceLevels, "0", "Valid splice values are 1 through 255."},
        {CheckEliminateChars, "256", "Delete character value must be 1 through 255."},
        {CheckEliminateChars, "255", ""},
        {CheckEliminatePosition, "abc", "Crop position value must be 1 through 255."},
        {CheckInsertMiddlePosition, "0", "Insert position value must be 1 through 255."},
        {CheckUNL, "300", "Uniform Number Length value must be 1 through 255."},
        {CheckUNL, "1", ""},
        {CheckAutonumberStep, "0", "Autonumber Step value cannot be zero."},
        {CheckAutonumberStep, "-1", ""},
        {CheckAutonumberText, "300", "Autonumber digits must be 0 (Auto) through 255, or Off."},
        {CheckAutonumberText, "Off", ""},
        {CheckAutonumberText, "0", ""},
        {CheckAutonumberText, "255", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        EXPECT_EQ(c.check(c.value), c.message);
    }
    EXPECT_EQ(CheckSwapArea("3", "3"), "Area values cannot be equal.");
    EXPECT_EQ(CheckSwapArea("256", "1"), "Area value must be 1 through 255.");
    EXPECT_EQ(CheckSwapArea("2", "1"), "");
}

}  // namespace
}  // namespace kestrel::engine
