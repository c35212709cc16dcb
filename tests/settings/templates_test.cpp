#include "settings/templates.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/posix_file_system.h"
#include "settings/key_paths.h"
#include "settings/temp_config_folder.h"
#include "support/temp_drive.h"

namespace kestrel::settings {
namespace {

using engine::RenameOptions;
using ::testing::UnorderedElementsAreArray;

constexpr std::string_view kProgramFolder = "C:\\Program Files\\Kestrel\\";

// What a load applies when a template holds no option values at all.
RenameOptions TemplateDefaults() {
    RenameOptions options;
    options.txtChangeExt = "";
    return options;
}

// Every field away from both its factory and its template default, and valid,
// so that a value dropped or mixed up anywhere on the way shows.
RenameOptions NothingLikeTheDefaults() {
    RenameOptions o;
    o.chkReplaceWholeName = 1;
    o.chkSwapSep = 1;
    o.txtSwapArea = {"3", "4"};
    o.txtSwapSep = " _ ";
    o.chkPathSplice = 1;
    o.txtPathSpliceLevels = "2";
    o.txtPathSpliceSeparator = "+";
    o.chkCrop = 1;
    o.txtEliminateChars = "5";
    o.txtEliminatePosition = "6";
    o.cboCropLR = 1;
    o.chkChangeExt = 1;
    o.txtChangeExt = "png";
    o.chkSearchReplace = 1;
    o.txtSearch = "é";
    o.txtReplace = "e";
    o.chkCaseSensitive = 1;
    o.chkFirstOccur = 1;
    o.chkUnderscore = 0;
    o.chkPercent20 = 0;
    o.chkWildcard = 1;
    o.txtSearchChar = "x";
    o.txtReplaceChar = "y";
    o.chkInsertStart = 1;
    o.txtInsertStart = "start ";
    o.chkInsertMiddle = 1;
    o.txtInsertMiddlePosition = "7";
    o.txtInsertMiddle = "mid";
    o.chkInsertEnd = 1;
    o.txtInsertEnd = " end";
    o.cboAutonumber = "12";
    o.txtAutonumberStartNum = "100";
    o.txtAutonumberStep = "5";
    o.chkUNL = 1;
    o.cboUNLLR = 1;
    o.txtUNL = "3";
    o.cboCaseHandling = 6;
    o.cboCaseRules = 3;
    o.cboTextFX = 2;
    o.chkForceSingleSpaces = 0;
    o.chkExtIncluded = 0;
    o.chkNoExt = 1;
    o.chkRecurse = 1;
    o.chkCopy = 1;
    o.chkSbit = 0;
    o.chkRbit = 1;
    o.chkHbit = 0;
    o.chkAbit = 1;
    o.txtFilter = "*.jpg";
    o.cboFilesFolders = 2;
    o.cboPathDisplay = 2;  // fixed to the full path while the path splice is on
    o.cboFilter = 1;
    return o;
}

Preferences UnusualPreferences() {
    Preferences p;
    p.autoUpdate = 1;
    p.maxLength = 31;
    p.errorChecking = 0;
    return p;
}

class TemplateTest : public ::testing::Test {
  protected:
    TemplateLoad Load(int number, RenameOptions& options, Preferences& preferences) {
        const TemplateLoad load =
            LoadTemplate(store_, fileSystem_, number, kProgramFolder, options, preferences);
        StoreMendedFolder(store_, number, load);
        return load;
    }
    TemplateLoad Load(int number) {
        RenameOptions options;
        Preferences preferences;
        return Load(number, options, preferences);
    }
    RenameOptions LoadOptions(int number) {
        RenameOptions options;
        Preferences preferences;
        EXPECT_TRUE(Load(number, options, preferences).loaded);
        return options;
    }

    TempConfigFolder folder_;
    SettingsStore store_{folder_.Path()};
    platform::PosixFileSystem fileSystem_;
};

TEST_F(TemplateTest, DefaultTemplateWithoutKeyLoadsTableDefaultsOnProgramDriveRoot) {
    RenameOptions options = NothingLikeTheDefaults();
    Preferences preferences = UnusualPreferences();
    const TemplateLoad load = Load(0, options, preferences);

    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.workingFolder, "C:\\");
    EXPECT_EQ(options, TemplateDefaults());
    EXPECT_EQ(preferences.maxLength, Preferences{}.maxLength);
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(0), "Working folder"), "C:\\");
}

TEST_F(TemplateTest, UnnamedTemplateIsNotLoadedAndChangesNothing) {
    store_.WriteText(Scope::Machine, TemplateKey(5), "Working folder", "Q:\\Gone\\");
    store_.WriteNumber(Scope::Machine, TemplateKey(5), "Crop", 1);
    store_.WriteNumber(Scope::Machine, TemplateKey(5), "Max length", 20);
    RenameOptions options = NothingLikeTheDefaults();
    Preferences preferences = UnusualPreferences();

    EXPECT_FALSE(Load(5, options, preferences).loaded);
    EXPECT_EQ(options, NothingLikeTheDefaults());
    EXPECT_EQ(preferences.maxLength, UnusualPreferences().maxLength);
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(5), "Working folder"), "Q:\\Gone\\");
}

TEST_F(TemplateTest, NumbersOutsideZeroTo255AreNeitherSavedNorLoaded) {
    SaveTemplate(store_, 256, "Too far", RenameOptions{}, "C:\\", Preferences{}, true);
    SaveTemplate(store_, -1, "Too low", RenameOptions{}, "C:\\", Preferences{}, true);
    EXPECT_THAT(store_.ListSubkeys(Scope::Machine, kTemplatesKey), ::testing::IsEmpty());
    store_.WriteText(Scope::Machine, TemplateKey(256), "", "Hand-made");
    EXPECT_FALSE(Load(256).loaded);
}

TEST_F(TemplateTest, MissingWorkingFolderFallsBackToADriveRootAndIsWrittenBack) {
    support::TempDrive drive(std::filesystem::temp_directory_path().string(), 'D');
    ASSERT_TRUE(drive.Valid());
    drive.MakeFolder("Here");
    struct Case {
        std::optional<std::string> stored;
        std::string expected;
    };
    const Case cases[] = {
        {"D:\\Gone\\", "D:\\"},
        {"D:\\Here", "D:\\Here\\"},
        {"D:\\Here\\Gone\\Deeper\\", "D:\\"},
        {"Q:\\Gone\\", "C:\\"},  // drive Q is not mapped
        {"", "C:\\"},
        {std::nullopt, "C:\\"},
        {"Gone", "C:\\"},  // no drive root of its own
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored.value_or("(missing)"));
        store_.DeleteKey(Scope::Machine, TemplateKey(3));
        store_.WriteText(Scope::Machine, TemplateKey(3), "", "Photos");
        if (c.stored) {
            store_.WriteText(Scope::Machine, TemplateKey(3), "Working folder", *c.stored);
        }
        RenameOptions options;
        Preferences preferences;
        const TemplateLoad load =
            LoadTemplate(store_, drive.FileSystem(), 3, kProgramFolder, options, preferences);
        StoreMendedFolder(store_, 3, load);
        EXPECT_TRUE(load.loaded);
        EXPECT_EQ(load.workingFolder, c.expected);
        EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(3), "Working folder"), c.expected);
    }
}

TEST_F(TemplateTest, SavedTemplateLoadsBackEveryValue) {
    const RenameOptions saved = NothingLikeTheDefaults();
    ASSERT_NE(saved, TemplateDefaults());
    SaveTemplate(store_, 7, "Holiday", saved, "C:\\tmp\\", UnusualPreferences(), true);

    RenameOptions loaded;
    Preferences preferences;
    const TemplateLoad load = Load(7, loaded, preferences);
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.workingFolder, "C:\\tmp\\");
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(preferences.maxLength, 31);
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(7), ""), "Holiday");
}

// The value names are the storage format other tools and older templates
// use; a template written by hand under these names loads field by field.
TEST_F(TemplateTest, ReadsEachValueUnderItsStoredName) {
    struct Number {
        const char* name;
        std::int32_t value;
    };
    struct Text {
        const char* name;
        const char* value;
    };
    const Number numbers[] = {
        {"Path display", 2},
        {"View filter option", 1},
        {"View filter files/folders", 2},
        {"View attribute: System", 0},
        {"View attribute: Hidden", 0},
        {"View attribute: Read-Only", 1},
        {"View attribute: Archive", 1},
        {"Replace entire filename", 1},
        {"Include extension", 0},
        {"Periods are characters", 1},
        {"Force single spaces", 0},
        {"Copy", 1},
        {"Recurse", 1},
        {"Change all extensions", 1},
        {"Swap text", 1},
        {"PathSplice", 1},
        {"Crop", 1},
        {"Crop left/right", 1},
        {"Search and Replace", 1},
        {"Case sensitive search", 1},
        {"Replace only first", 1},
        {"Underscore", 0},
        {"%20", 0},
        {"User preset", 1},
        {"Insert text start", 1},
        {"Insert text middle", 1},
        {"Insert text end", 1},
        {"Autonumber", -1},
        {"UNL", 1},
        {"UNL left/right", 1},
        {"Case Handling", 6},
        {"Case Rules", 3},
        {"TextFX", 2},
    };
    const Text texts[] = {
        {"View filter text", "*.jpg"},
        {"Change all extensions to", "png"},
        {"Swap area 1", "3"},
        {"Swap area 2", "4"},
        {"Swap separator", " _ "},
        {"PathSplice Levels", "2"},
        {"PathSplice separator", "+"},
        {"Crop characters", "5"},
        {"Crop position", "6"},
        {"Search for", "é"},
        {"Replace with", "e"},
        {"Single character search", "x"},
        {"Single character replace", "y"},
        {"Insert text start text", "start "},
        {"Insert text middle position", "7"},
        {"Insert text middle text", "mid"},
        {"Insert text end text", " end"},
        {"Autonumber text", "12"},
        {"Autonumber count", "100"},
        {"Autonumber step", "5"},
        {"UNL digits", "3"},
    };
    store_.WriteText(Scope::Machine, TemplateKey(8), "", "By hand");
    for (const Number& n : numbers) {
        store_.WriteNumber(Scope::Machine, TemplateKey(8), n.name, n.value);
    }
    for (const Text& t : texts) {
        store_.WriteText(Scope::Machine, TemplateKey(8), t.name, t.value);
    }
    EXPECT_EQ(LoadOptions(8), NothingLikeTheDefaults());
}

TEST_F(TemplateTest, AutonumberIsStoredAsListPositionAndText) {
    struct Case {
        const char* text;
        std::int32_t position;
    };
    const Case cases[] = {{"Off", 0}, {"Auto", 1}, {"1", 2}, {"10", 11}, {"0", -1}, {"255", -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RenameOptions saved;
        saved.cboAutonumber = c.text;
        SaveTemplate(store_, 2, "Numbers", saved, "C:\\", Preferences{}, false);
        EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(2), "Autonumber", -99), c.position);
        EXPECT_EQ(LoadOptions(2).cboAutonumber, c.text);
    }
}

TEST_F(TemplateTest, SaveWithoutPreferencesWritesOnlyTheOptionsAndReplacesTheOldKey) {
    store_.WriteNumber(Scope::Machine, TemplateKey(4), "Left over", 1);
    store_.WriteNumber(Scope::Machine, TemplateKey(4), "Max length", 20);
    Preferences current = UnusualPreferences();
    SaveTemplate(store_, 4, "Plain", RenameOptions{}, "C:\\", current, false);

    std::vector<std::string> expectedNames = {"", "Working folder"};
    for (const TemplateValue& value : TemplateValues()) {
        expectedNames.emplace_back(value.valueName);
    }
    EXPECT_EQ(expectedNames.size(), 56u);
    EXPECT_THAT(store_.ListValueNames(Scope::Machine, TemplateKey(4)),
                UnorderedElementsAreArray(expectedNames));

    RenameOptions options;
    Load(4, options, current);
    Preferences expected;
    expected.autoUpdate = UnusualPreferences().autoUpdate;
    EXPECT_EQ(current.autoUpdate, expected.autoUpdate);
    EXPECT_EQ(current.maxLength, expected.maxLength);
    EXPECT_EQ(current.errorChecking, expected.errorChecking);
}

TEST_F(TemplateTest, NumbersTheWindowCannotShowAreMended) {
    struct Case {
        const char* valueName;
        std::int32_t stored;
        int RenameOptions::*field;
        int expected;
    };
    const Case cases[] = {
        {"Path display", 7, &RenameOptions::cboPathDisplay, 2},
        {"Path display", -3, &RenameOptions::cboPathDisplay, 0},
        {"View filter option", 9, &RenameOptions::cboFilter, 3},
        {"View filter option", -1, &RenameOptions::cboFilter, 0},
        {"View filter files/folders", 5, &RenameOptions::cboFilesFolders, 2},
        {"View filter files/folders", 2, &RenameOptions::cboFilesFolders, 2},
        {"Crop left/right", 2, &RenameOptions::cboCropLR, 1},
        {"UNL left/right", -1, &RenameOptions::cboUNLLR, 0},
        {"UNL left/right", 3, &RenameOptions::cboUNLLR, 1},
        {"Case Handling", 8, &RenameOptions::cboCaseHandling, 7},
        {"Case Handling", 7, &RenameOptions::cboCaseHandling, 7},
        {"Case Rules", 4, &RenameOptions::cboCaseRules, 3},
        {"TextFX", 100, &RenameOptions::cboTextFX, 3},
        {"TextFX", -100, &RenameOptions::cboTextFX, 0},
        {"Crop", 2, &RenameOptions::chkCrop, 0},
        {"Underscore", -1, &RenameOptions::chkUnderscore, 1},
        {"Include extension", 2, &RenameOptions::chkExtIncluded, 1},
        {"Recurse", 1, &RenameOptions::chkRecurse, 1},
        {"View attribute: System", 3, &RenameOptions::chkSbit, 2},
        {"View attribute: Hidden", -1, &RenameOptions::chkHbit, 2},
        {"View attribute: Read-Only", 1, &RenameOptions::chkRbit, 1},
        {"View attribute: Archive", 0, &RenameOptions::chkAbit, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.valueName) + " " + std::to_string(c.stored));
        store_.DeleteKey(Scope::Machine, TemplateKey(9));
        store_.WriteText(Scope::Machine, TemplateKey(9), "", "Hand-edited");
        store_.WriteNumber(Scope::Machine, TemplateKey(9), c.valueName, c.stored);
        EXPECT_EQ(LoadOptions(9).*c.field, c.expected);
    }
}

TEST_F(TemplateTest, AutonumberTextTheListCannotShowFallsBackToTheStoredPosition) {
    struct Case {
        std::optional<std::string> text;
        std::int32_t position;
        const char* expected;
    };
    const Case cases[] = {
        {"12", -1, "12"},  {"007", -1, "007"}, {"Auto", 7, "Auto"},     {"256", -1, "Off"},
        {"256", 4, "3"},   {"abc", 1, "Auto"}, {"", 11, "10"},          {"-5", 12, "Off"},
        {"off", 0, "Off"}, {"1 2", -1, "Off"}, {"99999999999", 3, "2"}, {std::nullopt, 5, "Off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.value_or("(missing)") + " at " + std::to_string(c.position));
        store_.DeleteKey(Scope::Machine, TemplateKey(9));
        store_.WriteText(Scope::Machine, TemplateKey(9), "", "Hand-edited");
        store_.WriteNumber(Scope::Machine, TemplateKey(9), "Autonumber", c.position);
        if (c.text) {
            store_.WriteText(Scope::Machine, TemplateKey(9), "Autonumber text", *c.text);
        }
        EXPECT_EQ(LoadOptions(9).cboAutonumber, c.expected);
    }
}

TEST_F(TemplateTest, TextThatIsNotUtf8LoadsAsTheDefault) {
    store_.WriteText(Scope::Machine, TemplateKey(9), "", "Damaged");
    store_.WriteText(Scope::Machine, TemplateKey(9), "Swap separator", "\xff\xfe");
    store_.WriteText(Scope::Machine, TemplateKey(9), "Search for", "ok \xc3");
    store_.WriteText(Scope::Machine, TemplateKey(9), "Replace with", "fine é");
    const RenameOptions options = LoadOptions(9);
    EXPECT_EQ(options.txtSwapSep, " - ");
    EXPECT_EQ(options.txtSearch, "");
    EXPECT_EQ(options.txtReplace, "fine é");
}

TEST_F(TemplateTest, PathSpliceFixesThePathDisplayToTheFullPath) {
    store_.WriteText(Scope::Machine, TemplateKey(9), "", "Hand-edited");
    store_.WriteNumber(Scope::Machine, TemplateKey(9), "PathSplice", 1);
    store_.WriteNumber(Scope::Machine, TemplateKey(9), "Path display", 0);
    EXPECT_EQ(LoadOptions(9).cboPathDisplay, engine::kShowFullPath);
}

}  // namespace
}  // namespace kestrel::settings
