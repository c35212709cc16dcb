#include "settings/sound_table.h"

#include "settings/key_paths.h"
#include "text/translation.h"

namespace kestrel::settings {

std::string_view SoundEventName(SoundEvent event) {
    switch (event) {
        case SoundEvent::OperationComplete:
            return N_("Operation complete");
        case SoundEvent::OperationCompleteWithWarnings:
            return N_("Operation complete with warnings");
    }
    return {};
}

std::string_view SoundEventCaption(SoundEvent event) {
    const std::string_view name = SoundEventName(event);
    return name.empty() ? name : text::Tr(name.data());
}

namespace {

std::string SoundEventKey(SoundEvent event) {
    std::string key(kSoundEventsKey);
    key += '\\';
    key += SoundEventName(event);
    key += "\\.Current";
    return key;
}

}  // namespace

SoundTable ReadSoundTable(const SettingsStore& store) {
    SoundTable table;
    for (std::size_t i = 0; i < kSoundEvents.size(); ++i) {
        table.files[i] = store.ReadText(Scope::User, SoundEventKey(kSoundEvents[i]), "", "0");
    }
    return table;
}

void WriteSoundFile(SettingsStore& store, SoundTable& table, SoundEvent event,
                    std::string_view file) {
    store.WriteText(Scope::User, SoundEventKey(event), "", file);
    table.files[static_cast<std::size_t>(event) - 1] = file;
}

bool HasSoundFile(std::string_view entry) {
    return !entry.empty() && entry != "0";
}

std::string_view ThemeSoundName(SoundEvent event) {
    return event == SoundEvent::OperationCompleteWithWarnings ? "dialog-warning" : "complete";
}

}  // namespace kestrel::settings
