#include "settings/sound_table.h"

#include "settings/key_paths.h"

namespace kestrel::settings {

std::string_view SoundEventName(SoundEvent event) {
    switch (event) {
        case SoundEvent::OperationComplete:
            return "Operation complete";
        case SoundEvent::OperationCompleteWithWarnings:
            return "Operation complete with warnings";
    }
    return {};
}

SoundTable ReadSoundTable(const SettingsStore& store) {
    SoundTable table;
    for (std::size_t i = 0; i < kSoundEvents.size(); ++i) {
        std::string key(kSoundEventsKey);
        key += '\\';
        key += SoundEventName(kSoundEvents[i]);
        key += "\\.Current";
        table.files[i] = store.ReadText(Scope::User, key, "", "0");
    }
    return table;
}

}  // namespace kestrel::settings
