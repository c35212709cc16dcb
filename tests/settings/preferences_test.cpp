#include "settings/preferences.h"

#include <gtest/gtest.h>

#include "platform/drive_table.h"
#include "settings/drive_mapping.h"
#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "settings/sound_table.h"
#include "settings/temp_config_folder.h"

namespace kestrel::settings {
namespace {

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

Preferences NothingLikeTheDefaults() {
    Preferences p;
    for (const auto& [valueName, member, unusual] : kStoredFields) {
        p.*member = unusual;
    }
    p.startupLocation = 4;
    p.pathStyle = 1;
    return p;
}

TEST(LoadPreferences, MissingValuesLoadTheDefaultsAndStoredOnesAreHeldToTheirRanges) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, TemplateKey(5), "", "Options only");
    Preferences loaded = NothingLikeTheDefaults(), expected;
    LoadPreferences(store, 5, loaded);
    expected.autoUpdate = 1;       // decided at first run, not by a template
    expected.startupLocation = 4;  // not a template's
    expected.pathStyle = 1;
    EXPECT_EQ(loaded, expected) << "auto update stays as it was";

    const std::pair<const char*, std::int32_t> stored[] = {
        {"Max list cutoff", 0}, {"Max length", 256}, {"Error checking", 9}, {"Auto update", -2}};
    for (const auto& [valueName, value] : stored) {
        store.WriteNumber(Scope::Machine, TemplateKey(5), valueName, value);
    }
    LoadPreferences(store, 5, loaded);
    expected.maxListCutoff = 1, expected.maxLength = 255, expected.errorChecking = 3;
    expected.autoUpdate = 0;
    EXPECT_EQ(loaded, expected);
}

TEST(SavePreferences, WritesEveryFieldUnderItsNameAndLoadsBack) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    const Preferences saved = NothingLikeTheDefaults();
    SavePreferences(store, 7, saved);
    for (const auto& [valueName, member, unusual] : kStoredFields) {
        EXPECT_EQ(store.ReadNumber(Scope::Machine, TemplateKey(7), valueName, -99), unusual)
            << valueName;
    }
    EXPECT_EQ(store.ReadNumber(Scope::Machine, TemplateKey(7), "Startup location", -99), -99);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kSettingsKey, "Startup location", -99), 4);
    // Beside the start location, for the machine, not a template's.
    EXPECT_EQ(store.ReadNumber(Scope::Machine, TemplateKey(7), "Path style", -99), -99);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kSettingsKey, "Path style", -99), 1);
    Preferences loaded;
    LoadPreferences(store, 7, loaded);
    LoadStartupLocation(store, loaded);
    EXPECT_EQ(loaded, saved);
}

TEST(PreferenceCaptions, ReadAsTheWindowShowsThem) {
    EXPECT_EQ(MaxLengthCaption(1), "Treat files longer than 1 character as an error.");
    EXPECT_EQ(MaxLengthCaption(64), "Treat files longer than 64 characters as an error.");
    EXPECT_EQ(SoundsThresholdCaption(0), "Always play sounds when operation completes.");
    EXPECT_EQ(SoundsThresholdCaption(1), "Play sounds if processing takes 1 second or longer.");
    EXPECT_EQ(SoundsThresholdCaption(30), "Play sounds if processing takes 30 seconds or longer.");
    EXPECT_EQ(ErrorCheckCaption(0), "No error checking (fastest)");
    EXPECT_EQ(ErrorCheckCaption(1), "Simple error checking");
    EXPECT_EQ(ErrorCheckCaption(2), "Normal error checking");
    EXPECT_EQ(ErrorCheckCaption(3), "Advanced error checking (recommended)");
    EXPECT_EQ(ErrorCheckCaption(4), "");
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

TEST(ReadSoundTable, ReadsEachEventFromTheUserScopeAndDefaultsToZero) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    const std::string events = "AppEvents\\Schemes\\Apps\\Kestrel\\";
    store.WriteText(Scope::User, events + "Operation complete with warnings\\.Current", "",
                    "/sounds/warn.wav");
    store.WriteText(Scope::Machine, events + "Operation complete\\.Current", "", "/sounds/no.wav");
    const SoundTable table = ReadSoundTable(store);
    EXPECT_EQ(table.FileFor(SoundEvent::OperationComplete), "0");
    EXPECT_EQ(table.FileFor(SoundEvent::OperationCompleteWithWarnings), "/sounds/warn.wav");
}

TEST(LoadDriveTable, MapsEachLetterValueAndPassesOverMalformedOnes) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    const std::string drives = "Software\\Vantorre\\Kestrel\\Drives";
    const std::pair<const char*, const char*> values[] = {
        {"D:", "/media/usb"}, {"e:", "/mnt/e"}, {"F", "/mnt/f"},
        {"GG:", "/mnt/g"},    {"1:", "/mnt/1"},
    };
    for (const auto& [letter, host] : values) {
        store.WriteText(Scope::Machine, drives, letter, host);
    }
    store.WriteNumber(Scope::Machine, drives, "H:", 5);
    platform::DriveTable table;
    LoadDriveTable(store, table);
    EXPECT_EQ(table.HostFolder('D'), "/media/usb");
    EXPECT_EQ(table.HostFolder('E'), "/mnt/e");
    EXPECT_EQ(table.HostFolder('C'), "/");
    for (const char letter : {'F', 'G', 'H'}) {
        EXPECT_FALSE(table.IsMapped(letter)) << letter;
    }
}

}  // namespace
}  // namespace kestrel::settings
