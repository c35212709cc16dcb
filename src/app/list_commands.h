#pragma once

#include <string>
#include <string_view>

#include "lists/position_picking.h"
#include "platform/desktop_opener.h"
#include "settings/preferences.h"

// The commands of the two lists' right-click menus and gestures: pointing at
// a character to set a crop, an insert position or a mark, copying and
// pasting names, and the single-item commands on the row under the pointer.
// They write the Workspace's options and files; the window only measures the
// pointer and carries out what each command says must follow.
namespace kestrel::app {

class Workspace;

enum class PositionCommand {
    CropStart,
    CropEnd,
    PastePosition,  // the crop/move paste mark "*"
    InsertText,
    Autonumber,        // the autonumber mark "?"
    SmartFolderSplit,  // "\"
    SmartFolderMark,   // "/"
};

/// What the window does once a command has run.
enum class Follow {
    Nothing,
    Preview,              // recompute the preview
    Listing,              // read the working folder again
    FocusInsertPosition,  // the insert position was refused: its field keeps the focus
};

/// The command a double-click on a file or folder row runs, by the preferences.
lists::ListCommand DoubleClickCommand(const settings::Preferences& preferences, bool folder);

/// How many characters of a source row, as shown, come before the entry's own
/// name (its folder part in the partial and full path displays).
int ShownPrefixLength(const Workspace& workspace, const lists::ListEntry& row);

class ListCommands {
  public:
    explicit ListCommands(Workspace& workspace) : workspace_(workspace) {}

    /// MouseX, MouseY: the character (1-based) and row (0-based, -1 below the
    /// last row) under the pointer in the list last pointed at.
    int mouseX = 0;
    int mouseY = -1;

    bool OverRow() const;
    /// The position in the entry's own name: MouseX less the row's folder part.
    int NamePosition() const;

    Follow RunPositionCommand(PositionCommand command);

    /// The text "Copy name" and "Copy full path" put on the clipboard, for the
    /// source row or its new name in the target list.
    std::string CopyName(bool target) const;
    std::string CopyFullPath(bool target) const;
    /// Asks, then renames the entry to the clipboard's text.
    Follow PasteName(std::string_view clipboard);

    /// Makes a folder row the working folder when it exists, and the target
    /// folder too while the folders are `locked`.
    Follow ChangeToDirectory(bool locked);
    /// The single-item commands on the row under the pointer.
    Follow Delete();
    void Open(platform::DesktopOpener& opener);

  private:
    Follow ValidateInsertPosition();

    Workspace& workspace_;
};

}  // namespace kestrel::app
