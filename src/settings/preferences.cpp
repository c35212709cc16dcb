#include "settings/preferences.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "settings/key_paths.h"
#include "text/numbers.h"
#include "text/translation.h"

namespace kestrel::settings {
namespace {

struct PreferenceField {
    std::string_view valueName;
    std::int32_t Preferences::*member;
    std::int32_t minimum;
    std::int32_t maximum;
};

// Stored in this order. A template may come from another tool or an older
// copy of the program, so every value read is held to its range.
constexpr std::array<PreferenceField, 15> kTemplateFields = {{
    {"Auto update", &Preferences::autoUpdate, 0, 1},
    {"Save settings", &Preferences::saveSettings, 0, 1},
    {"Double-click file", &Preferences::doubleClickFile, 0, 2},
    {"Double-click folder", &Preferences::doubleClickFolder, 0, 3},
    {"Auto refresh", &Preferences::autoRefresh, 0, 1},
    {"Auto reset options", &Preferences::autoResetOptions, 0, 1},
    {"Hide lists", &Preferences::hideLists, 0, 1},
    {"Max list", &Preferences::maxList, 0, 1},
    {"Max list cutoff", &Preferences::maxListCutoff, kMinMaxListCutoff, kMaxMaxListCutoff},
    {"Enable max length check", &Preferences::maxLengthCheck, 0, 1},
    {"Max length", &Preferences::maxLength, kMinMaxLength, kMaxMaxLength},
    {"Error checking", &Preferences::errorChecking, 0, kMaxErrorChecking},
    {"Sounds muted", &Preferences::soundsMuted, 0, 1},
    {"Sounds threshold", &Preferences::soundsThreshold, 0, kMaxSoundsThreshold},
    {"Preview while typing", &Preferences::previewWhileTyping, 0, 1},
}};

constexpr std::string_view kStartupLocationName = "Startup location";
constexpr std::string_view kPathStyleName = "Path style";

constexpr std::array<const char*, 4> kErrorCheckLevels = {
    N_("No error checking (fastest)"),
    N_("Simple error checking"),
    N_("Normal error checking"),
    N_("Advanced error checking (recommended)"),
};

}  // namespace

void LoadPreferences(const SettingsStore& store, int templateNumber, Preferences& preferences) {
    const std::string key = TemplateKey(templateNumber);
    const Preferences defaults;
    for (const PreferenceField& field : kTemplateFields) {
        // Auto update is decided at first run, not by the template; a template
        // without it leaves the current choice alone.
        const std::int32_t fallback = field.member == &Preferences::autoUpdate
                                          ? preferences.autoUpdate
                                          : defaults.*field.member;
        const std::int32_t stored =
            store.ReadNumber(Scope::Machine, key, field.valueName, fallback);
        preferences.*field.member = std::clamp(stored, field.minimum, field.maximum);
    }
}

void SavePreferences(SettingsStore& store, int templateNumber, const Preferences& preferences) {
    const std::string key = TemplateKey(templateNumber);
    for (const PreferenceField& field : kTemplateFields) {
        store.WriteNumber(Scope::Machine, key, field.valueName, preferences.*field.member);
    }
    store.WriteNumber(Scope::Machine, kSettingsKey, kStartupLocationName,
                      preferences.startupLocation);
    store.WriteNumber(Scope::Machine, kSettingsKey, kPathStyleName, preferences.pathStyle);
}

void SavePathStyle(SettingsStore& store, std::int32_t pathStyle) {
    store.WriteNumber(Scope::Machine, kSettingsKey, kPathStyleName, pathStyle);
}

void LoadStartupLocation(const SettingsStore& store, Preferences& preferences) {
    // Kept as stored: window placement leaves the window where it is for any
    // value it does not know.
    preferences.startupLocation = store.ReadNumber(
        Scope::Machine, kSettingsKey, kStartupLocationName, Preferences{}.startupLocation);
    preferences.pathStyle = std::clamp(
        store.ReadNumber(Scope::Machine, kSettingsKey, kPathStyleName, Preferences{}.pathStyle), 0,
        1);
}

std::string MaxLengthCaption(int maxLength) {
    // TRANSLATORS: {1} is the length limit the preference sets.
    return text::Fill(text::TrPlural("Treat files longer than {1} character as an error.",
                                     "Treat files longer than {1} characters as an error.",
                                     static_cast<std::uint64_t>(std::max(maxLength, 0))),
                      {std::to_string(maxLength)});
}

std::string SoundsThresholdCaption(int seconds) {
    if (seconds == 0) {
        return text::Tr("Always play sounds when operation completes.");
    }
    // TRANSLATORS: {1} is how many seconds an operation must take before
    // its end is sounded.
    return text::Fill(text::TrPlural("Play sounds if processing takes {1} second or longer.",
                                     "Play sounds if processing takes {1} seconds or longer.",
                                     static_cast<std::uint64_t>(std::max(seconds, 0))),
                      {std::to_string(seconds)});
}

std::string_view ErrorCheckCaption(int level) {
    if (level < 0 || level >= static_cast<int>(kErrorCheckLevels.size())) {
        return {};
    }
    return text::Tr(kErrorCheckLevels[static_cast<std::size_t>(level)]);
}

std::string CheckMaxListCutoff(std::string_view text) {
    const std::int64_t cutoff = text::WholeNumber(text);
    if (cutoff < kMinMaxListCutoff || cutoff > kMaxMaxListCutoff) {
        return text::Tr("Interrupt processing value must be 1 through 32767.");
    }
    return {};
}

}  // namespace kestrel::settings
