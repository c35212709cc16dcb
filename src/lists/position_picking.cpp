#include "lists/position_picking.h"

#include <algorithm>
#include <cstdint>

#include "engine/rename_options.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

int Length(std::string_view text) {
    return static_cast<int>(text::CodePointCount(text));
}

// The length that tooltips give: a folder's mark is no character of its name.
int NameLength(std::string_view text) {
    return Length(text.ends_with('\\') ? text.substr(0, text.size() - 1) : text);
}

std::string Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string CharacterAt(std::string_view text, int position) {
    const std::u32string points = text::ToCodePoints(text);
    return text::ToUtf8(
        std::u32string_view(points).substr(static_cast<std::size_t>(position - 1), 1));
}

std::string PointToolTip(std::string_view text, int row, int mouseX, int prefix) {
    const int length = NameLength(text);
    const std::string item = std::to_string(row + 1);
    const int characters = length - prefix;
    const auto count = static_cast<std::uint64_t>(std::max(characters, 0));
    if (mouseX > length || mouseX <= prefix) {
        // English says "characters" whatever the count; a translation may
        // have forms for counts.
        // TRANSLATORS: {1} is a name in quotes, {2} its row number, {3} how
        // many characters the name has.
        return text::Fill(text::TrPlural("{1} is item {2} and is {3} characters long.",
                                         "{1} is item {2} and is {3} characters long.", count),
                          {Quoted(text), item, std::to_string(characters)});
    }
    // TRANSLATORS: {1} is one character in quotes, {2} its position in the
    // name, {3} the name's length, {4} the row number and {5} the whole name
    // in quotes.
    return text::Fill(text::Tr("{1} is position {2} of {3} in item {4}: {5}"),
                      {Quoted(CharacterAt(text, mouseX)), std::to_string(mouseX - prefix),
                       std::to_string(characters), item, Quoted(text)});
}

}  // namespace

int PointerRow(int topRow, int y, int rowHeight, int rowCount) {
    if (rowHeight <= 0 || y < 0) {
        return -1;
    }
    const int row = topRow + y / rowHeight;
    return row < rowCount ? row : -1;
}

int PointerCharacter(int x, int textLength, const std::function<int(int)>& prefixWidth) {
    int position = 1;
    while (position <= textLength && prefixWidth(position) < x) {
        ++position;
    }
    return position;
}

int PrefixLength(const ListEntry& row, const std::vector<std::string>& folderTable,
                 std::string_view sourceDir, int pathDisplay) {
    if (pathDisplay == engine::kShowFilenameOnly) {
        return 0;
    }
    const auto index = static_cast<std::size_t>(row.folderIndex - 1);
    const int folder = index < folderTable.size() ? Length(folderTable[index]) : 0;
    return pathDisplay == engine::kShowPartialPath ? folder - Length(sourceDir) : folder;
}

std::string SourceToolTip(std::string_view text, int row, int mouseX, int prefix) {
    return PointToolTip(text, row, mouseX, prefix);
}

std::string TargetToolTip(std::string_view target, std::string_view source,
                          std::string_view message, int row, int mouseX) {
    // A row that keeps its name has a message only when no new name could be made.
    if (!message.empty()) {
        return std::string(message);
    }
    if (target.empty()) {
        // TRANSLATORS: {1} is a row number, {2} the row's name in quotes.
        return text::Fill(text::Tr("Item {1} remains {2}"),
                          {std::to_string(row + 1), Quoted(source)});
    }
    // The new name starts after its last sub-folder; a folder's own mark at
    // the end does not count.
    const std::size_t slash = target.substr(0, target.size() - 1).rfind('\\');
    const int prefix = slash == std::string_view::npos ? 0 : Length(target.substr(0, slash + 1));
    return PointToolTip(target, row, mouseX, prefix);
}

std::string ParentFolder(std::string_view folder) {
    if (folder.empty()) {
        return {};
    }
    const std::string_view withoutMark = folder.substr(0, folder.size() - 1);
    const std::size_t slash = withoutMark.rfind('\\');
    // A backslash at position 1 or 2 belongs to no folder above a drive root.
    if (slash == std::string_view::npos || slash + 1 <= 2) {
        return {};
    }
    return std::string(withoutMark.substr(0, slash + 1));
}

ListCommand RightClickCommand(bool sourceList, bool shift, bool control, bool alt) {
    if (!shift) {
        if (control == alt) {
            return control ? ListCommand::None : ListCommand::Menu;
        }
        return control ? ListCommand::CropStart : ListCommand::CropEnd;
    }
    // Every gesture with Shift acts on the file, which only the source list has.
    if (!sourceList) {
        return ListCommand::None;
    }
    if (control && alt) {
        return ListCommand::Delete;
    }
    if (control) {
        return ListCommand::ChangeDirectory;
    }
    return alt ? ListCommand::RenameSingle : ListCommand::OpenEntry;
}

MenuStates MenuStatesAt(const MenuPlace& place) {
    MenuStates states;
    if (place.rowText == nullptr) {
        states.back = place.parentExists;
        return states;
    }
    const std::string& text = *place.rowText;
    states.back = place.backAsSet;
    states.changeDir = place.sourceList && text.ends_with('\\');
    // A target row without a new name has nothing to point into or copy.
    states.rowCommands = place.sourceList || !text.empty();
    states.paste = place.sourceList && place.clipboardHasText;
    return states;
}

}  // namespace kestrel::lists
