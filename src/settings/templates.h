#pragma once

#include <span>
#include <string>
#include <string_view>

#include "engine/rename_options.h"
#include "platform/file_system.h"
#include "settings/preferences.h"
#include "settings/settings_store.h"

// Templates: numbered, named snapshots of every rename option, the working
// folder and (optionally) the preferences, each in its own key under the
// templates key. Template 0 is the default template, loaded at start and
// saved at exit.
namespace kestrel::settings {

/// How a stored value maps onto its field, and which values the window can show.
enum class TemplateValueKind {
    Text,                // an entry field's text, as typed
    CheckBox,            // 0 or 1
    AttributeBox,        // 0, 1 or 2 (greyed)
    ListPosition,        // 0 to lastPosition in a fixed list
    AutonumberPosition,  // cboAutonumber's list position, -1 for typed digits
    AutonumberText,      // cboAutonumber's text, applied after its position
};

/// Reaches a text field of the options, for writing and for reading.
struct TextAccess {
    std::string& (*field)(engine::RenameOptions&);
    const std::string& (*constField)(const engine::RenameOptions&);
};

/// One stored value of a template. Numbers use `number` and `defaultNumber`,
/// texts `text` and `defaultText`; the autonumber position has no field of
/// its own (it is worked out from the text).
struct TemplateValue {
    std::string_view valueName = {};
    TemplateValueKind kind = TemplateValueKind::Text;
    int engine::RenameOptions::*number = nullptr;
    TextAccess text = {};
    int defaultNumber = 0;
    std::string_view defaultText = {};
    int lastPosition = 0;
    /// Written only when it differs from its default: a template that does
    /// not use the option holds exactly the values it held before the option
    /// existed.
    bool onlyWhenSet = false;
};

/// The option values of a template in the order they are written and read
/// ("Working folder" comes before them and is handled on its own).
std::span<const TemplateValue> TemplateValues();

inline constexpr std::string_view kWorkingFolderValue = "Working folder";

struct TemplateLoad {
    bool loaded = false;
    /// The folder the template names, mended to one that exists; the caller
    /// puts it into txtSourceDir and txtDestDir.
    std::string workingFolder;
    /// The stored folder was missing or gone; StoreMendedFolder records the
    /// mended one when the caller is ready to write.
    bool folderMended = false;
};

/// Applies template `number` to the options and preferences. A template other
/// than 0 without a name is not present: then nothing changes at all. Missing
/// values take the table's defaults and values the window cannot show are
/// mended. A template without a working folder opens on `factoryFolder` (the
/// user's home folder); one whose folder is gone opens on that folder's drive
/// root when the drive is another than the factory folder's, else on the
/// factory folder; a factory folder that is gone gives way to its drive root.
/// Nothing is written.
TemplateLoad LoadTemplate(SettingsStore& store, platform::FileSystem& fileSystem, int number,
                          std::string_view factoryFolder, engine::RenameOptions& options,
                          Preferences& preferences);

/// Writes a load's mended working folder back into template `number`.
void StoreMendedFolder(SettingsStore& store, int number, const TemplateLoad& load);

/// Replaces template `number` with the given state; the preferences go with it
/// only when `savePreferences` (the "save all settings" preference box) is set.
void SaveTemplate(SettingsStore& store, int number, std::string_view name,
                  const engine::RenameOptions& options, std::string_view workingFolder,
                  const Preferences& preferences, bool savePreferences);

/// True for a text cboAutonumber can show: a list entry or typed digits 0..255.
bool IsValidAutonumberText(std::string_view text);

}  // namespace kestrel::settings
