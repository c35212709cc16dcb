#include "lists/source_listing.h"

#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "engine/rename_options.h"
#include "platform/file_attributes.h"
#include "platform/posix_file_system.h"
#include "support/temp_drive.h"

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
Texts TextsOf(const SourceListing& listing, bool marks = false) {
    Texts out;
    for (const ListEntry& row : listing.rows) {
        out.push_back((marks && row.selected ? "+" : "") + row.text);
    }
    return out;
}
RenameOptions Options(int items, int display = kShowFilenameOnly, int recurse = 0) {
    RenameOptions options;
    options.cboFilesFolders = items, options.cboPathDisplay = display, options.chkRecurse = recurse;
    return options;
}

TEST(IsExcludedName, ComparesReservedNamesExactlyAndRejectsQuestionMarks) {
    for (const char* name : {".", "..", "pagefile.sys", "hiberfil.sys", "WIN386.SWP", "RECYCLER",
                             "RECYCLED", "System Volume Information", "a?b.txt"}) {
        EXPECT_TRUE(IsExcludedName(name)) << name;
    }
    for (const char* name : {"PAGEFILE.SYS", "Recycled", "..a"}) {
        EXPECT_FALSE(IsExcludedName(name)) << name;
    }
}

TEST(ReadSourceList, ListsTheChosenKindAndAttributeRulesPickOnlyAmongFiles) {
    support::TempDrive drive;
    for (const char* name : {"a.txt", ".hidden", "pagefile.sys", "PAGEFILE.SYS"}) {
        drive.WriteFile(name, "");
    }
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
    drive.WriteFile("A\\B\\b.txt", "");
    drive.WriteFile(".git\\x.txt", "");
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
    for (const char* name : {"a.txt", "B.TXT", "c.doc"}) {
        drive.WriteFile(name, "");
    }
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

}  // namespace
}  // namespace kestrel::lists
