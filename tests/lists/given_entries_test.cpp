#include "lists/given_entries.h"

#include <gtest/gtest.h>

#include "engine/rename_options.h"
#include "support/temp_drive.h"

namespace kestrel::lists {
namespace {

using Texts = std::vector<std::string>;

struct CountingObserver : ListingObserver {
    void EntryStarted(int) override {}
    bool ContinueAfter(int) override { return true; }
};

// A file manager's selection, listed alone: from one folder, from several,
// folders among them, and what is not there any more.
TEST(GivenEntries, ListExactlyTheEntriesSelectedWithTheFolderThatHoldsThemAll) {
    support::TempDrive drive;
    for (const char* name : {"P\\a.jpg", "P\\b.jpg", "P\\c.jpg", "P\\x\\d.jpg", "P\\y\\e.jpg",
                             "P\\y\\f.jpg", "Q\\g.txt"}) {
        drive.WriteFile(name, "");
    }
    struct Case {
        const char* what;
        Texts given;  // relative to T:\ ; a trailing backslash is a folder as typed
        int pathDisplay;
        const char* workingFolder;
        Texts rows;
        std::size_t folders;  // in the folder table
    } const cases[] = {
        {"files of one folder",
         {"P\\c.jpg", "P\\a.jpg"},
         engine::kShowFilenameOnly,
         "T:\\P\\",
         {"a.jpg", "c.jpg"},
         1},
        {"from three folders",
         {"P\\y\\e.jpg", "P\\a.jpg", "P\\x\\d.jpg"},
         engine::kShowPartialPath,
         "T:\\P\\",
         {"a.jpg", "x\\d.jpg", "y\\e.jpg"},
         3},
        {"a folder and files, named twice",
         {"P\\x\\", "P\\b.jpg", "P\\x", "P\\y\\f.jpg"},
         engine::kShowPartialPath,
         "T:\\P\\",
         {"b.jpg", "x\\", "y\\f.jpg"},
         2},
        {"across drives' trees",
         {"P\\a.jpg", "Q\\g.txt"},
         engine::kShowFullPath,
         "T:\\",
         {"T:\\P\\a.jpg", "T:\\Q\\g.txt"},
         3},
        {"gone since",
         {"P\\a.jpg", "P\\gone.jpg"},
         engine::kShowFilenameOnly,
         "T:\\P\\",
         {"a.jpg"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Texts paths;
        for (const std::string& relative : c.given) {
            paths.push_back(support::TempDrive::Path(relative));
        }
        const GivenEntries given = GiveEntries(paths);
        EXPECT_EQ(given.workingFolder, c.workingFolder);
        engine::RenameOptions options;
        options.cboPathDisplay = c.pathDisplay;
        options.cboFilter = engine::kViewMatching;
        options.txtFilter = "*.none";  // the filter is not for chosen entries
        CountingObserver observer;
        const SourceListing listing =
            ReadGivenEntries(drive.FileSystem(), options, given, observer);
        Texts rows;
        for (const ListEntry& row : listing.rows) {
            rows.push_back(row.text);
            EXPECT_TRUE(row.selected) << row.text;
            ASSERT_GE(row.folderIndex, 1);
            const std::string& folder = listing.folderTable[row.folderIndex - 1];
            EXPECT_TRUE(drive.FileSystem().Exists(
                folder +
                std::string(row.text.substr(row.text.rfind('\\', row.text.size() - 2) + 1))))
                << row.text << " in " << folder;
        }
        EXPECT_EQ(rows, c.rows);
        EXPECT_EQ(listing.folderTable.size(), c.folders);
        EXPECT_EQ(listing.folderTable.front(), c.workingFolder);
    }
}

// After a commit, F5 lists the same entries under their new names; an
// undo brings the old names back; an entry moved out of the tree goes.
TEST(GivenEntries, FollowTheirEntriesToTheirNewPaths) {
    GivenEntries given =
        GiveEntries({"T:\\P\\a.jpg", "T:\\P\\x\\d.jpg", "T:\\P\\b.jpg", "T:\\P\\x"});
    FollowMovedEntries(given, {{"T:\\P\\a.jpg", "T:\\P\\A1.jpg"},
                               {"T:\\P\\x", "T:\\P\\X2"},
                               {"T:\\P\\b.jpg", "U:\\b.jpg"}});
    EXPECT_EQ(given.paths, (Texts{"T:\\P\\A1.jpg", "T:\\P\\X2\\d.jpg", "T:\\P\\X2"}));
    FollowMovedEntries(given, {{"T:\\P\\X2", "T:\\P\\x"}, {"T:\\P\\A1.jpg", "T:\\P\\a.jpg"}});
    EXPECT_EQ(given.paths, (Texts{"T:\\P\\a.jpg", "T:\\P\\x\\d.jpg", "T:\\P\\x"}));
    // A swap through a temporary name, and a chain of two.
    FollowMovedEntries(given, {{"T:\\P\\a.jpg", "T:\\P\\~t"},
                               {"T:\\P\\x", "T:\\P\\a.jpg"},
                               {"T:\\P\\~t", "T:\\P\\x"},
                               {"T:\\P\\x", "T:\\P\\y"}});
    EXPECT_EQ(given.paths, (Texts{"T:\\P\\y", "T:\\P\\a.jpg\\d.jpg", "T:\\P\\a.jpg"}));
}

}  // namespace
}  // namespace kestrel::lists
