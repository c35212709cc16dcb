#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "platform/drive_table.h"
#include "settings/drive_mapping.h"
#include "settings/key_paths.h"
#include "settings/settings_store.h"
#include "settings/sound_table.h"
#include "settings/temp_config_folder.h"

namespace kestrel::settings {
namespace {

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
