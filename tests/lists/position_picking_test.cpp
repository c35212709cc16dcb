#include "lists/position_picking.h"

#include <gtest/gtest.h>

#include "engine/regex_replace.h"
#include "engine/rename_options.h"

namespace kestrel::lists {
namespace {

TEST(PositionPicking, PointerRowAndCharacterFollowTheRowsAndTheWidthOfEachPrefix) {
    // Rows 14 pixels high, characters 7 pixels wide.
    const int rows[][4] = {
        {0, 0, 3, 0}, {0, 41, 3, 2}, {0, 42, 3, -1}, {5, 14, 10, 6}, {0, -1, 3, -1}};
    for (const auto& [top, y, count, expected] : rows) {
        EXPECT_EQ(PointerRow(top, y, 14, count), expected) << y;
    }
    const auto width = [](int n) { return 7 * n; };
    const int characters[][3] = {{0, 5, 1},  {7, 5, 1},  {8, 5, 2},
                                 {35, 5, 5}, {36, 5, 6}, {500, 5, 6}};
    for (const auto& [x, length, expected] : characters) {
        EXPECT_EQ(PointerCharacter(x, length, width), expected) << x;
    }
}

TEST(PositionPicking, PrefixIsTheFolderPartTheDisplayShows) {
    const std::vector<std::string> folders = {"T:\\", "T:\\Sub\\"};
    const ListEntry row{"Sub\\abc.txt", 2, true};
    EXPECT_EQ(PrefixLength(row, folders, "T:\\", engine::kShowFilenameOnly), 0);
    EXPECT_EQ(PrefixLength(row, folders, "T:\\", engine::kShowFullPath), 7);
}

TEST(PositionPicking, ToolTipsNameTheCharacterOrTheWholeItem) {
    // Text, row, pointer position in characters, prefix length.
    const std::tuple<const char*, int, int, int, const char*> cases[] = {
        {"Photo_d.jpg", 2, 12, 0, "\"Photo_d.jpg\" is item 3 and is 11 characters long."},
        {"Sub\\abc.txt", 0, 4, 4, "\"Sub\\abc.txt\" is item 1 and is 7 characters long."},
        {"Sub\\abc.txt", 0, 5, 4, "\"a\" is position 1 of 7 in item 1: \"Sub\\abc.txt\""},
        {"Fotos\\", 1, 6, 0, "\"Fotos\\\" is item 2 and is 5 characters long."},
        {"été.txt", 0, 2, 0, "\"t\" is position 2 of 7 in item 1: \"été.txt\""},
    };
    for (const auto& [text, row, mouseX, prefix, expected] : cases) {
        EXPECT_EQ(SourceToolTip(text, row, mouseX, prefix), expected);
    }
    EXPECT_EQ(TargetToolTip("a.txt", "b.txt", "Filename already exists", 0, 1),
              "Filename already exists");
    EXPECT_EQ(TargetToolTip("", "b.txt", "", 1, 1), "Item 2 remains \"b.txt\"");
    EXPECT_EQ(TargetToolTip("", "b.txt", engine::kPatternTooSlow, 1, 1), engine::kPatternTooSlow);
    EXPECT_EQ(TargetToolTip("New\\x.txt", "x.txt", "", 0, 5),
              "\"x\" is position 1 of 5 in item 1: \"New\\x.txt\"");
}

TEST(PositionPicking, RightClickGesturesByList) {
    // By key combination: Shift 4, Ctrl 2, Alt 1. Shift acts on the file, which only
    // the source list has.
    using C = ListCommand;
    const C source[] = {C::Menu,      C::CropEnd,      C::CropStart,       C::None,
                        C::OpenEntry, C::RenameSingle, C::ChangeDirectory, C::Delete};
    const C target[] = {C::Menu, C::CropEnd, C::CropStart, C::None,
                        C::None, C::None,    C::None,      C::None};
    for (int keys = 0; keys < 8; ++keys) {
        EXPECT_EQ(RightClickCommand(true, keys & 4, keys & 2, keys & 1), source[keys]) << keys;
        EXPECT_EQ(RightClickCommand(false, keys & 4, keys & 2, keys & 1), target[keys]) << keys;
    }
}

TEST(PositionPicking, MenuStatesFollowTheRowUnderThePointer) {
    const std::string folder = "Sub\\", file = "a.txt", none;
    const std::pair<MenuPlace, MenuStates> cases[] = {
        {{true, &folder, true, true, false}, {true, true, true, true}},
        {{true, &file, false, false, true}, {false, false, true, false}},
        {{true, nullptr, true, true, false}, {false, false, false, false}},
        {{true, nullptr, true, false, true}, {true, false, false, false}},
        {{false, &none, true, true, true}, {true, false, false, false}},
        {{false, &folder, true, true, true}, {true, false, true, false}},
    };
    for (const auto& [place, want] : cases) {
        const MenuStates got = MenuStatesAt(place);
        EXPECT_EQ((std::array{got.back, got.changeDir, got.rowCommands, got.paste}),
                  (std::array{want.back, want.changeDir, want.rowCommands, want.paste}))
            << "row " << &place - &cases[0].first;
    }
}

}  // namespace
}  // namespace kestrel::lists
