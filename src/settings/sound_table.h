#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

// The sound files of Kestrel's two sound events, in the user scope of the
// store. They are read once at start-up; Kestrel's Sounds window changes the
// stored value and the table in memory together.
namespace kestrel::settings {

enum class SoundEvent { OperationComplete = 1, OperationCompleteWithWarnings = 2 };

inline constexpr std::array<SoundEvent, 2> kSoundEvents = {
    SoundEvent::OperationComplete, SoundEvent::OperationCompleteWithWarnings};

/// The event's name, which is also its key below the sound events key: in
/// English whatever the user's language.
std::string_view SoundEventName(SoundEvent event);
/// The event's name as the Sounds window shows it, in the user's language.
std::string_view SoundEventCaption(SoundEvent event);

struct SoundTable {
    /// Sound file paths in the order of kSoundEvents; "0" when none is chosen.
    std::array<std::string, kSoundEvents.size()> files;

    const std::string& FileFor(SoundEvent event) const {
        return files[static_cast<std::size_t>(event) - 1];
    }
};

SoundTable ReadSoundTable(const SettingsStore& store);

/// Stores `file` as the event's sound (an empty text for none) and puts it into
/// the table.
void WriteSoundFile(SettingsStore& store, SoundTable& table, SoundEvent event,
                    std::string_view file);

/// True when a table entry names a sound file rather than none ("0" or empty).
bool HasSoundFile(std::string_view entry);

/// The freedesktop sound theme's name for the event's sound.
std::string_view ThemeSoundName(SoundEvent event);

}  // namespace kestrel::settings
