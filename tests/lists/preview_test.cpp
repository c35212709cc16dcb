// The preview of the target list, and what pointing at its rows finds.
#include "lists/preview.h"

#include <gtest/gtest.h>

#include "engine/regex_replace.h"
#include "lists/position_picking.h"

#include "support/neutral_options.h"
#include "support/temp_drive.h"

namespace kestrel::lists {
namespace {

TEST(ExistingTargets, ReportsOnlyReadableFilesThatReallyExist) {
    support::TempDrive drive;
    drive.WriteFile("Sub\\x.txt", "");
    drive.MakeFolder("Sub\\Folder");
    ExistingTargets existing(drive.FileSystem());
    const std::string dest = support::TempDrive::Path("");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\x.txt"), "Filename already exists");
    // Listed under another letter case, but this file system tells them apart.
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\X.TXT"), "");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\Folder\\"), "");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Sub\\y.txt"), "");
    EXPECT_EQ(existing.ErrorCheck2(dest, "Missing\\x.txt"), "");
}

TEST(EntryFilename, TakesTheLeafAndKeepsAFolderMark) {
    EXPECT_EQ(EntryFilename("a.txt"), "a.txt");
    EXPECT_EQ(EntryFilename("Sub\\a.txt"), "a.txt");
    EXPECT_EQ(EntryFilename("C:\\W\\Photos\\"), "Photos\\");
}

class NoObserver : public PreviewObserver {
  public:
    void RowStarted(int, int) override {}
};

// A long list is named on two threads; whatever the options, the rows come
// out as one thread makes them, in particular when a numbered name stays as
// it was and every index after it moves.
TEST(ComputePreview, NamesMadeOnTwoThreadsAreTheNamesOfOne) {
    support::TempDrive drive;
    std::vector<ListEntry> rows;
    for (std::size_t i = 0; i < kRowsForTwoThreads + 500; ++i) {
        // Two folders, the second from row 3,000 on, with its own numbering
        // when each folder is numbered anew.
        rows.push_back({i == 0 ? "0001.jpg" : "n" + std::to_string(i) + ".jpg", i < 3000 ? 1 : 2,
                        i % 11 != 3});
    }
    const std::vector<std::string> folders = {support::TempDrive::Path(""),
                                              support::TempDrive::Path("Sub\\")};
    engine::RenameOptions inserted = support::NeutralOptions();
    inserted.chkInsertStart = 1;
    inserted.txtInsertStart = "x ";
    engine::RenameOptions numbered = support::NeutralOptions();
    numbered.chkReplaceWholeName = 1;
    numbered.cboAutonumber = "Auto";
    engine::RenameOptions numberedFromTwo = numbered;  // the first name changes too
    numberedFromTwo.txtAutonumberStartNum = "2";
    const struct {
        const char* what;
        engine::RenameOptions options;
        bool numberPerFolder;
        int renamed;
    } cases[] = {
        {"insert", inserted, false, 4178},
        {"numbered, the first name stays", numbered, false, 4177},
        {"numbered, every name changes", numberedFromTwo, false, 4178},
        {"numbered in each folder", numberedFromTwo, true, 4178},
    };
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const engine::NamePipeline pipeline(row.options, {});
        const engine::NamePipeline second(row.options, {});
        PreviewInput input{rows,           folders, folders[0], folders[0], 0,
                           {0, false, 64}, nullptr, false,      {},         row.numberPerFolder,
                           nullptr};
        NoObserver observer;
        const Preview alone = ComputePreview(drive.FileSystem(), pipeline, input, observer);
        input.secondPipeline = &second;
        const Preview shared = ComputePreview(drive.FileSystem(), pipeline, input, observer);
        EXPECT_EQ(alone.renameCounter, row.renamed);
        EXPECT_EQ(shared.renameCounter, alone.renameCounter);
        EXPECT_EQ(shared.targets, alone.targets);
        EXPECT_EQ(shared.messages, alone.messages);
    }
}

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
