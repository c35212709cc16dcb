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

class RecordingObserver : public ListingObserver {
  public:
    explicit RecordingObserver(int stopAt = -1) : stopAt_(stopAt) {}
    void EntryStarted(int number) override { started.push_back(number); }
    bool ContinueAfter(int count) override {
        continued.push_back(count);
        return count != stopAt_;
    }
    std::vector<int> started;
    std::vector<int> continued;

  private:
    int stopAt_;
};

// A file system whose folders hold exactly the entries a test lists, in that
// order; a folder it does not know cannot be opened.
struct HostHolder {
    platform::PosixFileSystem host;
};
class FakeFolders : private HostHolder, public support::ForwardingFileSystem {
  public:
    FakeFolders() : ForwardingFileSystem(host) {}
    std::map<std::string, std::vector<DirEntry>, std::less<>> folders;
    int readersTold = 0;  // readers told that extended-attribute marks are not needed

    std::unique_ptr<platform::FolderReader> OpenFolder(std::string_view folder,
                                                       FileError& error) override {
        const auto found = folders.find(folder);
        if (found == folders.end()) {
            error = FileError::Make(platform::kPathNotFound);
            return nullptr;
        }
        return std::make_unique<Reader>(found->second, readersTold);
    }

  private:
    class Reader : public platform::FolderReader {
      public:
        Reader(const std::vector<DirEntry>& entries, int& told) : entries_(entries), told_(told) {}
        void SkipDosAttributes() override { ++told_; }
        bool Next(DirEntry& entry) override {
            if (next_ == entries_.size()) {
                return false;
            }
            entry = entries_[next_++];
            return true;
        }
        const FileError& Error() const override { return error_; }

      private:
        const std::vector<DirEntry>& entries_;
        int& told_;
        std::size_t next_ = 0;
        FileError error_;
    };
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
    const std::pair<const char*, bool> cases[] = {
        {"pagefile.sys", true},
        {"PAGEFILE.SYS", false},
        {"hiberfil.sys", true},
        {"WIN386.SWP", true},
        {"RECYCLER", true},
        {"Recycled", false},
        {"System Volume Information", true},
        {"a?b.txt", true},
        {"..a", false},
    };
    for (const auto& [name, excluded] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(IsExcludedName(name), excluded);
    }
}

TEST(ReadSourceList, HiddenRuleAndReservedNamesDecideWhichFilesAppear) {
    support::TempDrive drive;
    drive.WriteFile("a.txt", "");
    drive.WriteFile(".hidden", "");
    drive.WriteFile("pagefile.sys", "");
    drive.WriteFile("PAGEFILE.SYS", "");
    const std::pair<int, Texts> cases[] = {
        {engine::kAttributeFilter, {"a.txt", "PAGEFILE.SYS"}},
        {engine::kAttributeSelect, {".hidden"}},
        {engine::kAttributeDontCare, {".hidden", "a.txt", "PAGEFILE.SYS"}},
    };
    for (const auto& [rule, expected] : cases) {
        SCOPED_TRACE(rule);
        RenameOptions options;
        options.chkHbit = rule;
        EXPECT_EQ(TextsOf(List(drive.FileSystem(), options)), expected);
    }
}

TEST(ReadSourceList, WritesRowsByPathDisplayModeAndRecursion) {
    support::TempDrive drive;
    drive.WriteFile("Photos\\a.jpg", "");
    drive.WriteFile("b.txt", "");
    struct Case {
        int pathDisplay;
        int recurse;
        Texts expected;
        const char* widest;
    };
    const Case cases[] = {
        {engine::kShowFilenameOnly, 0, {"b.txt", "Photos\\"}, "Photos"},
        {engine::kShowPartialPath, 0, {"b.txt", "Photos\\"}, "Photos"},
        {engine::kShowFullPath, 0, {"T:\\b.txt", "T:\\Photos\\"}, "T:\\Photos"},
        {engine::kShowFilenameOnly, 1, {"a.jpg", "b.txt", "Photos\\"}, "Photos"},
        {engine::kShowPartialPath, 1, {"b.txt", "Photos\\", "Photos\\a.jpg"}, "Photos\\a.jpg"},
        {engine::kShowFullPath,
         1,
         {"T:\\b.txt", "T:\\Photos\\", "T:\\Photos\\a.jpg"},
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

TEST(ReadSourceList, RecursesBreadthFirstAndRowsPointAtTheirFolder) {
    support::TempDrive drive;
    drive.WriteFile("A\\B\\C\\c.txt", "");
    drive.MakeFolder("D");
    RenameOptions options;
    options.chkRecurse = 1;
    options.cboPathDisplay = engine::kShowPartialPath;
    const SourceListing listing = List(drive.FileSystem(), options);
    ASSERT_EQ(listing.folderTable.size(), 5u);
    EXPECT_EQ(listing.folderTable[0], "T:\\");
    EXPECT_EQ(listing.folderTable[3], "T:\\A\\B\\");
    EXPECT_EQ(listing.folderTable[4], "T:\\A\\B\\C\\");
    ASSERT_EQ(TextsOf(listing), Texts{"A\\B\\C\\c.txt"});
    EXPECT_EQ(listing.rows[0].folderIndex, 5);
}

TEST(ReadSourceList, HiddenSubFolderIsListedButNotEntered) {
    support::TempDrive drive;
    drive.WriteFile(".git\\x.txt", "");
    drive.WriteFile("a.txt", "");
    RenameOptions options;
    options.chkRecurse = 1;
    options.chkHbit = engine::kAttributeFilter;
    options.cboFilesFolders = engine::kFilesAndFolders;
    const SourceListing listing = List(drive.FileSystem(), options);
    EXPECT_EQ(TextsOf(listing), (Texts{".git\\", "a.txt"}));
    EXPECT_EQ(listing.folderTable.size(), 1u);
}

TEST(ReadSourceList, ArchiveSelectKeepsArchiveFilesButEveryFolderRow) {
    support::TempDrive drive;
    drive.WriteFile("a.txt", "");
    drive.MakeFolder("Sub");
    ASSERT_EQ(::mkfifo(drive.HostPath("pipe").c_str(), 0600), 0);  // no archive bit
    RenameOptions options;
    options.chkAbit = engine::kAttributeSelect;
    options.cboFilesFolders = engine::kFilesAndFolders;
    EXPECT_EQ(TextsOf(List(drive.FileSystem(), options)), (Texts{"a.txt", "Sub\\"}));
}

TEST(ReadSourceList, FilterModeDecidesWhichRowsAreListedAndSelected) {
    support::TempDrive drive;
    for (const char* name : {"a.txt", "B.TXT", "c.doc", "archive.tar.gz"}) {
        drive.WriteFile(name, "");
    }
    drive.MakeFolder("d.txt");
    using Rows = std::vector<std::pair<std::string, bool>>;
    struct Case {
        const char* pattern;
        int mode;
        Rows expected;
        int pathDisplay = engine::kShowFilenameOnly;
    };
    const Case cases[] = {
        {"*.txt",
         engine::kViewAndSelectAll,
         {{"a.txt", true},
          {"archive.tar.gz", true},
          {"B.TXT", true},
          {"c.doc", true},
          {"d.txt\\", true}}},
        {"*.txt", engine::kViewMatching, {{"a.txt", false}, {"d.txt\\", false}}},
        {"*.txt",
         engine::kSelectMatching,
         {{"a.txt", true},
          {"archive.tar.gz", false},
          {"B.TXT", false},
          {"c.doc", false},
          {"d.txt\\", true}}},
        {"*.txt",
         engine::kSelectNonMatching,
         {{"a.txt", false},
          {"archive.tar.gz", true},
          {"B.TXT", true},
          {"c.doc", true},
          {"d.txt\\", false}}},
        {"*.tar.gz", engine::kViewMatching, {{"archive.tar.gz", false}}},
        // The pattern sees the entry's own name, not the path shown.
        {"a*.*",
         engine::kViewMatching,
         {{"T:\\a.txt", false}, {"T:\\archive.tar.gz", false}},
         engine::kShowFullPath},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " mode " + std::to_string(c.mode));
        RenameOptions options;
        options.cboFilesFolders = engine::kFilesAndFolders;
        options.txtFilter = c.pattern;
        options.cboFilter = c.mode;
        options.cboPathDisplay = c.pathDisplay;
        Rows rows;
        for (const ListEntry& row : List(drive.FileSystem(), options).rows) {
            rows.emplace_back(row.text, row.selected);
        }
        EXPECT_EQ(rows, c.expected);
    }
}

TEST(ReadSourceList, FilesFoldersChoiceListsFilesFoldersOrBoth) {
    support::TempDrive drive;
    drive.WriteFile("a.txt", "");
    drive.MakeFolder("Sub");
    const std::pair<int, Texts> cases[] = {
        {engine::kFilesOnly, {"a.txt"}},
        {engine::kFoldersOnly, {"Sub\\"}},
        {engine::kFilesAndFolders, {"a.txt", "Sub\\"}},
    };
    for (const auto& [choice, expected] : cases) {
        SCOPED_TRACE(choice);
        RenameOptions options;
        options.cboFilesFolders = choice;
        EXPECT_EQ(TextsOf(List(drive.FileSystem(), options)), expected);
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

TEST(ReadSourceList, LinkToParentFolderIsListedButNotEntered) {
    support::TempDrive drive;
    drive.WriteFile("Sub\\a.txt", "");
    std::filesystem::create_directory_symlink(drive.HostRoot(), drive.HostPath("Sub\\up"));
    RenameOptions options;
    options.chkRecurse = 1;
    options.cboPathDisplay = engine::kShowPartialPath;
    options.cboFilesFolders = engine::kFilesAndFolders;
    const SourceListing listing = List(drive.FileSystem(), options);
    EXPECT_EQ(TextsOf(listing), (Texts{"Sub\\", "Sub\\a.txt", "Sub\\up\\"}));
    EXPECT_EQ(listing.folderTable, (Texts{"T:\\", "T:\\Sub\\"}));
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

TEST(ReadSourceList, StopsReadingWhenTheListIsFull) {
    for (const int files : {kMaxListRows - 1, kMaxListRows, 40000}) {
        SCOPED_TRACE(files);
        FakeFolders fileSystem;
        std::vector<DirEntry>& root = fileSystem.folders["T:\\"];
        for (int i = 0; i < files; ++i) {
            root.push_back(File("f" + std::to_string(i)));
        }
        RecordingObserver observer;
        const SourceListing listing = ReadSourceList(fileSystem, {}, "T:\\", observer);
        const int expected = std::min(files, kMaxListRows);
        EXPECT_EQ(listing.rows.size(), static_cast<std::size_t>(expected));
        EXPECT_EQ(listing.rowLimitReached, files >= kMaxListRows);
        EXPECT_EQ(observer.started.size(), static_cast<std::size_t>(expected));
    }
}

TEST(ReadSourceList, StopsEnteringFoldersWhenTheFolderTableIsFull) {
    for (const int folders : {kMaxFolders - 1, kMaxFolders}) {
        SCOPED_TRACE(folders);
        FakeFolders fileSystem;
        std::vector<DirEntry>& root = fileSystem.folders["T:\\"];
        for (int i = 0; i < folders; ++i) {
            root.push_back(Folder("d" + std::to_string(i)));
        }
        RenameOptions options;
        options.chkRecurse = 1;
        const SourceListing listing = List(fileSystem, options);
        EXPECT_EQ(listing.folderTable.size(), static_cast<std::size_t>(kMaxFolders));
        EXPECT_EQ(listing.folderLimitReached, folders == kMaxFolders);
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

    RecordingObserver stopping(3);
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
