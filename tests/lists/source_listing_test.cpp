#include "lists/source_listing.h"

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "engine/rename_options.h"
#include "platform/file_attributes.h"
#include "platform/posix_file_system.h"
#include "support/forwarding_file_system.h"
#include "support/temp_drive.h"

namespace kestrel::lists {
namespace {

using engine::RenameOptions;
using platform::DirEntry;
using Texts = std::vector<std::string>;

struct RecordingObserver : ListingObserver {
    void EntryStarted(int number) override { started.push_back(number); }
    bool ContinueAfter(int count) override {
        continued.push_back(count);
        return count != stopAt;
    }
    int stopAt = -1;
    std::vector<int> started;
    std::vector<int> continued;
};

// A file system whose folders hold exactly the entries a test lists, in that
// order; a folder it does not know cannot be opened.
struct HostHolder {
    platform::PosixFileSystem host;
};
struct FakeFolders : private HostHolder, support::ForwardingFileSystem {
    FakeFolders() : ForwardingFileSystem(host) {}
    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view folder,
                                                       FileError& error) override {
        const auto found = folders.find(folder);
        if (found == folders.end()) {
            error = FileError::Make(platform::kPathNotFound);
            return nullptr;
        }
        auto reader = std::make_unique<Reader>();
        reader->entries = found->second;
        reader->told = &readersTold;
        return reader;
    }
    struct Reader : platform::FolderReader {
        void SkipDosAttributes() override { ++*told; }
        bool Next(DirEntry& entry) override {
            return next < entries.size() ? (entry = entries[next++], true) : false;
        }
        const FileError& Error() const override { return error; }
        std::vector<DirEntry> entries;
        std::size_t next = 0;
        int* told = nullptr;
        FileError error;
    };

    std::map<std::string, std::vector<DirEntry>, std::less<>> folders;
    int readersTold = 0;  // readers told that the attribute marks are not needed
};

DirEntry File(std::string name) {
    return {std::move(name), platform::kAttrArchive, false};
}
DirEntry Folder(std::string name) {
    return {std::move(name), platform::kAttrFolder, false};
}

SourceListing List(platform::FileSystem& fileSystem, const RenameOptions& options,
                   std::string_view folder = "T:\\") {
    RecordingObserver observer;
    return ReadSourceList(fileSystem, options, folder, observer);
}

Texts TextsOf(const SourceListing& listing) {
    Texts out;
    for (const ListEntry& row : listing.rows) {
        out.push_back(row.text);
    }
    return out;
}

TEST(IsExcludedName, ComparesReservedNamesExactlyAndRejectsQuestionMarks) {
    for (const char* name : {".", "..", "pagefile.sys", "hiberfil.sys", "WIN386.SWP", "RECYCLER",
                             "RECYCLED", "System Volume Information", "a?b.txt"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsExcludedName(name));
    }
    for (const char* name : {"PAGEFILE.SYS", "Recycled", "..a"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsExcludedName(name));
    }
}

TEST(ReadSourceList, ListsTheChosenKindAndAttributeRulesPickOnlyAmongFiles) {
    support::TempDrive drive;
    for (const char* name : {"a.txt", ".hidden", "pagefile.sys", "PAGEFILE.SYS"}) {
        drive.WriteFile(name, "");
    }
    drive.MakeFolder("Sub");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0600), 0);  // no archive mark
    struct Case {
        int filesFolders;
        int RenameOptions::*box;
        int rule;
        Texts expected;
    };
    const Case cases[] = {
        {engine::kFilesOnly,
         &RenameOptions::chkHbit,
         engine::kAttributeDontCare,
         {".hidden", "a.txt", "PAGEFILE.SYS", "pipe"}},
        {engine::kFoldersOnly, &RenameOptions::chkHbit, engine::kAttributeDontCare, {"Sub\\"}},
        {engine::kFilesAndFolders,
         &RenameOptions::chkHbit,
         engine::kAttributeFilter,
         {"a.txt", "PAGEFILE.SYS", "pipe", "Sub\\"}},
        {engine::kFilesAndFolders,
         &RenameOptions::chkHbit,
         engine::kAttributeSelect,
         {".hidden", "Sub\\"}},
        {engine::kFilesAndFolders,
         &RenameOptions::chkAbit,
         engine::kAttributeSelect,
         {".hidden", "a.txt", "PAGEFILE.SYS", "Sub\\"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.filesFolders << ", rule " << c.rule);
        RenameOptions options;
        options.cboFilesFolders = c.filesFolders;
        options.*c.box = c.rule;
        EXPECT_EQ(TextsOf(List(drive.FileSystem(), options)), c.expected);
    }
}

TEST(ReadSourceList, WritesRowsByPathDisplayModeAndRecursion) {
    support::TempDrive drive;
    drive.WriteFile("Photos\\a.jpg", "");
    drive.WriteFile("日本.jp", "");  // fewer characters than "Photos", more bytes
    struct Case {
        int pathDisplay;
        int recurse;
        Texts expected;
        const char* widest;
    };
    const Case cases[] = {
        {engine::kShowFilenameOnly, 0, {"Photos\\", "日本.jp"}, "Photos"},
        {engine::kShowPartialPath, 0, {"Photos\\", "日本.jp"}, "Photos"},
        {engine::kShowFullPath, 0, {"T:\\Photos\\", "T:\\日本.jp"}, "T:\\Photos"},
        {engine::kShowFilenameOnly, 1, {"a.jpg", "Photos\\", "日本.jp"}, "Photos"},
        {engine::kShowPartialPath, 1, {"Photos\\", "Photos\\a.jpg", "日本.jp"}, "Photos\\a.jpg"},
        {engine::kShowFullPath,
         1,
         {"T:\\Photos\\", "T:\\Photos\\a.jpg", "T:\\日本.jp"},
         "T:\\Photos\\a.jpg"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pathDisplay) + " recurse " + std::to_string(c.recurse));
        RenameOptions options;
        options.cboFilesFolders = engine::kFilesAndFolders;
        options.cboPathDisplay = c.pathDisplay;
        options.chkRecurse = c.recurse;
        const SourceListing listing = List(drive.FileSystem(), options);
        EXPECT_EQ(TextsOf(listing), c.expected);
        EXPECT_EQ(listing.widestText, c.widest);
    }
}

TEST(ReadSourceList, RecursesBreadthFirstPastHiddenFoldersAndLinks) {
    support::TempDrive drive;
    drive.WriteFile("A\\B\\b.txt", "");
    drive.WriteFile(".git\\x.txt", "");
    drive.MakeFolder("D");
    // A link to a parent folder would make the walk endless.
    std::filesystem::create_directory_symlink(drive.HostRoot(), drive.HostPath("A\\up"));
    RenameOptions options;
    options.chkRecurse = 1;
    options.chkHbit = engine::kAttributeFilter;
    options.cboPathDisplay = engine::kShowPartialPath;
    options.cboFilesFolders = engine::kFilesAndFolders;
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
    for (const char* name : {"a.txt", "B.TXT", "c.doc", "archive.tar.gz"}) {
        drive.WriteFile(name, "");
    }
    drive.MakeFolder("d.txt");
    struct Case {
        const char* pattern;
        int mode;
        Texts expected;  // "+" before a selected row
        int pathDisplay = engine::kShowFilenameOnly;
    };
    const Case cases[] = {
        {"*.txt",
         engine::kViewAndSelectAll,
         {"+a.txt", "+archive.tar.gz", "+B.TXT", "+c.doc", "+d.txt\\"}},
        {"*.txt", engine::kViewMatching, {"a.txt", "d.txt\\"}},
        {"*.txt",
         engine::kSelectMatching,
         {"+a.txt", "archive.tar.gz", "B.TXT", "c.doc", "+d.txt\\"}},
        {"*.txt",
         engine::kSelectNonMatching,
         {"a.txt", "+archive.tar.gz", "+B.TXT", "+c.doc", "d.txt\\"}},
        {"*.tar.gz", engine::kViewMatching, {"archive.tar.gz"}},
        // The pattern sees the entry's own name, not the path shown.
        {"a*.*", engine::kViewMatching, {"T:\\a.txt", "T:\\archive.tar.gz"}, engine::kShowFullPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " mode " + std::to_string(c.mode));
        RenameOptions options;
        options.cboFilesFolders = engine::kFilesAndFolders;
        options.txtFilter = c.pattern;
        options.cboFilter = c.mode;
        options.cboPathDisplay = c.pathDisplay;
        Texts rows;
        for (const ListEntry& row : List(drive.FileSystem(), options).rows) {
            rows.push_back((row.selected ? "+" : "") + row.text);
        }
        EXPECT_EQ(rows, c.expected);
    }
}

TEST(SortRows, IgnoresCaseAndKeepsReadOrderForEqualKeys) {
    std::vector<ListEntry> rows;
    for (const char* text : {"b.txt", "A.txt", "a.txt", "é.txt", "_x", "Z.txt", "É.TXT"}) {
        rows.push_back({text, static_cast<int>(rows.size()) + 1, false});
    }
    SortRows(rows);
    Texts texts;
    for (const ListEntry& row : rows) {
        texts.push_back(row.text);
    }
    EXPECT_EQ(texts, (Texts{"_x", "A.txt", "a.txt", "b.txt", "Z.txt", "é.txt", "É.TXT"}));
    EXPECT_EQ(rows[1].folderIndex, 2);

    // Enough equal keys that an unstable sort would reorder them.
    std::vector<ListEntry> same;
    for (int i = 1; i <= 200; ++i) {
        same.push_back({i % 2 == 0 ? "x" : "X", i, false});
    }
    SortRows(same);
    for (int i = 1; i <= 200; ++i) {
        EXPECT_EQ(same[static_cast<std::size_t>(i) - 1].folderIndex, i);
    }
}

TEST(ReadSourceList, FolderThatCannotBeReadIsPassedOver) {
    FakeFolders fileSystem;
    fileSystem.folders["T:\\"] = {Folder("Locked"), Folder("Open")};
    fileSystem.folders["T:\\Open\\"] = {File("x.txt")};
    RenameOptions options;
    options.chkRecurse = 1;
    options.cboPathDisplay = engine::kShowPartialPath;
    EXPECT_EQ(TextsOf(List(fileSystem, options)), Texts{"Open\\x.txt"});

    support::TempDrive drive;
    const SourceListing missing = List(drive.FileSystem(), options, "T:\\Missing\\");
    EXPECT_TRUE(missing.rows.empty());
    EXPECT_EQ(missing.folderTable, Texts{"T:\\Missing\\"});
}

TEST(ReadSourceList, StopsAtTheRowCapAndEntersNoFolderPastTheFolderCap) {
    struct Case {
        int files;
        int folders;
        bool rowLimit;
        bool folderLimit;
    };
    const Case cases[] = {
        {kMaxListRows - 1, 0, false, false}, {kMaxListRows, 0, true, false},
        {kMaxListRows + 1, 0, true, false},  {0, kMaxFolders - 1, false, false},
        {0, kMaxFolders, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.files << " files, " << c.folders << " folders");
        FakeFolders fileSystem;
        std::vector<DirEntry>& root = fileSystem.folders["T:\\"];
        for (int i = 0; i < c.files; ++i) {
            root.push_back(File("f" + std::to_string(i)));
        }
        for (int i = 0; i < c.folders; ++i) {
            root.push_back(Folder("d" + std::to_string(i)));
        }
        RenameOptions options;
        options.chkRecurse = 1;
        RecordingObserver observer;
        const SourceListing listing = ReadSourceList(fileSystem, options, "T:\\", observer);
        const int rows = std::min(c.files, kMaxListRows);
        EXPECT_EQ(listing.rows.size(), static_cast<std::size_t>(rows));
        EXPECT_EQ(observer.started.size(), static_cast<std::size_t>(rows + c.folders));
        EXPECT_EQ(listing.rowLimitReached, c.rowLimit);
        EXPECT_EQ(listing.folderTable.size(), std::min<std::size_t>(c.folders + 1, kMaxFolders));
        EXPECT_EQ(listing.folderLimitReached, c.folderLimit);
    }
}

TEST(ReadSourceList, ObserverCountsEveryEntryAndCanEndTheListing) {
    FakeFolders fileSystem;
    fileSystem.folders["T:\\"] = {File("a"), File("pagefile.sys"), File("b"), File("c")};
    RecordingObserver full;
    const SourceListing all = ReadSourceList(fileSystem, {}, "T:\\", full);
    EXPECT_EQ(full.started, (std::vector<int>{1, 2, 3, 4}));
    EXPECT_EQ(full.continued, full.started);
    EXPECT_FALSE(all.interrupted);

    RecordingObserver stopping;
    stopping.stopAt = 3;
    const SourceListing stopped = ReadSourceList(fileSystem, {}, "T:\\", stopping);
    EXPECT_EQ(stopping.started, (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(stopped.interrupted);
    EXPECT_EQ(TextsOf(stopped), (Texts{"a", "b"}));
}

TEST(ReadSourceList, SkipsAttributeMarksOnlyWhenNoRuleLooksAtThem) {
    FakeFolders folders;
    folders.folders["T:\\"] = {File("a.txt")};
    RenameOptions options;
    List(folders, options);
    EXPECT_EQ(folders.readersTold, 1);
    options.chkHbit = engine::kAttributeFilter;
    List(folders, options);
    EXPECT_EQ(folders.readersTold, 1);
}

}  // namespace
}  // namespace kestrel::lists
