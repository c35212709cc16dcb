// Listing a folder, or the entries a file manager gave: which rows, in which
// order, shown how, and which the filter selects.
#include "lists/source_listing.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "engine/rename_options.h"
#include "lists/filter_pattern.h"
#include "lists/given_entries.h"
#include "lists/list_order.h"
#include "platform/file_attributes.h"
#include "platform/posix_file_system.h"
#include "support/temp_drive.h"
#include "support/words.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

using engine::RenameOptions;
using platform::DirEntry;
using platform::FileError;
using Texts = std::vector<std::string>;
using enum engine::ListedItems;
using enum engine::PathDisplay;
using enum engine::FilterMode;

struct RecordingObserver : ListingObserver {
    void EntryStarted(int number) override { started.push_back(number); }
    bool ContinueAfter(int count) override {
        continued.push_back(count);
        return true;
    }
    std::vector<int> started, continued;
};

// A file system whose folders hold exactly the entries a test lists, in that
// order; a folder it does not know cannot be opened.
struct FakeFolders : platform::PosixFileSystem {
    struct Reader : platform::FolderReader {
        void LimitAttributes(platform::AttributeNeeds needs) override { *told = needs; }
        bool Next(DirEntry& entry) override {
            return next < entries.size() ? (entry = entries[next++], true) : false;
        }
        const FileError& Error() const override { return error; }
        std::vector<DirEntry> entries;
        std::size_t next = 0;
        platform::AttributeNeeds* told = nullptr;
        FileError error;
    };
    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view folder,
                                                       FileError& error) override {
        const auto found = folders.find(folder);
        if (found == folders.end()) {
            error = FileError::Make(platform::kPathNotFound);
            return nullptr;
        }
        auto reader = std::make_unique<Reader>();
        reader->entries = found->second, reader->told = &readersTold;
        return reader;
    }
    std::map<std::string, std::vector<DirEntry>, std::less<>> folders;
    platform::AttributeNeeds readersTold;  // the marks the last reader was asked for
};

const auto File = [](std::string name) { return DirEntry{name, platform::kAttrArchive, false}; };
const auto Folder = [](std::string name) { return DirEntry{name, platform::kAttrFolder, false}; };

// Lists T:\ with the given options; "+" marks a selected row when asked.
SourceListing List(platform::FileSystem& fileSystem, const RenameOptions& options,
                   std::string_view folder = "T:\\") {
    RecordingObserver observer;
    return ReadSourceList(fileSystem, options, folder, observer);
}
Texts TextsOf(const std::vector<ListEntry>& rows, bool marks = false) {
    Texts out;
    for (const ListEntry& row : rows) {
        out.push_back((marks && row.selected ? "+" : "") + row.text);
    }
    return out;
}
Texts TextsOf(const SourceListing& listing, bool marks = false) {
    return TextsOf(listing.rows, marks);
}
RenameOptions Options(int items, int display = kShowFilenameOnly, int recurse = 0) {
    RenameOptions options;
    options.cboFilesFolders = items, options.cboPathDisplay = display, options.chkRecurse = recurse;
    return options;
}

TEST(IsExcludedName, ComparesReservedNamesExactlyAndRejectsQuestionMarks) {
    for (const char* name : {".", "..", "pagefile.sys", "System Volume Information", "a?b.txt"}) {
        EXPECT_TRUE(IsExcludedName(name)) << name;
    }
    for (const char* name : {"PAGEFILE.SYS", "Recycled", "..a"}) {
        EXPECT_FALSE(IsExcludedName(name)) << name;
    }
}

TEST(ReadSourceList, ListsTheChosenKindAndAttributeRulesPickOnlyAmongFiles) {
    support::TempDrive drive;
    drive.WriteFiles({"a.txt", ".hidden", "pagefile.sys", "PAGEFILE.SYS"});
    drive.MakeFolder("Sub");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0600), 0);         // no archive mark
    const auto H = &RenameOptions::chkHbit, A = &RenameOptions::chkAbit;  // hidden, archive
    using enum engine::AttributeRule;
    const std::tuple<int, int RenameOptions::*, int, Texts> cases[] = {
        {kFilesOnly, H, kAttributeDontCare, {".hidden", "a.txt", "PAGEFILE.SYS", "pipe"}},
        {kFoldersOnly, H, kAttributeDontCare, {"Sub\\"}},
        {kFilesAndFolders, H, kAttributeFilter, {"a.txt", "PAGEFILE.SYS", "pipe", "Sub\\"}},
        {kFilesAndFolders, H, kAttributeSelect, {".hidden", "Sub\\"}},
        {kFilesAndFolders, A, kAttributeSelect, {".hidden", "a.txt", "PAGEFILE.SYS", "Sub\\"}},
    };
    for (const auto& [items, box, rule, expected] : cases) {
        RenameOptions options = Options(items);
        options.*box = rule;
        EXPECT_EQ(TextsOf(List(drive.FileSystem(), options)), expected) << items << " " << rule;
    }
}

TEST(ReadSourceList, WritesRowsByPathDisplayModeAndRecursion) {
    support::TempDrive drive;
    drive.WriteFile("Photos\\a.jpg", "");
    drive.WriteFile("日本.jp", "");  // fewer characters than "Photos", more bytes
    const std::tuple<int, int, Texts, const char*> cases[] = {
        {kShowFilenameOnly, 0, {"Photos\\", "日本.jp"}, "Photos"},
        {kShowFilenameOnly, 1, {"a.jpg", "Photos\\", "日本.jp"}, "Photos"},
        {kShowPartialPath, 1, {"Photos\\", "Photos\\a.jpg", "日本.jp"}, "Photos\\a.jpg"},
        {kShowFullPath,
         1,
         {"T:\\Photos\\", "T:\\Photos\\a.jpg", "T:\\日本.jp"},
         "T:\\Photos\\a.jpg"},
    };
    for (const auto& [display, recurse, expected, widest] : cases) {
        SCOPED_TRACE(testing::Message() << "display " << display << ", recurse " << recurse);
        const SourceListing listing =
            List(drive.FileSystem(), Options(kFilesAndFolders, display, recurse));
        EXPECT_EQ(TextsOf(listing), expected);
        EXPECT_EQ(listing.widestText, widest);
    }
}

TEST(ReadSourceList, RecursesBreadthFirstPastHiddenFoldersAndLinks) {
    support::TempDrive drive;
    drive.WriteFiles({"A\\B\\b.txt", ".git\\x.txt"});
    drive.MakeFolder("D");
    // A link to a parent folder would make the walk endless.
    std::filesystem::create_directory_symlink(drive.HostRoot(), drive.HostPath("A\\up"));
    RenameOptions options = Options(kFilesAndFolders, kShowPartialPath, 1);
    options.chkHbit = engine::kAttributeFilter;
    const SourceListing listing = List(drive.FileSystem(), options);
    EXPECT_EQ(TextsOf(listing),
              (Texts{".git\\", "A\\", "A\\B\\", "A\\B\\b.txt", "A\\up\\", "D\\"}));
    // The host reads A and D in either order, but both before A\B.
    ASSERT_EQ(listing.folderTable.size(), 4u);
    EXPECT_EQ(listing.folderTable[0], "T:\\");
    EXPECT_EQ(listing.folderTable[3], "T:\\A\\B\\");
    EXPECT_EQ(listing.rows[3].folderIndex, 4);
}

TEST(ReadSourceList, FilterModeDecidesWhichRowsAreListedAndSelected) {
    support::TempDrive drive;
    drive.WriteFiles({"a.txt", "B.TXT", "c.doc"});
    drive.MakeFolder("d.txt");
    // "+" before a selected row. The pattern sees the entry's own name, not the path shown.
    const std::tuple<const char*, int, Texts, int> cases[] = {
        {"*.txt", kViewAndSelectAll, {"+a.txt", "+B.TXT", "+c.doc", "+d.txt\\"}, kShowFilenameOnly},
        {"*.txt", kViewMatching, {"a.txt", "d.txt\\"}, kShowFilenameOnly},
        {"*.txt", kSelectMatching, {"+a.txt", "B.TXT", "c.doc", "+d.txt\\"}, kShowFilenameOnly},
        {"*.txt", kSelectNonMatching, {"a.txt", "+B.TXT", "+c.doc", "d.txt\\"}, kShowFilenameOnly},
        {"a*.*", kViewMatching, {"T:\\a.txt"}, kShowFullPath},
    };
    for (const auto& [pattern, mode, expected, display] : cases) {
        RenameOptions options = Options(kFilesAndFolders, display);
        options.txtFilter = pattern, options.cboFilter = mode;
        EXPECT_EQ(TextsOf(List(drive.FileSystem(), options), true), expected) << pattern << mode;
    }
}

TEST(SortRows, IgnoresCaseAndKeepsReadOrderForEqualKeys) {
    std::vector<ListEntry> rows;
    for (const char* text : {"b.txt", "A.txt", "a.txt", "é.txt", "_x", "Z.txt", "É.TXT"}) {
        rows.push_back({text, static_cast<int>(rows.size()) + 1, false});
    }
    // _x A.txt a.txt b.txt Z.txt é.txt É.TXT, then enough equal keys that an
    // unstable sort would reorder them.
    std::vector<int> expected = {5, 2, 3, 1, 6, 4, 7}, order;
    for (int i = 8; i <= 200; ++i) {
        rows.push_back({i % 2 == 0 ? "ü" : "Ü", i, false});
        expected.push_back(i);
    }
    SortRows(rows);
    for (const ListEntry& row : rows) {
        order.push_back(row.folderIndex);
    }
    EXPECT_EQ(order, expected);
}

TEST(ReadSourceList, FolderThatCannotBeReadIsPassedOverAndEveryEntryReadIsCounted) {
    FakeFolders fileSystem;
    fileSystem.folders["T:\\"] = {Folder("Locked"), Folder("Open")};
    fileSystem.folders["T:\\Open\\"] = {File("x.txt")};
    const RenameOptions options = Options(kFilesOnly, kShowPartialPath, 1);
    EXPECT_EQ(TextsOf(List(fileSystem, options)), Texts{"Open\\x.txt"});
    const SourceListing missing = List(fileSystem, options, "T:\\Missing\\");
    EXPECT_TRUE(missing.rows.empty());
    EXPECT_EQ(missing.folderTable, Texts{"T:\\Missing\\"});

    // The observer counts every entry read, excluded names too.
    fileSystem.folders["T:\\"] = {File("a"), File("pagefile.sys"), File("b")};
    RecordingObserver observer;
    EXPECT_EQ(TextsOf(ReadSourceList(fileSystem, {}, "T:\\", observer)), (Texts{"a", "b"}));
    EXPECT_EQ(observer.started, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(observer.continued, observer.started);
}

// The row cap and the observer ending a listing are shown through the workspace.
TEST(ReadSourceList, EntersNoFolderPastTheFolderCap) {
    for (const int folders : {kMaxFolders - 1, kMaxFolders}) {
        FakeFolders fileSystem;
        for (int i = 0; i < folders; ++i) {
            fileSystem.folders["T:\\"].push_back(Folder(std::to_string(i)));
        }
        const SourceListing listing = List(fileSystem, Options(kFilesOnly, kShowFilenameOnly, 1));
        EXPECT_EQ(listing.folderTable.size(), static_cast<std::size_t>(kMaxFolders));
        EXPECT_EQ(listing.folderLimitReached, folders == kMaxFolders) << folders;
    }
}

TEST(ReadSourceList, AsksOnlyForTheMarksItsRulesLookAt) {
    FakeFolders folders;
    folders.folders["T:\\"] = {File("a.txt")};
    using O = RenameOptions;
    const std::tuple<int O::*, int, bool, bool> rows[] = {
        {&O::chkHbit, engine::kAttributeDontCare, false, false},
        {&O::chkHbit, engine::kAttributeFilter, false, true},
        {&O::chkAbit, engine::kAttributeSelect, false, true},
        {&O::chkRbit, engine::kAttributeSelect, true, false},
    };
    for (const auto& [rule, state, readOnly, storedMarks] : rows) {
        RenameOptions options;
        options.*rule = state;
        List(folders, options);
        EXPECT_EQ(folders.readersTold.readOnly, readOnly);
        EXPECT_EQ(folders.readersTold.storedMarks, storedMarks);
    }
}

// Rows in reading order, split at "|"; "name:300:10" was modified at 300 and
// holds 10 bytes, which only the orders by date and by size compare.
std::vector<ListEntry> ReadRows(std::string_view read) {
    std::vector<ListEntry> rows;
    for (const std::string& given : support::Words(read, '|')) {
        const std::vector<std::string> fields = support::Words(given, ':');
        ListEntry row;
        row.text = fields[0];
        row.readOrder = static_cast<std::uint32_t>(rows.size());
        row.folderIndex = static_cast<int>(rows.size()) + 1;  // tells equal texts apart
        row.modified = fields.size() > 1 ? std::stoll(fields[1]) : 0;
        row.size = fields.size() > 2 ? std::stoull(fields[2]) : 0;
        rows.push_back(row);
    }
    return rows;
}

// The orders of the source list: what each order puts first, and that equal
// keys keep the order the entries were read in.
TEST(SortRows, EveryOrderAsATable) {
    using namespace engine;
    // What, order, descending, rows as read, and their texts sorted, split at "|".
    const std::tuple<const char*, int, bool, const char*, const char*> cases[] = {
        {"by name, digits compare as text", kSortByName, false, "IMG_2.jpg|IMG_10.jpg|img_1.jpg",
         "img_1.jpg|IMG_10.jpg|IMG_2.jpg"},
        {"numbers by value", kSortNatural, false, "IMG_2.jpg|IMG_10.jpg|img_1.jpg|IMG_100.jpg",
         "img_1.jpg|IMG_2.jpg|IMG_10.jpg|IMG_100.jpg"},
        {"leading zeros: equal values settled by the text", kSortNatural, false,
         "a1.txt|a001.txt|a01.txt|a2.txt|a0.txt|a000.txt",
         "a0.txt|a000.txt|a001.txt|a01.txt|a1.txt|a2.txt"},
        {"a number longer than any integer", kSortNatural, false,
         "x123456789012345678901234567890|x99999999999999999999|x5",
         "x5|x99999999999999999999|x123456789012345678901234567890"},
        {"digits against other characters as in the order by name", kSortNatural, false,
         "a_1|a1|a-1|a 1|a|aa", "a|a 1|a-1|a1|a_1|aa"},
        {"letters beyond ASCII fold and follow their code points", kSortNatural, false,
         "Zèbre 2|école 10|École 9|Ärger 1|zèbre 10", "Zèbre 2|zèbre 10|Ärger 1|École 9|école 10"},
        {"folders among files as by name, a folder before what is in it", kSortNatural, false,
         "Sub10\\|Sub10\\a2.jpg|Sub2\\|Sub2\\a10.jpg|Sub2\\a9.jpg|Sub3.jpg",
         "Sub2\\|Sub2\\a9.jpg|Sub2\\a10.jpg|Sub3.jpg|Sub10\\|Sub10\\a2.jpg"},
        {"by name, descending, equal names still in reading order", kSortByName, true, "b|A|B|a",
         "b|B|A|a"},
        {"by name, texts alike in their first eight bytes and shorter ones", kSortByName, false,
         "photos 2020 b|Photos 2020 a|photos|photos 2|PHOTOS 2020 A|photos 2020",
         "photos|photos 2|photos 2020|Photos 2020 a|PHOTOS 2020 A|photos 2020 b"},
        {"modified date, descending, ties still by name", kSortByModified, true,
         "c:300|b:100|a:300|d:200", "a|c|d|b"},
        {"size, a folder counts as empty", kSortBySize, false,
         "big:0:5000|Folder\\:0:0|small:0:10|same:0:10", "Folder\\|same|small|big"},
    };
    for (const auto& [what, order, descending, read, expected] : cases) {
        SCOPED_TRACE(what);
        std::vector<ListEntry> rows = ReadRows(read);
        SortRows(rows, order, descending);
        EXPECT_EQ(TextsOf(rows), support::Words(expected, '|'));
    }
}

TEST(SortRows, DateTakenComparesTheGivenDatesAndRowsWithoutOneComeFirst) {
    std::vector<ListEntry> rows = ReadRows("b.jpg|a.jpg|c.mov|d.txt");
    const std::vector<std::string> taken = {"2001-02-03 10:00:00", "2001-02-03 09:59:59",
                                            "1999-12-31 23:00:00", ""};
    const std::vector<std::uint32_t> from = SortRows(rows, engine::kSortByTaken, false, taken);
    EXPECT_EQ(TextsOf(rows), (Texts{"d.txt", "c.mov", "a.jpg", "b.jpg"}));
    EXPECT_EQ(from, (std::vector<std::uint32_t>{3, 2, 1, 0}));
}

// Sorting again from any order gives what a fresh listing gives: ties are
// settled by what the rows are, not by where they stand.
TEST(SortRows, SortedAgainFromAnyOrderComesOutAsAFreshListing) {
    using namespace engine;
    for (const int order : {kSortByName, kSortNatural, kSortByModified, kSortBySize}) {
        SCOPED_TRACE(order);
        std::vector<ListEntry> fresh = ReadRows("x2:5|X2:5|x10:5|x1:9|x01:5");
        SortRows(fresh, order, false);
        for (const int before : {kSortByName, kSortNatural, kSortByModified}) {
            std::vector<ListEntry> rows = ReadRows("x2:5|X2:5|x10:5|x1:9|x01:5");
            SortRows(rows, before, true);
            SortRows(rows, order, false);
            std::vector<int> folders, freshFolders;
            for (std::size_t i = 0; i < rows.size(); ++i) {
                folders.push_back(rows[i].folderIndex);
                freshFolders.push_back(fresh[i].folderIndex);
            }
            EXPECT_EQ(folders, freshFolders) << "after " << before;
        }
    }
}

// A file manager's selection, listed alone: from one folder, from several,
// folders among them, and what is not there any more.
TEST(GivenEntries, ListExactlyTheEntriesSelectedWithTheFolderThatHoldsThemAll) {
    support::TempDrive drive;
    drive.WriteFiles({"P\\a.jpg", "P\\b.jpg", "P\\c.jpg", "P\\x\\d.jpg", "P\\y\\e.jpg",
                      "P\\y\\f.jpg", "Q\\g.txt"});
    // What is given, relative to T:\ (a trailing backslash is a folder as
    // typed), the path display, the working folder, the rows, and how many
    // folders the folder table holds.
    const std::tuple<const char*, int, const char*, const char*, std::size_t> cases[] = {
        {"P\\c.jpg P\\a.jpg", engine::kShowFilenameOnly, "T:\\P\\", "a.jpg c.jpg", 1},
        {"P\\y\\e.jpg P\\a.jpg P\\x\\d.jpg", engine::kShowPartialPath, "T:\\P\\",
         "a.jpg x\\d.jpg y\\e.jpg", 3},
        // A folder and files, named twice.
        {"P\\x\\ P\\b.jpg P\\x P\\y\\f.jpg", engine::kShowPartialPath, "T:\\P\\",
         "b.jpg x\\ y\\f.jpg", 2},
        {"P\\a.jpg Q\\g.txt", engine::kShowFullPath, "T:\\", "T:\\P\\a.jpg T:\\Q\\g.txt", 3},
        {"P\\a.jpg P\\gone.jpg", engine::kShowFilenameOnly, "T:\\P\\", "a.jpg", 1},
    };
    for (const auto& [givenText, pathDisplay, workingFolder, expectedRows, folders] : cases) {
        SCOPED_TRACE(givenText);
        Texts paths;
        for (const std::string& relative : support::Words(givenText)) {
            paths.push_back(support::TempDrive::Path(relative));
        }
        const GivenEntries given = GiveEntries(paths);
        EXPECT_EQ(given.workingFolder, workingFolder);
        engine::RenameOptions options;
        options.cboPathDisplay = pathDisplay;
        options.cboFilter = engine::kViewMatching;
        options.txtFilter = "*.none";  // the filter is not for chosen entries
        RecordingObserver observer;
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
        EXPECT_EQ(rows, support::Words(expectedRows));
        EXPECT_EQ(listing.folderTable.size(), folders);
        EXPECT_EQ(listing.folderTable.front(), workingFolder);
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

bool Match(std::string_view text, std::string_view pattern) {
    return WildcardMatch(text::ToCodePoints(text), text::ToCodePoints(pattern));
}

TEST(WildcardMatch, FollowsTheWildcardLanguage) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"a", "", false},      {"", "*", true},
        {"abc", "a*b", false}, {"abcbd", "*b?", true},
        {"a", "a?", false},    {"東京", "??", true},
        {"abc", "ABC", false}, {"IMG_042", "IMG_###", true},
        {"d", "[abc]", false}, {"d", "[!abc]", true},
        {"z", "[a-z]", true},  {"-", "[a-]", true},
        {"m", "[z-a]", false}, {"[x", "[[]x", true},
        {"ab", "a[b", false},  {"x", "[]", false},
        {"x", "[!]", true},    {"ö", "[ä-ü]", true},
    };
    for (const auto& [text, pattern, expected] : cases) {
        EXPECT_EQ(Match(text, pattern), expected) << text << " ~ " << pattern;
    }
}

TEST(WildcardMatch, ManyStarsDoNotBacktrackExponentially) {
    const std::string text(5000, 'a');
    EXPECT_FALSE(Match(text, "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
    EXPECT_TRUE(Match(text + "b", "*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*a*b"));
}

TEST(CheckFilterBrackets, AcceptsOnlyClosedListsAndDoubledOpeners) {
    const std::pair<const char*, bool> cases[] = {
        {"a[bc]", true}, {"[[]x", true}, {"a[b", false},   {"]x", true},
        {"", true},      {"[", false},   {"x[[]", true},   {"[a][b", false},
        {"a[[b", false}, {"[[", true},   {"[a[b]", false},
    };
    for (const auto& [pattern, expected] : cases) {
        EXPECT_EQ(CheckFilterBrackets(pattern), expected) << pattern;
    }
}

TEST(FilterPattern, MatchesBaseAndExtensionSeparately) {
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"*.*", "a.txt", true},
        {"*.*", "README", true},
        {"*.jpg", "A.JPG", false},
        {"*.tar.gz", "archive.tar.gz", true},
        {"*.tar.gz", "photo.gz", true},
        {"*", "a.txt", false},
        {"*.", "README", true},
        {"", "", true},
        {"", "a", false},
    };
    for (const auto& [pattern, filename, expected] : cases) {
        EXPECT_EQ(FilterPattern(pattern).Matches(filename), expected)
            << filename << " ~ " << pattern;
    }
}

}  // namespace
}  // namespace kestrel::lists
