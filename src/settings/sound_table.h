#pragma once

#include <array>
#include <string>
#include <string_view>

#include "settings/settings_store.h"

// The sound files of Kestrel's two sound events. The desktop's sound settings
// choose them; Kestrel only reads them, once at start-up.
namespace kestrel::settings {

enum class SoundEvent { OperationComplete = 1, OperationCompleteWithWarnings = 2 };

inline constexpr std::array<SoundEvent, 2> kSoundEvents = {
    SoundEvent::OperationComplete, SoundEvent::OperationCompleteWithWarnings};

/// The event's name, which is also its key below the sound events key.
std::string_view SoundEventName(SoundEvent event);

struct SoundTable {
    /// Sound file paths in the order of kSoundEvents; "0" when none is chosen.
    std::array<std::string, kSoundEvents.size()> files;

    const std::string& FileFor(SoundEvent event) const {
        return files[static_cast<std::size_t>(event) - 1];
    }
};

SoundTable ReadSoundTable(const SettingsStore& store);

}  // namespace kestrel::settings
