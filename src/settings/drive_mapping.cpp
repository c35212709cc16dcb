#include "settings/drive_mapping.h"

#include <string>
#include <string_view>
#include <utility>

#include "settings/key_paths.h"

namespace kestrel::settings {
namespace {

bool IsDriveName(std::string_view name) {
    if (name.size() != 2 || name[1] != ':') {
        return false;
    }
    const char letter = name[0];
    return (letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z');
}

}  // namespace

void LoadDriveTable(const SettingsStore& store, platform::DriveTable& table) {
    for (const std::string& name : store.ListValueNames(Scope::Machine, kDrivesKey)) {
        if (!IsDriveName(name)) {
            continue;
        }
        std::string folder = store.ReadText(Scope::Machine, kDrivesKey, name);
        if (!folder.empty()) {
            table.Map(name[0], std::move(folder));
        }
    }
}

}  // namespace kestrel::settings
