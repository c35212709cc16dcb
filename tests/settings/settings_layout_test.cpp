#include <string>

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
    EXPECT_EQ(TemplateKey(255), "Software\\Vantorre\\Kestrel\\Templates\\255");
}

TEST(ReadSoundTable, ReadsEachEventFromTheUserScopeAndDefaultsToZero) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    EXPECT_EQ(ReadSoundTable(store).FileFor(SoundEvent::OperationComplete), "0");

    store.WriteText(Scope::User,
                    "AppEvents\\Schemes\\Apps\\Kestrel\\Operation complete with warnings\\.Current",
                    "", "/sounds/warn.wav");
    store.WriteText(Scope::Machine,
                    "AppEvents\\Schemes\\Apps\\Kestrel\\Operation complete\\.Current", "",
                    "/sounds/wrong-scope.wav");
    const SoundTable table = ReadSoundTable(store);
    EXPECT_EQ(table.FileFor(SoundEvent::OperationComplete), "0");
    EXPECT_EQ(table.FileFor(SoundEvent::OperationCompleteWithWarnings), "/sounds/warn.wav");
}

TEST(LoadDriveTable, MapsEachLetterValueAndPassesOverMalformedOnes) {
    TempConfigFolder folder;
    SettingsStore store(folder.Path());
    const std::string drives = "Software\\Vantorre\\Kestrel\\Drives";
    store.WriteText(Scope::Machine, drives, "D:", "/media/usb");
    store.WriteText(Scope::Machine, drives, "e:", "/mnt/e");
    store.WriteText(Scope::Machine, drives, "F", "/mnt/f");
    store.WriteText(Scope::Machine, drives, "GG:", "/mnt/g");
    store.WriteText(Scope::Machine, drives, "1:", "/mnt/1");
    store.WriteNumber(Scope::Machine, drives, "H:", 5);

    platform::DriveTable table;
    LoadDriveTable(store, table);
    EXPECT_EQ(table.HostFolder('D'), "/media/usb");
    EXPECT_EQ(table.HostFolder('E'), "/mnt/e");
    EXPECT_EQ(table.HostFolder('C'), "/");
    for (const char letter : {'F', 'G', 'H'}) {
        SCOPED_TRACE(letter);
        EXPECT_FALSE(table.IsMapped(letter));
    }
}

}  // namespace
}  // namespace kestrel::settings
