#include "settings/templates.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

#include "engine/name_pipeline.h"
#include "platform/drive_table.h"
#include "platform/posix_file_system.h"
#include "settings/drive_mapping.h"
#include "settings/key_paths.h"
#include "settings/preferences.h"
#include "settings/settings_store.h"
#include "settings/sound_table.h"
#include "settings/temp_config_folder.h"
#include "settings/template_manager.h"
#include "support/neutral_options.h"
#include "support/temp_drive.h"

namespace kestrel::settings {
namespace {

using engine::RenameOptions;

// A home folder that is not there: templates fall back to its drive root.
constexpr std::string_view kMissingFactoryFolder = "C:\\home\\nobody at all\\";

// The stored format: every value name a template holds, with a valid value
// away from both its factory and its template default, so that a value
// dropped, renamed or mixed up anywhere on the way shows. The field is none
// for the autonumber position and the swap areas.
const std::tuple<const char*, std::int32_t, int RenameOptions::*> kStoredNumbers[] = {
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
    {"Regular expression", 1, &RenameOptions::chkRegex},
    {"Underscore", 0, &RenameOptions::chkUnderscore},
    {"%20", 0, &RenameOptions::chkPercent20},
    {"User preset", 1, &RenameOptions::chkWildcard},
    {"Insert text start", 1, &RenameOptions::chkInsertStart},
    {"Insert text middle", 1, &RenameOptions::chkInsertMiddle},
    {"Insert text end", 1, &RenameOptions::chkInsertEnd},
    {"Autonumber", 11, nullptr},  // the list position of the text
    {"UNL", 1, &RenameOptions::chkUNL},
    {"UNL left/right", 1, &RenameOptions::cboUNLLR},
    {"Case Handling", 6, &RenameOptions::cboCaseHandling},
    {"Case Rules", 3, &RenameOptions::cboCaseRules},
    {"TextFX", 2, &RenameOptions::cboTextFX},
    {"Sort order", 3, &RenameOptions::cboSort},
    {"Sort descending", 1, &RenameOptions::chkSortDescending},
    {"Restart numbering in each folder", 1, &RenameOptions::chkNumberPerFolder},
};
const std::tuple<const char*, const char*, std::string RenameOptions::*> kStoredTexts[] = {
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
    {"Autonumber text", "10", &RenameOptions::cboAutonumber},
    {"Autonumber count", "100", &RenameOptions::txtAutonumberStartNum},
    {"Autonumber step", "5", &RenameOptions::txtAutonumberStep},
    {"UNL digits", "3", &RenameOptions::txtUNL},
};

RenameOptions NothingLikeTheDefaults() {
    RenameOptions options;
    for (const auto& [name, value, field] : kStoredNumbers) {
        if (field != nullptr) {
            options.*field = value;
        }
    }
    for (const auto& [name, value, field] : kStoredTexts) {
        if (field != nullptr) {
            options.*field = value;
        }
    }
    options.txtSwapArea = {"3", "4"};
    return options;
}

class TemplateTest : public ::testing::Test {
  protected:
    // Loads into options_ and preferences_, and stores a mended working folder.
    TemplateLoad Load(int number, std::string_view factoryFolder = kMissingFactoryFolder) {
        const TemplateLoad load = LoadTemplate(store_, drive_.FileSystem(), number, factoryFolder,
                                               options_, preferences_);
        StoreMendedFolder(store_, number, load);
        return load;
    }
    // Template 9 as a hand-edited one: a name and only the values written.
    std::string HandEdited() {
        store_.DeleteKey(Scope::Machine, TemplateKey(9));
        store_.WriteText(Scope::Machine, TemplateKey(9), "", "Hand-edited");
        return TemplateKey(9);
    }
    const RenameOptions& Load9() {
        EXPECT_TRUE(Load(9).loaded);
        return options_;
    }
    std::string Stored(int number, const char* name) {
        return store_.ReadText(Scope::Machine, TemplateKey(number), name, "?");
    }

    TempConfigFolder folder_;
    SettingsStore store_{folder_.Path()};
    support::TempDrive drive_{std::filesystem::temp_directory_path().string(), 'D'};
    RenameOptions options_;
    Preferences preferences_;
};

TEST_F(TemplateTest, SavesEveryValueUnderItsStoredNameAndLoadsItBack) {
    store_.WriteNumber(Scope::Machine, TemplateKey(7), "Left over", 1);
    const RenameOptions saved = NothingLikeTheDefaults();
    preferences_.maxLength = 31;
    SaveTemplate(store_, 7, "Holiday", saved, "C:\\tmp\\", preferences_, false);
    std::vector<std::string> names = {"", "Working folder"};
    for (const auto& [name, value, field] : kStoredNumbers) {
        EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(7), name, -99), value) << name;
        names.emplace_back(name);
    }
    for (const auto& [name, value, field] : kStoredTexts) {
        EXPECT_EQ(Stored(7, name), value) << name;
        names.emplace_back(name);
    }
    // Nothing else: no value of the replaced key, no preferences unless asked.
    EXPECT_THAT(store_.ListValueNames(Scope::Machine, TemplateKey(7)),
                ::testing::UnorderedElementsAreArray(names));
    EXPECT_EQ(Stored(7, ""), "Holiday");

    SaveTemplate(store_, 7, "Holiday", saved, "C:\\tmp\\", preferences_, true);
    preferences_ = {};
    EXPECT_EQ(Load(7).workingFolder, "C:\\tmp\\");
    EXPECT_EQ(options_, saved);
}

TEST_F(TemplateTest, DefaultTemplateWithoutKeyLoadsTableDefaultsOnProgramDriveRoot) {
    options_ = NothingLikeTheDefaults();
    preferences_.maxLength = 31;
    const TemplateLoad load = Load(0);
    RenameOptions tableDefaults;
    tableDefaults.txtChangeExt = "";  // a template without it never asked for an extension
    EXPECT_TRUE(load.loaded);
    EXPECT_EQ(load.workingFolder, "C:\\");
    EXPECT_EQ(options_, tableDefaults);
    EXPECT_EQ(preferences_, Preferences{});
    EXPECT_EQ(Stored(0, "Working folder"), "C:\\");
}

TEST_F(TemplateTest, OnlyNamedTemplatesNumberedFrom0To255AreLoadedOrSaved) {
    store_.WriteText(Scope::Machine, TemplateKey(5), "Working folder", "Q:\\Gone\\");
    store_.WriteNumber(Scope::Machine, TemplateKey(5), "Crop", 1);
    store_.WriteNumber(Scope::Machine, TemplateKey(5), "Max length", 20);
    store_.WriteText(Scope::Machine, TemplateKey(256), "", "Hand-made");
    options_ = NothingLikeTheDefaults();
    for (const int number : {5, 256}) {
        EXPECT_FALSE(Load(number).loaded) << number;
        EXPECT_EQ(options_, NothingLikeTheDefaults());
        EXPECT_EQ(preferences_, Preferences{});
    }
    EXPECT_EQ(Stored(5, "Working folder"), "Q:\\Gone\\");
    store_.DeleteKey(Scope::Machine, kTemplatesKey);
    SaveTemplate(store_, 256, "Too far", RenameOptions{}, "C:\\", Preferences{}, true);
    SaveTemplate(store_, -1, "Too low", RenameOptions{}, "C:\\", Preferences{}, true);
    EXPECT_THAT(store_.ListSubkeys(Scope::Machine, kTemplatesKey), ::testing::IsEmpty());
}

TEST_F(TemplateTest, MissingWorkingFolderFallsBackToTheHomeFolderOrADriveRootAndIsWrittenBack) {
    ASSERT_TRUE(drive_.Valid());
    drive_.MakeFolder("Here");
    drive_.MakeFolder("Home");
    // Stored folder, expected with a home folder that is gone, and with D:\Home\.
    const std::tuple<std::string, std::string, std::string> cases[] = {
        {"D:\\Here", "D:\\Here\\", "D:\\Here\\"},
        {"D:\\Gone\\", "D:\\", "D:\\Home\\"},  // on the home folder's drive: home
        {"C:\\Gone in C\\", "C:\\", "C:\\"},   // another drive: its root
        {"Q:\\Gone\\", "C:\\", "D:\\Home\\"},  // drive Q is not mapped
        {"", "C:\\", "D:\\Home\\"},
    };
    for (const auto& [stored, withoutHome, withHome] : cases) {
        SCOPED_TRACE(stored);
        for (const auto& [home, expected] : {std::pair(kMissingFactoryFolder, withoutHome),
                                             std::pair(std::string_view("D:\\Home"), withHome)}) {
            store_.WriteText(Scope::Machine, HandEdited(), "Working folder", stored);
            EXPECT_EQ(Load(9, home).workingFolder, expected) << home;
            EXPECT_EQ(Stored(9, "Working folder"), expected);
        }
    }
}

// A list position goes to the nearest entry the list has; a check or attribute
// state no box can show goes back to its default. Text that is not UTF-8 loads
// as the default; the path splice fixes the path display to the full path.
TEST_F(TemplateTest, NumbersTextsAndPathDisplayTheWindowCannotShowAreMended) {
    const std::tuple<const char*, std::int32_t, int RenameOptions::*, int> cases[] = {
        {"Path display", 7, &RenameOptions::cboPathDisplay, 2},
        {"TextFX", 100, &RenameOptions::cboTextFX, 3},
        {"Underscore", -1, &RenameOptions::chkUnderscore, 1},
        {"Crop", 2, &RenameOptions::chkCrop, 0},
        {"View attribute: Hidden", -1, &RenameOptions::chkHbit, 2},
        {"Sort order", 5, &RenameOptions::cboSort, 4},
    };
    for (const auto& [valueName, stored, field, expected] : cases) {
        store_.WriteNumber(Scope::Machine, HandEdited(), valueName, stored);
        EXPECT_EQ(Load9().*field, expected) << valueName << " " << stored;
    }

    const std::string key = HandEdited();
    store_.WriteText(Scope::Machine, key, "Swap separator", "\xff\xfe");
    store_.WriteText(Scope::Machine, key, "Search for", "ok \xc3");
    store_.WriteNumber(Scope::Machine, key, "PathSplice", 1);
    store_.WriteNumber(Scope::Machine, key, "Path display", 0);
    const RenameOptions& options = Load9();
    EXPECT_EQ(options.txtSwapSep, " - ");
    EXPECT_EQ(options.txtSearch, "");
    EXPECT_EQ(options.cboPathDisplay, engine::kShowFullPath);
}

// Text the list cannot show falls back to the stored list position.
TEST_F(TemplateTest, AutonumberTextTheListCannotShowFallsBackToTheStoredPosition) {
    const std::tuple<std::optional<std::string>, std::int32_t, const char*> cases[] = {
        {"Auto", 7, "Auto"}, {"007", 3, "007"},       {"256", -1, "Off"},
        {"256", 4, "3"},     {"99999999999", 3, "2"}, {std::nullopt, 5, "Off"},
    };
    for (const auto& [text, position, expected] : cases) {
        const std::string key = HandEdited();
        store_.WriteNumber(Scope::Machine, key, "Autonumber", position);
        if (text) {
            store_.WriteText(Scope::Machine, key, "Autonumber text", *text);
        }
        EXPECT_EQ(Load9().cboAutonumber, expected)
            << text.value_or("(missing)") << " at " << position;
    }
}

// A template saved before searches could be regular expressions holds no
// value for it: its search text is plain text again, whatever was on before.
TEST_F(TemplateTest, ATemplateFromBeforeRegularExpressionsSearchesForPlainText) {
    const std::string key = HandEdited();
    store_.WriteNumber(Scope::Machine, key, "Search and Replace", 1);
    store_.WriteText(Scope::Machine, key, "Search for", "(.)");
    store_.WriteText(Scope::Machine, key, "Replace with", "[$1]");
    store_.WriteNumber(Scope::Machine, key, "Case Handling", 0);
    options_.chkRegex = 1;
    const RenameOptions& options = Load9();
    EXPECT_EQ(options.chkRegex, 0);
    EXPECT_EQ(engine::ProcessName("a(.)b.txt", options, {}), "a[$1]b.txt");
}

// The list's order and numbering per folder are written only when set, so
// that a template that keeps the factory order holds the values it held
// before they existed; one without them lists and numbers as before.
TEST_F(TemplateTest, TheOrderAndPerFolderNumberingAreStoredOnlyWhenSet) {
    const char* const names[] = {"Sort order", "Sort descending",
                                 "Restart numbering in each folder"};
    SaveTemplate(store_, 7, "Factory order", RenameOptions{}, "C:\\tmp\\", preferences_, false);
    const std::vector<std::string> written = store_.ListValueNames(Scope::Machine, TemplateKey(7));
    for (const char* name : names) {
        EXPECT_THAT(written, ::testing::Not(::testing::Contains(name)));
    }
    RenameOptions descending;
    descending.chkSortDescending = 1;
    SaveTemplate(store_, 7, "Descending", descending, "C:\\tmp\\", preferences_, false);
    EXPECT_EQ(store_.ListValueNames(Scope::Machine, TemplateKey(7)).size(), written.size() + 1);
    EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(7), "Sort descending", -1), 1);

    HandEdited();
    options_.cboSort = engine::kSortBySize;
    options_.chkSortDescending = 1;
    options_.chkNumberPerFolder = 1;
    const RenameOptions& options = Load9();
    EXPECT_EQ(options.cboSort, engine::kSortByName);
    EXPECT_EQ(options.chkSortDescending, 0);
    EXPECT_EQ(options.chkNumberPerFolder, 0);
}

// Another running copy saving the default template while this one loads it:
// every load sees one whole template, never a mix of two or the defaults of a
// half-written one.
constexpr int kLoads = 1000;

engine::RenameOptions Saved(bool first) {
    engine::RenameOptions options = first ? support::NeutralOptions() : engine::RenameOptions{};
    options.txtInsertStart = first ? "first" : "second";
    return options;
}

// Runs in the child: saves the two templates in turn until the parent closes
// its end of the pipe.
[[noreturn]] void SaveUntilTold(const std::string& folder, int stopFd) {
    SettingsStore store(folder);
    for (bool first = true;; first = !first) {
        SaveTemplate(store, 0, "{No Name}", Saved(first), "C:\\", Preferences{}, true);
        pollfd stop{stopFd, POLLIN, 0};
        if (::poll(&stop, 1, 0) > 0) {
            ::_exit(0);
        }
    }
}

TEST(TemplateConcurrency, EveryLoadSeesOneWholeTemplateWhileAnotherCopySaves) {
    TempConfigFolder folder;
    {  // no connection to the store is open across the fork
        SettingsStore store(folder.Path());
        SaveTemplate(store, 0, "{No Name}", Saved(true), "C:\\", Preferences{}, true);
    }
    int pipeFds[2];
    ASSERT_EQ(::pipe(pipeFds), 0);
    const pid_t saver = ::fork();
    ASSERT_GE(saver, 0);
    if (saver == 0) {
        ::close(pipeFds[1]);
        SaveUntilTold(folder.Path(), pipeFds[0]);
    }
    ::close(pipeFds[0]);
    SettingsStore store(folder.Path());
    platform::PosixFileSystem fileSystem;
    int partial = 0;
    for (int load = 0; load < kLoads; ++load) {
        engine::RenameOptions options;
        Preferences preferences;
        LoadTemplate(store, fileSystem, 0, "C:\\", options, preferences);
        partial += options != Saved(true) && options != Saved(false) ? 1 : 0;
    }
    ::close(pipeFds[1]);
    ::waitpid(saver, nullptr, 0);
    EXPECT_EQ(partial, 0) << "of " << kLoads << " loads";
}

// The value names other tools and older templates use (a renamed one would
// lose every user's setting), each with a valid value away from its default.
const std::tuple<const char*, std::int32_t Preferences::*, std::int32_t> kStoredFields[] = {
    {"Auto update", &Preferences::autoUpdate, 1},
    {"Save settings", &Preferences::saveSettings, 0},
    {"Double-click file", &Preferences::doubleClickFile, 2},
    {"Double-click folder", &Preferences::doubleClickFolder, 1},
    {"Auto refresh", &Preferences::autoRefresh, 0},
    {"Auto reset options", &Preferences::autoResetOptions, 0},
    {"Hide lists", &Preferences::hideLists, 0},
    {"Max list", &Preferences::maxList, 1},
    {"Max list cutoff", &Preferences::maxListCutoff, 32767},
    {"Enable max length check", &Preferences::maxLengthCheck, 1},
    {"Max length", &Preferences::maxLength, 31},
    {"Error checking", &Preferences::errorChecking, 0},
    {"Sounds muted", &Preferences::soundsMuted, 1},
    {"Sounds threshold", &Preferences::soundsThreshold, 300},
    // On unless a template says otherwise: an older template previews as
    // the user types too.
    {"Preview while typing", &Preferences::previewWhileTyping, 0},
};

Preferences UnusualPreferences() {
    Preferences p;
    for (const auto& [valueName, member, unusual] : kStoredFields) {
        p.*member = unusual;
    }
    p.startupLocation = 4;
    p.pathStyle = 1;
    return p;
}

TEST_F(TemplateTest, MissingValuesLoadTheDefaultsAndStoredOnesAreHeldToTheirRanges) {
    store_.WriteText(Scope::Machine, TemplateKey(5), "", "Options only");
    Preferences loaded = UnusualPreferences(), expected;
    LoadPreferences(store_, 5, loaded);
    expected.autoUpdate = 1;       // decided at first run, not by a template
    expected.startupLocation = 4;  // not a template's
    expected.pathStyle = 1;
    EXPECT_EQ(loaded, expected) << "auto update stays as it was";

    const std::pair<const char*, std::int32_t> stored[] = {
        {"Max list cutoff", 0}, {"Max length", 256}, {"Error checking", 9}, {"Auto update", -2}};
    for (const auto& [valueName, value] : stored) {
        store_.WriteNumber(Scope::Machine, TemplateKey(5), valueName, value);
    }
    LoadPreferences(store_, 5, loaded);
    expected.maxListCutoff = 1, expected.maxLength = 255, expected.errorChecking = 3;
    expected.autoUpdate = 0;
    EXPECT_EQ(loaded, expected);
}

TEST_F(TemplateTest, WritesEveryFieldUnderItsNameAndLoadsBack) {
    const Preferences saved = UnusualPreferences();
    SavePreferences(store_, 7, saved);
    for (const auto& [valueName, member, unusual] : kStoredFields) {
        EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(7), valueName, -99), unusual)
            << valueName;
    }
    EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(7), "Startup location", -99), -99);
    EXPECT_EQ(store_.ReadNumber(Scope::Machine, kSettingsKey, "Startup location", -99), 4);
    // Beside the start location, for the machine, not a template's.
    EXPECT_EQ(store_.ReadNumber(Scope::Machine, TemplateKey(7), "Path style", -99), -99);
    EXPECT_EQ(store_.ReadNumber(Scope::Machine, kSettingsKey, "Path style", -99), 1);
    Preferences loaded;
    LoadPreferences(store_, 7, loaded);
    LoadStartupLocation(store_, loaded);
    EXPECT_EQ(loaded, saved);
}

TEST(CheckMaxListCutoff, RefusesNumbersOutsideOneTo32767) {
    const std::pair<const char*, bool> cases[] = {
        {"0", false}, {"32768", false}, {"", false}, {"1", true}, {"32767", true}, {"12abc", true},
    };
    for (const auto& [text, accepted] : cases) {
        EXPECT_EQ(CheckMaxListCutoff(text),
                  accepted ? "" : "Interrupt processing value must be 1 through 32767.")
            << text;
    }
}

TEST(TemplateKey, PadsTheNumberToThreeDigitsUnderTheTemplatesKey) {
    EXPECT_EQ(TemplateKey(7), "Software\\Vantorre\\Kestrel\\Templates\\007");
}

TEST_F(TemplateTest, ReadsEachEventFromTheUserScopeAndDefaultsToZero) {
    const std::string events = "AppEvents\\Schemes\\Apps\\Kestrel\\";
    store_.WriteText(Scope::User, events + "Operation complete with warnings\\.Current", "",
                     "/sounds/warn.wav");
    store_.WriteText(Scope::Machine, events + "Operation complete\\.Current", "", "/sounds/no.wav");
    const SoundTable table = ReadSoundTable(store_);
    EXPECT_EQ(table.FileFor(SoundEvent::OperationComplete), "0");
    EXPECT_EQ(table.FileFor(SoundEvent::OperationCompleteWithWarnings), "/sounds/warn.wav");
}

TEST_F(TemplateTest, MapsEachLetterValueAndPassesOverMalformedOnes) {
    const std::string drives = "Software\\Vantorre\\Kestrel\\Drives";
    const std::pair<const char*, const char*> values[] = {
        {"D:", "/media/usb"}, {"e:", "/mnt/e"}, {"F", "/mnt/f"},
        {"GG:", "/mnt/g"},    {"1:", "/mnt/1"},
    };
    for (const auto& [letter, host] : values) {
        store_.WriteText(Scope::Machine, drives, letter, host);
    }
    store_.WriteNumber(Scope::Machine, drives, "H:", 5);
    platform::DriveTable table;
    LoadDriveTable(store_, table);
    EXPECT_EQ(table.HostFolder('D'), "/media/usb");
    EXPECT_EQ(table.HostFolder('E'), "/mnt/e");
    EXPECT_EQ(table.HostFolder('C'), "/");
    for (const char letter : {'F', 'G', 'H'}) {
        EXPECT_FALSE(table.IsMapped(letter)) << letter;
    }
}

using ::testing::ElementsAre;
using ::testing::IsEmpty;
using Save = std::pair<int, std::string>;

class TemplateManagerTest : public ::testing::Test {
  protected:
    void AddTemplates(std::initializer_list<int> numbers) {
        for (int number : numbers) {
            store_.WriteText(Scope::Machine, TemplateKey(number), "",
                             "Name " + std::to_string(number));
        }
    }
    // Adds the templates and lists them, with template 3 a key without a name.
    void Fill(std::initializer_list<int> numbers, bool unnamed3 = false) {
        AddTemplates(numbers);
        if (unnamed3) {
            store_.WriteNumber(Scope::Machine, TemplateKey(3), "Crop", 1);
        }
        model_.FillTemplateList(store_);
    }
    // The enabled buttons that follow the selection: Use, Modify, Delete.
    std::string Enabled() const {
        const TemplateButtons b = model_.Buttons();
        return std::string(b.cmdUse ? "U" : "") + (b.cmdModify ? "M" : "") +
               (b.cmdDelete ? "D" : "");
    }

    TempConfigFolder folder_;
    SettingsStore store_{folder_.Path()};
    std::vector<Save> saves_;
    TemplateManagerModel model_{
        [this](int number, const std::string& name) { saves_.emplace_back(number, name); }};
};

// Without key 000 the first key is a user's template all the same.
TEST_F(TemplateManagerTest, ListsEachTemplateOnTheRowOfItsNumberAndPassesOverOtherKeys) {
    // Only the names the program writes are read back by a load.
    for (const char* name : {"abc", "7", "0042", "256", "-01"}) {
        store_.WriteText(Scope::Machine, std::string(kTemplatesKey) + "\\" + name, "", name);
    }
    Fill({1, 4});
    EXPECT_THAT(model_.Rows(),
                ElementsAre("{Last default state}", "Name 1", "{Empty}", "{Empty}", "Name 4"));
    EXPECT_EQ(model_.NameBox(), "{Last default state}");  // row 0 is selected
}

TEST_F(TemplateManagerTest, SelectedRowIsShownModifiedAndUsed) {
    Fill({1}, true);  // a key without a name is no template: its row reads empty
    ASSERT_THAT(model_.Rows(), ElementsAre("{Last default state}", "Name 1", "{Empty}", ""));
    model_.Select(3);
    EXPECT_EQ(model_.Caption(), "Template number 3 highlighted");
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_EQ(Enabled(), "M");

    model_.Select(1);
    EXPECT_EQ(model_.NameBox(), "Name 1");
    EXPECT_EQ(Enabled(), "UMD");
    model_.SetNameBox("");
    EXPECT_FALSE(model_.Buttons().cmdAdd);
    model_.Modify();  // an empty name saves nothing
    EXPECT_THAT(saves_, IsEmpty());
    model_.SetNameBox("Renamed");
    model_.Modify();
    EXPECT_THAT(saves_, ElementsAre(Save{1, "Renamed"}));
    EXPECT_EQ(model_.Rows()[1], "Renamed");
    EXPECT_EQ(model_.NameBox(), "");
    model_.SetNameBox("x");
    EXPECT_EQ(model_.Use(), 1);
    EXPECT_EQ(model_.NameBox(), "");
}

// "{Empty}" and "{Deleted}" rows keep their numbers; a row without a name takes one.
TEST_F(TemplateManagerTest, AddTakesOnlyAnUnnamedRowInPlaceAndOtherwiseTheNextNumber) {
    Fill({0, 1, 2, 5}, true);
    model_.Select(4);
    model_.Delete(store_);
    EXPECT_EQ(model_.Rows()[4], "{Empty}");  // there was nothing to delete
    model_.Select(2);
    model_.Delete(store_);
    EXPECT_EQ(model_.Rows()[2], "{Deleted}");
    EXPECT_EQ(store_.ReadText(Scope::Machine, TemplateKey(2), ""), "");
    for (const char* name : {"Fresh", "New"}) {
        model_.SetNameBox(name);
        EXPECT_TRUE(model_.Add());
    }
    EXPECT_THAT(saves_, ElementsAre(Save{3, "Fresh"}, Save{6, "New"}));
    EXPECT_THAT(model_.Rows(), ElementsAre("{Last default state}", "Name 1", "{Deleted}", "Fresh",
                                           "{Empty}", "Name 5", "New"));
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_FALSE(model_.Buttons().cmdAdd);
}

TEST_F(TemplateManagerTest, DeleteAllRemovesEveryListedTemplateAndEmptiesTheList) {
    Fill({0, 1, 4});
    model_.DeleteAll(store_);
    EXPECT_THAT(model_.Rows(), IsEmpty());
    EXPECT_THAT(store_.ListSubkeys(Scope::Machine, kTemplatesKey), IsEmpty());
    EXPECT_EQ(model_.NameBox(), "");
    EXPECT_EQ(model_.Selected(), -1);
    EXPECT_EQ(Enabled(), "");
    // Nothing is selected any more, so nothing can be used or overwritten.
    EXPECT_EQ(model_.Use(), std::nullopt);
    model_.SetNameBox("Orphan");
    model_.Modify();
    model_.Delete(store_);
    EXPECT_THAT(saves_, IsEmpty());
}

TEST_F(TemplateManagerTest, AddStopsWhenAll256NumbersAreInUse) {
    Fill({});
    for (int i = 1; i <= 255; ++i) {
        model_.SetNameBox("T" + std::to_string(i));
        ASSERT_TRUE(model_.Add());
    }
    model_.SetNameBox("One too many");
    EXPECT_FALSE(model_.Add());
    EXPECT_EQ(saves_.size(), 255u);
    EXPECT_EQ(saves_.back(), (Save{255, "T255"}));
    EXPECT_EQ(model_.Rows().size(), 256u);
    EXPECT_EQ(model_.NameBox(), "One too many");
}

}  // namespace
}  // namespace kestrel::settings
