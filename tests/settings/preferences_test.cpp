#include "settings/preferences.h"

#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "settings/key_paths.h"
#include "settings/temp_config_folder.h"

namespace kestrel::settings {
namespace {

struct StoredField {
    const char* valueName;
    std::int32_t Preferences::*member;
};

// The value names other tools and older templates use; a renamed one would lose
// every user's setting.
const StoredField kStoredFields[] = {
    {"Auto update", &Preferences::autoUpdate},
    {"Save settings", &Preferences::saveSettings},
    {"Double-click file", &Preferences::doubleClickFile},
    {"Double-click folder", &Preferences::doubleClickFolder},
    {"Auto refresh", &Preferences::autoRefresh},
    {"Auto reset options", &Preferences::autoResetOptions},
    {"Hide lists", &Preferences::hideLists},
    {"Max list", &Preferences::maxList},
    {"Max list cutoff", &Preferences::maxListCutoff},
    {"Enable max length check", &Preferences::maxLengthCheck},
    {"Max length", &Preferences::maxLength},
    {"Error checking", &Preferences::errorChecking},
    {"Sounds muted", &Preferences::soundsMuted},
    {"Sounds threshold", &Preferences::soundsThreshold},
};

Preferences NothingLikeTheDefaults() {
    Preferences p;
    p.autoUpdate = 1;
    p.saveSettings = 0;
    p.doubleClickFile = 2;
    p.doubleClickFolder = 1;
    p.autoRefresh = 0;
    p.autoResetOptions = 0;
    p.hideLists = 0;
    p.maxList = 1;
    p.maxListCutoff = 32767;
    p.maxLengthCheck = 1;
    p.maxLength = 31;
    p.errorChecking = 0;
    p.soundsMuted = 1;
    p.soundsThreshold = 300;
    p.startupLocation = 4;
    return p;
}

void ExpectFieldsEqual(const Preferences& actual, const Preferences& expected) {
    for (const StoredField& field : kStoredFields) {
        SCOPED_TRACE(field.valueName);
        EXPECT_EQ(actual.*field.member, expected.*field.member);
    }
}

TEST(LoadPreferences, FreshStoreYieldsTheDefaults) {
    TempConfigFolder folder;
    const SettingsStore store(folder.Path());
    Preferences loaded = NothingLikeTheDefaults();
    LoadPreferences(store, 0, loaded);

    Preferences expected;
    expected.autoUpdate = 1;  // not a template's choice: it stays as it was
    ExpectFieldsEqual(loaded, expected);
    EXPECT_EQ(expected.doubleClickFolder, 3);
    EXPECT_EQ(expected.maxListCutoff, 500);
    EXPECT_EQ(expected.maxLength, 64);
    EXPECT_EQ(expected.errorChecking, 3);
}

TEST(LoadPreferences, TemplateWithoutPreferenceValuesLoadsDefaultsButKeepsAutoUpdate) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    store.WriteText(Scope::Machine, TemplateKey(5), "", "Options only");
    Preferences loaded = NothingLikeTheDefaults();
    loaded.autoUpdate = 0;
    LoadPreferences(store, 5, loaded);

    Preferences expected;
    expected.autoUpdate = 0;
    ExpectFieldsEqual(loaded, expected);
}

TEST(SavePreferences, WritesEveryFieldUnderItsNameAndLoadsBack) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    const Preferences saved = NothingLikeTheDefaults();
    SavePreferences(store, 7, saved);

    for (const StoredField& field : kStoredFields) {
        SCOPED_TRACE(field.valueName);
        EXPECT_EQ(store.ReadNumber(Scope::Machine, TemplateKey(7), field.valueName, -99),
                  saved.*field.member);
    }
    EXPECT_EQ(store.ReadNumber(Scope::Machine, TemplateKey(7), "Startup location", -99), -99);
    EXPECT_EQ(store.ReadNumber(Scope::Machine, kSettingsKey, "Startup location", -99), 4);

    Preferences loaded;
    LoadPreferences(store, 7, loaded);
    ExpectFieldsEqual(loaded, saved);
    EXPECT_EQ(loaded.startupLocation, 0);
    LoadStartupLocation(store, loaded);
    EXPECT_EQ(loaded.startupLocation, 4);
}

TEST(LoadPreferences, HoldsStoredValuesToTheirRanges) {
    struct Case {
        const char* valueName;
        std::int32_t stored;
        std::int32_t Preferences::*member;
        std::int32_t expected;
    };
    const Case cases[] = {
        {"Max list cutoff", 0, &Preferences::maxListCutoff, 1},
        {"Max list cutoff", 40000, &Preferences::maxListCutoff, 32767},
        {"Max length", -5, &Preferences::maxLength, 1},
        {"Max length", 256, &Preferences::maxLength, 255},
        {"Error checking", 9, &Preferences::errorChecking, 3},
        {"Sounds threshold", 301, &Preferences::soundsThreshold, 300},
        {"Sounds threshold", -1, &Preferences::soundsThreshold, 0},
        {"Double-click file", 3, &Preferences::doubleClickFile, 2},
        {"Double-click folder", 4, &Preferences::doubleClickFolder, 3},
        {"Hide lists", 7, &Preferences::hideLists, 1},
        {"Auto update", -2, &Preferences::autoUpdate, 0},
    };
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.valueName) + " " + std::to_string(c.stored));
        store.WriteNumber(Scope::Machine, TemplateKey(1), c.valueName, c.stored);
        Preferences loaded;
        LoadPreferences(store, 1, loaded);
        EXPECT_EQ(loaded.*c.member, c.expected);
    }
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
    struct Case {
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {"0", false},    {"40000", false}, {"", false},     {"-5", false}, {"32768", false},
        {"12abc", true}, {"1", true},      {"32767", true}, {"500", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CheckMaxListCutoff(c.text),
                  c.accepted ? "" : "Interrupt processing value must be 1 through 32767.");
    }
}

}  // namespace
}  // namespace kestrel::settings
