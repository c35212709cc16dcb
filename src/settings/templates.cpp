#include "settings/templates.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <utility>

#include "platform/path_tools.h"
#include "settings/key_paths.h"
#include "text/program_path.h"
#include "text/unicode_text.h"

namespace kestrel::settings {
namespace {

using engine::RenameOptions;
using Kind = TemplateValueKind;

template <std::string RenameOptions::*Member>
constexpr TextAccess Field() {
    return {[](RenameOptions& options) -> std::string& { return options.*Member; },
            [](const RenameOptions& options) -> const std::string& { return options.*Member; }};
}

template <std::size_t Index>
constexpr TextAccess SwapArea() {
    return {[](RenameOptions& options) -> std::string& { return options.txtSwapArea[Index]; },
            [](const RenameOptions& options) -> const std::string& {
                return options.txtSwapArea[Index];
            }};
}

constexpr TemplateValue Text(std::string_view name, TextAccess access, std::string_view dflt) {
    return {.valueName = name, .kind = Kind::Text, .text = access, .defaultText = dflt};
}

constexpr TemplateValue Check(std::string_view name, int RenameOptions::*member, int dflt) {
    return {.valueName = name, .kind = Kind::CheckBox, .number = member, .defaultNumber = dflt};
}

constexpr TemplateValue Attribute(std::string_view name, int RenameOptions::*member) {
    return {.valueName = name,
            .kind = Kind::AttributeBox,
            .number = member,
            .defaultNumber = engine::kAttributeDontCare};
}

constexpr TemplateValue Position(std::string_view name, int RenameOptions::*member, int dflt,
                                 int lastPosition) {
    return {.valueName = name,
            .kind = Kind::ListPosition,
            .number = member,
            .defaultNumber = dflt,
            .lastPosition = lastPosition};
}

// Value names are the storage format shared with every template already
// written: a renamed one would silently drop that setting from them all.
constexpr TemplateValue Unless(TemplateValue value) {
    value.onlyWhenSet = true;
    return value;
}

constexpr std::array<TemplateValue, 58> kTemplateValues = {{
    Position("Path display", &RenameOptions::cboPathDisplay, 0, 2),
    Position("View filter option", &RenameOptions::cboFilter, 2, 3),
    Position("View filter files/folders", &RenameOptions::cboFilesFolders, 0, 2),
    Text("View filter text", Field<&RenameOptions::txtFilter>(), "*.*"),
    Attribute("View attribute: System", &RenameOptions::chkSbit),
    Attribute("View attribute: Hidden", &RenameOptions::chkHbit),
    Attribute("View attribute: Read-Only", &RenameOptions::chkRbit),
    Attribute("View attribute: Archive", &RenameOptions::chkAbit),
    Check("Replace entire filename", &RenameOptions::chkReplaceWholeName, 0),
    Check("Include extension", &RenameOptions::chkExtIncluded, 1),
    Check("Periods are characters", &RenameOptions::chkNoExt, 0),
    Check("Force single spaces", &RenameOptions::chkForceSingleSpaces, 1),
    Check("Copy", &RenameOptions::chkCopy, 0),
    Check("Recurse", &RenameOptions::chkRecurse, 0),
    Check("Change all extensions", &RenameOptions::chkChangeExt, 0),
    // Empty here, unlike the factory default: a template without the value
    // never asked for an extension.
    Text("Change all extensions to", Field<&RenameOptions::txtChangeExt>(), ""),
    Check("Swap text", &RenameOptions::chkSwapSep, 0),
    Text("Swap area 1", SwapArea<0>(), "1"),
    Text("Swap area 2", SwapArea<1>(), "2"),
    Text("Swap separator", Field<&RenameOptions::txtSwapSep>(), " - "),
    Check("PathSplice", &RenameOptions::chkPathSplice, 0),
    Text("PathSplice Levels", Field<&RenameOptions::txtPathSpliceLevels>(), "1"),
    Text("PathSplice separator", Field<&RenameOptions::txtPathSpliceSeparator>(), " - "),
    Check("Crop", &RenameOptions::chkCrop, 0),
    Text("Crop characters", Field<&RenameOptions::txtEliminateChars>(), "1"),
    Text("Crop position", Field<&RenameOptions::txtEliminatePosition>(), "1"),
    Position("Crop left/right", &RenameOptions::cboCropLR, 0, 1),
    Check("Search and Replace", &RenameOptions::chkSearchReplace, 0),
    Text("Search for", Field<&RenameOptions::txtSearch>(), ""),
    Text("Replace with", Field<&RenameOptions::txtReplace>(), ""),
    Check("Case sensitive search", &RenameOptions::chkCaseSensitive, 0),
    Check("Replace only first", &RenameOptions::chkFirstOccur, 0),
    // Absent from every template written before it existed: those read 0, a
    // plain search, and preview as they always did.
    Check("Regular expression", &RenameOptions::chkRegex, 0),
    Check("Underscore", &RenameOptions::chkUnderscore, 1),
    Check("%20", &RenameOptions::chkPercent20, 1),
    Check("User preset", &RenameOptions::chkWildcard, 0),
    Text("Single character search", Field<&RenameOptions::txtSearchChar>(), ""),
    Text("Single character replace", Field<&RenameOptions::txtReplaceChar>(), ""),
    Check("Insert text start", &RenameOptions::chkInsertStart, 0),
    Text("Insert text start text", Field<&RenameOptions::txtInsertStart>(), ""),
    Check("Insert text middle", &RenameOptions::chkInsertMiddle, 0),
    Text("Insert text middle position", Field<&RenameOptions::txtInsertMiddlePosition>(), "2"),
    Text("Insert text middle text", Field<&RenameOptions::txtInsertMiddle>(), ""),
    Check("Insert text end", &RenameOptions::chkInsertEnd, 0),
    Text("Insert text end text", Field<&RenameOptions::txtInsertEnd>(), ""),
    {.valueName = "Autonumber", .kind = Kind::AutonumberPosition, .defaultNumber = 0},
    {.valueName = "Autonumber text",
     .kind = Kind::AutonumberText,
     .text = Field<&RenameOptions::cboAutonumber>(),
     .defaultText = "Off"},
    Text("Autonumber count", Field<&RenameOptions::txtAutonumberStartNum>(), "1"),
    Text("Autonumber step", Field<&RenameOptions::txtAutonumberStep>(), "1"),
    Check("UNL", &RenameOptions::chkUNL, 0),
    Position("UNL left/right", &RenameOptions::cboUNLLR, 0, 1),
    Text("UNL digits", Field<&RenameOptions::txtUNL>(), "4"),
    Position("Case Handling", &RenameOptions::cboCaseHandling, 1, 7),
    Position("Case Rules", &RenameOptions::cboCaseRules, 1, 3),
    Position("TextFX", &RenameOptions::cboTextFX, 0, 3),
    // The list's order and numbering per folder: absent from every template
    // that keeps the factory order, so such templates stay as they were.
    Unless(Position("Sort order", &RenameOptions::cboSort, engine::kSortByName, 4)),
    Unless(Check("Sort descending", &RenameOptions::chkSortDescending, 0)),
    Unless(Check("Restart numbering in each folder", &RenameOptions::chkNumberPerFolder, 0)),
}};

constexpr int kMaxTypedAutonumberDigits = 255;

// 'X:\' from the start of a path, or empty when the path does not start with
// a drive root (a damaged value must not be taken for a folder on some drive).
std::string DriveRoot(std::string_view path) {
    const bool isRoot =
        path.size() >= 3 &&
        ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
        path[1] == ':' && path[2] == '\\';
    return isRoot ? std::string(path.substr(0, 3)) : std::string();
}

// The folder a template opens on when its own is missing or gone. The drive
// root of a stored folder that is gone is taken only on another drive than
// the factory folder's: on the factory folder's drive (the root of the whole
// file system, for the home folder) the factory folder is nearer to what the
// user had, and a root with every row selected invites renaming system files.
std::string MendWorkingFolder(platform::FileSystem& fileSystem, std::string_view stored,
                              std::string_view factoryFolder) {
    std::string factoryRoot = DriveRoot(factoryFolder);
    if (factoryRoot.empty()) {
        // C: is always mapped, so the program still opens on a real folder.
        factoryRoot = "C:\\";
    }
    const std::string factory =
        factoryFolder.empty() || !platform::PathExists(fileSystem, factoryFolder)
            ? factoryRoot
            : text::AddTrailingBackslash(factoryFolder);
    const std::string folder = text::AddTrailingBackslash(stored);
    if (folder == "\\") {
        return factory;
    }
    if (platform::PathExists(fileSystem, folder)) {
        return folder;
    }
    const std::string ownRoot = DriveRoot(folder);
    if (!ownRoot.empty() && !text::EqualIgnoringCase(ownRoot, factoryRoot) &&
        platform::PathExists(fileSystem, ownRoot)) {
        return ownRoot;
    }
    return factory;
}

// A stored number the window cannot show becomes the nearest it can (list
// positions) or the default (check states, where no state is "nearer").
int MendNumber(const TemplateValue& value, int stored) {
    switch (value.kind) {
        case Kind::CheckBox:
            return stored == 0 || stored == 1 ? stored : value.defaultNumber;
        case Kind::AttributeBox:
            return stored >= 0 && stored <= 2 ? stored : value.defaultNumber;
        case Kind::ListPosition:
            return std::clamp(stored, 0, value.lastPosition);
        default:
            return stored;
    }
}

std::string AutonumberTextFor(const std::string& stored, int storedPosition) {
    if (IsValidAutonumberText(stored)) {
        return stored;
    }
    const bool positionValid =
        storedPosition >= 0 && storedPosition < static_cast<int>(engine::kAutonumberChoices.size());
    return std::string(positionValid ? engine::kAutonumberChoices[storedPosition]
                                     : engine::kAutonumberChoices[0]);
}

void ReadOptionValues(const SettingsStore& store, const std::string& key, RenameOptions& options) {
    int autonumberPosition = 0;
    for (const TemplateValue& value : kTemplateValues) {
        switch (value.kind) {
            case Kind::Text: {
                std::string stored =
                    store.ReadText(Scope::Machine, key, value.valueName, value.defaultText);
                // Bytes that are not UTF-8 would reach every text function of
                // the program; the default is the only text known to be sound.
                value.text.field(options) =
                    text::IsValidUtf8(stored) ? std::move(stored) : std::string(value.defaultText);
                break;
            }
            case Kind::AutonumberPosition:
                autonumberPosition =
                    store.ReadNumber(Scope::Machine, key, value.valueName, value.defaultNumber);
                break;
            case Kind::AutonumberText:
                value.text.field(options) = AutonumberTextFor(
                    store.ReadText(Scope::Machine, key, value.valueName, value.defaultText),
                    autonumberPosition);
                break;
            default:
                options.*value.number = MendNumber(
                    value,
                    store.ReadNumber(Scope::Machine, key, value.valueName, value.defaultNumber));
                break;
        }
    }
    // A hand-edited template may hold texts no entry field could.
    engine::CapOptionTexts(options);
    // The path display is fixed to the full path while the path splice is on;
    // a hand-edited template could hold another position the window would show
    // disabled and wrong.
    if (options.chkPathSplice == 1) {
        options.cboPathDisplay = engine::kShowFullPath;
    }
}

void WriteOptionValue(SettingsStore& store, const std::string& key, const TemplateValue& value,
                      const RenameOptions& options) {
    switch (value.kind) {
        case Kind::Text:
        case Kind::AutonumberText:
            store.WriteText(Scope::Machine, key, value.valueName, value.text.constField(options));
            break;
        case Kind::AutonumberPosition:
            store.WriteNumber(Scope::Machine, key, value.valueName,
                              engine::AutonumberListIndex(options.cboAutonumber));
            break;
        default:
            if (!value.onlyWhenSet || options.*value.number != value.defaultNumber) {
                store.WriteNumber(Scope::Machine, key, value.valueName, options.*value.number);
            }
            break;
    }
}

bool IsTemplateNumber(int number) {
    return number >= kFirstTemplateNumber && number <= kLastTemplateNumber;
}

}  // namespace

std::span<const TemplateValue> TemplateValues() {
    return kTemplateValues;
}

bool IsValidAutonumberText(std::string_view text) {
    if (engine::AutonumberListIndex(text) >= 0) {
        return true;
    }
    if (text.empty()) {
        return false;
    }
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + (c - '0');
        if (value > kMaxTypedAutonumberDigits) {
            return false;
        }
    }
    return true;
}

TemplateLoad LoadTemplate(SettingsStore& store, platform::FileSystem& fileSystem, int number,
                          std::string_view factoryFolder, engine::RenameOptions& options,
                          Preferences& preferences) {
    if (!IsTemplateNumber(number)) {
        return {};
    }
    const std::string key = TemplateKey(number);
    TemplateLoad result;
    std::string storedFolder;
    // One snapshot: another copy saving this template at the same moment is
    // seen before or after its save, never halfway.
    store.ReadSnapshot(Scope::Machine, [&] {
        // Template 0 always loads, on the table's defaults when its key is
        // gone, so that start-up and "Reset Options" always reach a known state.
        if (number != 0 && store.ReadText(Scope::Machine, key, "").empty()) {
            return;
        }
        result.loaded = true;
        storedFolder = store.ReadText(Scope::Machine, key, kWorkingFolderValue);
        ReadOptionValues(store, key, options);
        LoadPreferences(store, number, preferences);
    });
    if (!result.loaded) {
        return result;
    }
    result.workingFolder = MendWorkingFolder(fileSystem, storedFolder, factoryFolder);
    result.folderMended = result.workingFolder != storedFolder;
    return result;
}

void StoreMendedFolder(SettingsStore& store, int number, const TemplateLoad& load) {
    if (load.loaded && load.folderMended && IsTemplateNumber(number)) {
        store.WriteText(Scope::Machine, TemplateKey(number), kWorkingFolderValue,
                        load.workingFolder);
    }
}

void SaveTemplate(SettingsStore& store, int number, std::string_view name,
                  const engine::RenameOptions& options, std::string_view workingFolder,
                  const Preferences& preferences, bool savePreferences) {
    if (!IsTemplateNumber(number)) {
        return;
    }
    const std::string key = TemplateKey(number);
    // One transaction, so that another copy never loads half a template.
    store.WriteBatch(Scope::Machine, [&] {
        // Start from an empty key so that no value of an older template survives.
        store.DeleteKey(Scope::Machine, key);
        store.WriteText(Scope::Machine, key, "", name);
        store.WriteText(Scope::Machine, key, kWorkingFolderValue, workingFolder);
        for (const TemplateValue& value : kTemplateValues) {
            WriteOptionValue(store, key, value, options);
        }
        if (savePreferences) {
            SavePreferences(store, number, preferences);
        }
    });
}

}  // namespace kestrel::settings
