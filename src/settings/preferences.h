#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

// The program-wide preferences: how Kestrel refreshes, limits and checks its
// work, when it plays sounds, what double-clicks do and where the main window
// opens. Stored with a template, in the template's key; only the start
// location lives in the settings key.
namespace kestrel::settings {

struct Preferences {
    std::int32_t autoUpdate = 0;
    std::int32_t saveSettings = 1;
    /// 0 rename single entry, 1 delete the file, 2 open with its default program.
    std::int32_t doubleClickFile = 0;
    /// 0 rename single entry, 1 delete if empty, 2 explore, 3 change to that folder.
    std::int32_t doubleClickFolder = 3;
    std::int32_t autoRefresh = 1;
    std::int32_t autoResetOptions = 1;
    std::int32_t hideLists = 1;
    std::int32_t maxList = 0;
    std::int32_t maxListCutoff = 500;
    std::int32_t maxLengthCheck = 0;
    std::int32_t maxLength = 64;
    std::int32_t errorChecking = 3;
    std::int32_t soundsMuted = 0;
    /// Seconds of processing before a completion sound plays; 0 always plays.
    std::int32_t soundsThreshold = 1;
    /// 0 last saved position, 1 centre, 2 upper-left, 3 lower-right, 4 lower-left,
    /// 5 upper-right.
    std::int32_t startupLocation = 0;
    /// A text field's change previews at once, not only when the field is left.
    std::int32_t previewWhileTyping = 1;
    /// How paths are shown: 0 as this computer writes them, 1 with drive letters.
    std::int32_t pathStyle = 0;

    bool operator==(const Preferences&) const = default;
};

inline constexpr std::int32_t kMinMaxListCutoff = 1;
inline constexpr std::int32_t kMaxMaxListCutoff = 32767;
inline constexpr std::int32_t kMinMaxLength = 1;
inline constexpr std::int32_t kMaxMaxLength = 255;
inline constexpr std::int32_t kMaxErrorChecking = 3;
inline constexpr std::int32_t kMaxSoundsThreshold = 300;

/// Reads every field but the start location from template n, each missing value
/// taking its default ("auto update" keeps its current value) and each stored
/// value limited to the field's range.
void LoadPreferences(const SettingsStore& store, int templateNumber, Preferences& preferences);

/// Writes every field but the start location and the path style to template
/// n, then those two to the settings key.
void SavePreferences(SettingsStore& store, int templateNumber, const Preferences& preferences);

/// Writes the path style at once: a machine's choice, not a template's.
void SavePathStyle(SettingsStore& store, std::int32_t pathStyle);

/// Reads the start location and the path style from the settings key (0 when
/// missing). Start-up fills the record with them, so that a later save writes
/// back what was there.
void LoadStartupLocation(const SettingsStore& store, Preferences& preferences);

// The captions and the message are in the user's language.

/// 'Treat files longer than 64 characters as an error.'
std::string MaxLengthCaption(int maxLength);
/// 'Play sounds if processing takes 30 seconds or longer.'
std::string SoundsThresholdCaption(int seconds);
/// The name of an error-checking level 0 to 3; empty for any other level.
std::string_view ErrorCheckCaption(int level);
/// The message refusing a cutoff text whose number is outside 1 to 32767;
/// empty when the text is acceptable.
std::string CheckMaxListCutoff(std::string_view text);

}  // namespace kestrel::settings
