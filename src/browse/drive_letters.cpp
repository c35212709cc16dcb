#include "browse/drive_letters.h"

#include <cctype>

#include "settings/key_paths.h"
#include "text/translation.h"

namespace kestrel::browse {
namespace {

std::string ValueName(char letter) {
    return {static_cast<char>(std::toupper(static_cast<unsigned char>(letter))), ':'};
}

}  // namespace

std::vector<DriveItem> ListDrives(const platform::DriveTable& drives) {
    std::vector<DriveItem> items;
    for (char letter = 'A'; letter <= 'Z'; ++letter) {
        if (auto folder = drives.HostFolder(letter)) {
            items.push_back({letter, std::move(*folder)});
        }
    }
    return items;
}

std::vector<char> FreeDriveLetters(const platform::DriveTable& drives) {
    std::vector<char> letters;
    for (const char letter : std::string_view("DEFGHIJKLMNOPQRSTUVWXYZAB")) {
        if (!drives.IsMapped(letter)) {
            letters.push_back(letter);
        }
    }
    return letters;
}

std::string MapDrive(platform::FileSystem& fileSystem, platform::DriveTable& drives,
                     settings::SettingsStore* store, char letter, std::string_view hostFolder) {
    const std::string name = ValueName(letter);
    if (drives.IsMapped(letter)) {
        // TRANSLATORS: {1} is a drive letter with its colon ("D:").
        return text::Fill(text::Tr("Drive {1} is already in use."), {name});
    }
    // Host paths pass through the file layer as they are, so the folder can
    // be checked before any letter stands for it.
    const std::string folder(hostFolder);
    const bool hostPath = folder.starts_with('/') || folder.starts_with('~');
    if (!hostPath) {
        // A letter stands for a folder of this computer, not for another letter.
        // TRANSLATORS: {1} is the folder as the user typed it.
        return text::Fill(text::Tr("A drive letter stands for a folder of this computer: write it "
                                   "the way this computer does, starting with / (for example "
                                   "/media/usb), not {1}."),
                          {folder});
    }
    if (!fileSystem.IsFolder(folder) || !drives.Map(letter, folder)) {
        // TRANSLATORS: {1} is the folder as the user typed it.
        return text::Fill(text::Tr("The folder {1} is not there."), {folder});
    }
    if (store != nullptr) {
        store->WriteText(settings::Scope::Machine, settings::kDrivesKey, name,
                         *drives.HostFolder(letter));
    }
    return {};
}

bool DisconnectDrive(platform::DriveTable& drives, settings::SettingsStore* store, char letter) {
    const std::string name = ValueName(letter);
    if (name == "C:" || !drives.IsMapped(letter)) {
        return false;
    }
    drives.Unmap(letter);
    if (store != nullptr) {
        store->DeleteValue(settings::Scope::Machine, settings::kDrivesKey, name);
    }
    return true;
}

}  // namespace kestrel::browse
