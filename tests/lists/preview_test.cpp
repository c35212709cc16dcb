#include "lists/preview.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace kestrel::lists
