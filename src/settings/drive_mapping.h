#pragma once

#include "platform/drive_table.h"
#include "settings/settings_store.h"

namespace kestrel::settings {

/// Adds the drive letters configured in the machine scope's drives key (value
/// "D:" with data "/media/usb") to the table. Values whose name is not a letter
/// and a colon, or whose data is not an absolute folder, are passed over.
void LoadDriveTable(const SettingsStore& store, platform::DriveTable& table);

}  // namespace kestrel::settings
