#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "lists/list_entry.h"

// Turning a pointer over either list into a row and a character of its name,
// what the lists' tooltips say about that spot, and which commands the
// right-click gestures and menus offer there. Plain arithmetic on texts and
// pixels: the window measures, these decide.
namespace kestrel::lists {

/// MouseY: the row under a pointer `y` pixels below the list's top edge, or
/// -1 below the last row.
int PointerRow(int topRow, int y, int rowHeight, int rowCount);

/// MouseX: 1-based, the first n from 1 whose first n characters are at least
/// `x` pixels wide, and at most `textLength` + 1 (right of the text).
/// `prefixWidth(n)` is the width of the first n characters.
int PointerCharacter(int x, int textLength, const std::function<int(int)>& prefixWidth);

/// How many leading characters of a source row name its folder, by the path
/// display mode (engine::PathDisplay).
int PrefixLength(const ListEntry& row, const std::vector<std::string>& folderTable,
                 std::string_view sourceDir, int pathDisplay);

/// The tooltip over source row `row` (0-based) with the pointer at `mouseX`.
std::string SourceToolTip(std::string_view text, int row, int mouseX, int prefix);
/// The tooltip over target row `row`; `message` is the row's check message,
/// or why a row that keeps its name got none.
std::string TargetToolTip(std::string_view target, std::string_view source,
                          std::string_view message, int row, int mouseX);

/// The working folder's parent, where "Back up one level" goes; empty when the
/// folder is a drive root or has no parent.
std::string ParentFolder(std::string_view folder);

/// What a right-click (or a menu item of the same name) asks for.
enum class ListCommand {
    None,
    Menu,
    OpenEntry,
    CropStart,
    CropEnd,
    ChangeDirectory,
    RenameSingle,
    Delete,
};

/// The command of a right-click with these keys held, on the source list or
/// the target list.
ListCommand RightClickCommand(bool sourceList, bool shift, bool control, bool alt);

/// The commands of a menu that can be used where it opened.
struct MenuStates {
    bool back = false;         // "Back up one level"
    bool changeDir = false;    // "Change to this directory": a folder row only
    bool rowCommands = false;  // positions, single items, copying
    bool paste = false;        // "Paste name": text on the clipboard
};

struct MenuPlace {
    bool sourceList = true;
    /// The row's text in the list the menu opened on; null below the last row.
    const std::string* rowText = nullptr;
    bool clipboardHasText = false;
    /// The Back state that the last change of the folder box set.
    bool backAsSet = false;
    /// Below the last row: whether the working folder has a parent to go to.
    bool parentExists = false;
};

MenuStates MenuStatesAt(const MenuPlace& place);

}  // namespace kestrel::lists
