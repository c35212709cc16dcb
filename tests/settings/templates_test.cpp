#include "settings/templates.h"

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

constexpr std::string_view kProgramFolder = "C:\\Program Files\\Kestrel\\";

// The stored format: every value name a template holds, with a valid value
// away from both its factory and its template default, so that a value
// dropped, renamed or mixed up anywhere on the way shows.
struct StoredNumber {
    const char* name;
    std::int32_t value;
    int RenameOptions::*field;  // none for the autonumber position
};
const StoredNumber kStoredNumbers[] = {
    {"Path display", 2, &RenameOptions::cboPathDisplay},
    {"View filter option", 1, &RenameOptions::cboFilter},
    {"View filter files/folders", 2, &RenameOptions::cboFilesFolders},
    {"View attribute: System", 0, &RenameOptions::chkSbit},
    {"View attribute: Hidden", 0, &RenameOptions::chkHbit},
    {"View attribute: Read-Only", 1, &RenameOptions::chkRbit},
    {"View attribute: Archive", 1, &RenameOptions::chkAbit},
    {"Replace entire filename", 1, &RenameOptions::chkReplaceWholeName},
    {"Include extension", 0, &RenameOptions::chkExtIncluded},
    {"Periods are characters", 1, &RenameOptions::chkNoExt},
    {"Force single spaces", 0, &RenameOptions::chkForceSingleSpaces},
    {"Copy", 1, &RenameOptions::chkCopy},
    {"Recurse", 1, &RenameOptions::chkRecurse},
    {"Change all extensions", 1, &RenameOptions::chkChangeExt},
    {"Swap text", 1, &RenameOptions::chkSwapSep},
    {"PathSplice", 1, &RenameOptions::chkPathSplice},
    {"Crop", 1, &RenameOptions::chkCrop},
    {"Crop left/right", 1, &RenameOptions::cboCropLR},
    {"Search and Replace", 1, &RenameOptions::chkSearchReplace},
    {"Case sensitive search", 1, &RenameOptions::chkCaseSensitive},
    {"Replace only first", 1, &RenameOptions::chkFirstOccur},
    {"Underscore", 0, &RenameOptions::chkUnderscore},
    {"%20", 0, &RenameOptions::chkPercent20},
    {"User preset", 1, &RenameOptions::chkWildcard},
    {"Insert text start", 1, &RenameOptions::chkInsertStart},
    {"Insert text middle", 1, &RenameOptions::chkInsertMiddle},
    {"Insert text end", 1, &RenameOptions::chkInsertEnd},
    {"Autonumber", -1, nullptr},  // typed digits have no list position
    {"UNL", 1, &RenameOptions::chkUNL},
    {"UNL left/right", 1, &RenameOptions::cboUNLLR},
    {"Case Handling", 6, &RenameOptions::cboCaseHandling},
    {"Case Rules", 3, &RenameOptions::cboCaseRules},
    {"TextFX", 2, &RenameOptions::cboTextFX},
};
struct StoredText {
    const char* name;
    const char* value;
    std::string RenameOptions::*field;  // none for the swap areas
};
const StoredText kStoredTexts[] = {
    {"View filter text", "*.jpg", &RenameOptions::txtFilter},
    {"Change all extensions to", "png", &RenameOptions::txtChangeExt},
    {"Swap area 1", "3", nullptr},
    {"Swap area 2", "4", nullptr},
    {"Swap separator", " _ ", &RenameOptions::txtSwapSep},
    {"PathSplice Levels", "2", &RenameOptions::txtPathSpliceLevels},
    {"PathSplice separator", "+", &RenameOptions::txtPathSpliceSeparator},
    {"Crop characters", "5", &RenameOptions::txtEliminateChars},
    {"Crop position", "6", &RenameOptions::txtEliminatePosition},
    {"Search for", "é", &RenameOptions::txtSearch},
    {"Replace with", "e", &RenameOptions::txtReplace},
    {"Single character search", "x", &RenameOptions::txtSearchChar},
    {"Single character replace", "y", &RenameOptions::txtReplaceChar},
    {"Insert text start text", "start ", &RenameOptions::txtInsertStart},
    {"Insert text middle position", "7", &RenameOptions::txtInsertMiddlePosition},
    {"Insert text middle text", "mid", &RenameOptions::txtInsertMiddle},
    {"Insert text end text", " end", &RenameOptions::txtInsertEnd},
    {"Autonumber text", "12", &RenameOptions::cboAutonumber},
    {"Autonumber count", "100", &RenameOptions::txtAutonumberStartNum},
    {"Autonumber step", "5", &RenameOptions::txtAutonumberStep},
    {"UNL digits", "3", &RenameOptions::txtUNL},
};

RenameOptions NothingLikeTheDefaults() {
    RenameOptions options;
    for (const StoredNumber& n : kStoredNumbers) {
        if (n.field != nullptr) {
            options.*n.field = n.value;
        }
    }
    for (const StoredText& t : kStoredTexts) {
        if (t.field != nullptr) {
            options.*t.field = t.value;
        }
    }
    options.txtSwapArea = {"3", "4"};
    return options;
}

class TemplateTest : public ::testing::Test {
  protected:
    TemplateLoad Load(int number, RenameOptions& options, Preferences& preferences) {
        const TemplateLoad load =
            LoadTemplate(store_, fileSystem_, number, kProgramFolder, options, preferences);
        StoreMendedFolder(store_, number, load);
        return load;
    }
    // Template 9 as a hand-edited one: a name and only the values written.
    std::string HandEdited() {
        store_.DeleteKey(Scope::Machine, TemplateKey(9));
        store_.WriteText(Scope::Machine, TemplateKey(9), "", "Hand-edited");
        return TemplateKey(9);
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

TEST_F(TemplateTest, SavesEveryValueUnderItsStoredNameAndLoadsItBack) {
    store_.WriteNumber(Scope::Machine, TemplateKey(7), "Left over", 1);
    const RenameOptions saved = NothingLikeTheDefaults();
    Preferences preferences;
    preferences.maxLength = 31;
    SaveTemplate(store_, 7, "Holiday", saved, "C:\\tmp\\", preferences, false);

    std::vector<std::string> names = {"", "Working folder"};
    for (const StoredNumber& n : kStoredNumbers) {
        SCOPED_TRACE(n.name);
        EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(7), n.name, -99), n.value);
        names.emplace_back(n.name);
    }
    for (const StoredText& t : kStoredTexts) {
        SCOPED_TRACE(t.name);
        EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(7), t.name, "?"), t.value);
        names.emplace_back(t.name);
    }
    // Nothing else: no value of the replaced key, no preferences unless asked.
    EXPECT_THAT(store_.ListValueNames(Scope::Machine, TemplateKey(7)),
                ::testing::UnorderedElementsAreArray(names));
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(7), ""), "Holiday");

    SaveTemplate(store_, 7, "Holiday", saved, "C:\\tmp\\", preferences, true);
    RenameOptions loaded;
    Preferences loadedPreferences;
    const TemplateLoad load = Load(7, loaded, loadedPreferences);
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.workingFolder, "C:\\tmp\\");
    EXPECT_EQ(loaded, saved);
    EXPECT_EQ(loadedPreferences.maxLength, 31);
}

TEST_F(TemplateTest, DefaultTemplateWithoutKeyLoadsTableDefaultsOnProgramDriveRoot) {
    RenameOptions options = NothingLikeTheDefaults();
    Preferences preferences;
    preferences.maxLength = 31;
    const TemplateLoad load = Load(0, options, preferences);

    RenameOptions tableDefaults;
    tableDefaults.txtChangeExt = "";  // a template without it never asked for an extension
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.workingFolder, "C:\\");
    EXPECT_EQ(options, tableDefaults);
    EXPECT_EQ(preferences.maxLength, Preferences{}.maxLength);
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(0), "Working folder"), "C:\\");
}

TEST_F(TemplateTest, UnnamedTemplateIsNotLoadedAndChangesNothing) {
    store_.WriteText(Scope::Machine, TemplateKey(5), "Working folder", "Q:\\Gone\\");
    store_.WriteNumber(Scope::Machine, TemplateKey(5), "Crop", 1);
    store_.WriteNumber(Scope::Machine, TemplateKey(5), "Max length", 20);
    RenameOptions options = NothingLikeTheDefaults();
    Preferences preferences;

    EXPECT_FALSE(Load(5, options, preferences).loaded);
    EXPECT_EQ(options, NothingLikeTheDefaults());
    EXPECT_EQ(preferences.maxLength, Preferences{}.maxLength);
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(5), "Working folder"), "Q:\\Gone\\");
}

TEST_F(TemplateTest, NumbersOutsideZeroTo255AreNeitherSavedNorLoaded) {
    SaveTemplate(store_, 256, "Too far", RenameOptions{}, "C:\\", Preferences{}, true);
    SaveTemplate(store_, -1, "Too low", RenameOptions{}, "C:\\", Preferences{}, true);
    EXPECT_THAT(store_.ListSubkeys(Scope::Machine, kTemplatesKey), ::testing::IsEmpty());
    store_.WriteText(Scope::Machine, TemplateKey(256), "", "Hand-made");
    RenameOptions options;
    Preferences preferences;
    EXPECT_FALSE(Load(256, options, preferences).loaded);
}

TEST_F(TemplateTest, MissingWorkingFolderFallsBackToADriveRootAndIsWrittenBack) {
    support::TempDrive drive(std::filesystem::temp_directory_path().string(), 'D');
    ASSERT_TRUE(drive.Valid());
    drive.MakeFolder("Here");
    const std::pair<std::string, std::string> cases[] = {
        {"D:\\Gone\\", "D:\\"}, {"D:\\Here", "D:\\Here\\"}, {"D:\\Here\\Gone\\Deeper\\", "D:\\"},
        {"Q:\\Gone\\", "C:\\"},                    // drive Q is not mapped
        {"", "C:\\"},           {"Gone", "C:\\"},  // no drive root of its own
    };
    for (const auto& [stored, expected] : cases) {
        SCOPED_TRACE(stored);
        store_.WriteText(Scope::Machine, HandEdited(), "Working folder", stored);
        RenameOptions options;
        Preferences preferences;
        const TemplateLoad load =
            LoadTemplate(store_, drive.FileSystem(), 9, kProgramFolder, options, preferences);
        StoreMendedFolder(store_, 9, load);
        EXPECT_TRUE(load.loaded);
        EXPECT_EQ(load.workingFolder, expected);
        EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(9), "Working folder"), expected);
    }
}

TEST_F(TemplateTest, AutonumberIsStoredAsListPositionAndText) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"Off", 0}, {"Auto", 1}, {"10", 11}, {"0", -1}};
    for (const auto& [text, position] : cases) {
        SCOPED_TRACE(text);
        RenameOptions saved;
        saved.cboAutonumber = text;
        SaveTemplate(store_, 2, "Numbers", saved, "C:\\", Preferences{}, false);
        EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(2), "Autonumber", -99), position);
        EXPECT_EQ(LoadOptions(2).cboAutonumber, text);
    }
}

TEST_F(TemplateTest, NumbersTheWindowCannotShowAreMended) {
    struct Case {
        const char* valueName;
        std::int32_t stored;
        int RenameOptions::*field;
        int expected;
    };
    // A list position goes to the nearest entry the list has; a check or
    // attribute state no box can show goes back to its default.
    const Case cases[] = {
        {"Path display", 7, &RenameOptions::cboPathDisplay, 2},
        {"Path display", -3, &RenameOptions::cboPathDisplay, 0},
        {"View filter option", 9, &RenameOptions::cboFilter, 3},
        {"View filter files/folders", 5, &RenameOptions::cboFilesFolders, 2},
        {"Crop left/right", 2, &RenameOptions::cboCropLR, 1},
        {"UNL left/right", 3, &RenameOptions::cboUNLLR, 1},
        {"Case Handling", 8, &RenameOptions::cboCaseHandling, 7},
        {"Case Rules", 4, &RenameOptions::cboCaseRules, 3},
        {"TextFX", 100, &RenameOptions::cboTextFX, 3},
        {"Crop", 2, &RenameOptions::chkCrop, 0},
        {"Underscore", -1, &RenameOptions::chkUnderscore, 1},
        {"View attribute: System", 3, &RenameOptions::chkSbit, 2},
        {"View attribute: Hidden", -1, &RenameOptions::chkHbit, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.valueName) + " " + std::to_string(c.stored));
        store_.WriteNumber(Scope::Machine, HandEdited(), c.valueName, c.stored);
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
        {"Auto", 7, "Auto"}, {"007", 3, "007"},       {"255", 4, "255"},        {"256", -1, "Off"},
        {"256", 4, "3"},     {"abc", 1, "Auto"},      {"", 11, "10"},           {"-5", 12, "Off"},
        {"off", 0, "Off"},   {"99999999999", 3, "2"}, {std::nullopt, 5, "Off"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.value_or("(missing)") + " at " + std::to_string(c.position));
        const std::string key = HandEdited();
        store_.WriteNumber(Scope::Machine, key, "Autonumber", c.position);
        if (c.text) {
            store_.WriteText(Scope::Machine, key, "Autonumber text", *c.text);
        }
        EXPECT_EQ(LoadOptions(9).cboAutonumber, c.expected);
    }
}

TEST_F(TemplateTest, TextThatIsNotUtf8LoadsAsTheDefault) {
    const std::string key = HandEdited();
    store_.WriteText(Scope::Machine, key, "Swap separator", "\xff\xfe");
    store_.WriteText(Scope::Machine, key, "Search for", "ok \xc3");
    const RenameOptions options = LoadOptions(9);
    EXPECT_EQ(options.txtSwapSep, " - ");
    EXPECT_EQ(options.txtSearch, "");
}

TEST_F(TemplateTest, PathSpliceFixesThePathDisplayToTheFullPath) {
    const std::string key = HandEdited();
    store_.WriteNumber(Scope::Machine, key, "PathSplice", 1);
    store_.WriteNumber(Scope::Machine, key, "Path display", 0);
    EXPECT_EQ(LoadOptions(9).cboPathDisplay, engine::kShowFullPath);
}

}  // namespace
}  // namespace kestrel::settings
