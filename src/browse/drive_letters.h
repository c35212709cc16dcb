#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_table.h"
#include "platform/file_system.h"
#include "settings/settings_store.h"

// The drive letters a user can map: on this desktop a "network drive" is a
// letter standing for a host folder (a share the desktop has mounted, or any
// folder). A mapping lives in the drive table of the running program and in
// the machine scope's drives key, where the next run, with or without a
// window, finds it.
namespace kestrel::browse {

struct DriveItem {
    char letter = 'C';
    std::string hostFolder;
};

/// Every mapped letter with its host folder, A to Z. A letter whose folder has
/// gone stays listed: choosing it then says the drive is not available.
std::vector<DriveItem> ListDrives(const platform::DriveTable& drives);

/// The letters a new mapping may take, in the order they are offered: D to Z,
/// then A and B, which stood for floppy drives and are offered last.
std::vector<char> FreeDriveLetters(const platform::DriveTable& drives);

/// Maps `letter` to the host folder `hostFolder` ("~/" allowed) in the table
/// and, when there is a store, in the drives key. Returns the message to show,
/// in the user's language, when the mapping is refused (the letter is taken or
/// the folder is not there), empty when done.
std::string MapDrive(platform::FileSystem& fileSystem, platform::DriveTable& drives,
                     settings::SettingsStore* store, char letter, std::string_view hostFolder);

/// Removes the mapping of `letter` from the table and the drives key. C: is the
/// program's own drive and is never removed; false for it.
bool DisconnectDrive(platform::DriveTable& drives, settings::SettingsStore* store, char letter);

}  // namespace kestrel::browse
