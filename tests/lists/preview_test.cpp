// The preview of the target list, and what pointing at its rows finds.
#include "lists/preview.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <vector>

#include "engine/regex_replace.h"
#include "lists/position_picking.h"
#include "lists/tag_cache.h"
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
// it was and every index after it moves, and the checks that compare rows
// across the halves find what one thread finds. A pass made into the last
// pass's preview leaves nothing of it behind.
TEST(ComputePreview, NamesMadeOnTwoThreadsAreTheNamesOfOne) {
    support::TempDrive drive;
    drive.WriteFiles({"x n7.jpg", "Sub\\x n3500.jpg"});
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
    engine::RenameOptions oneName = support::NeutralOptions();
    oneName.chkReplaceWholeName = oneName.chkInsertStart = 1;
    oneName.txtInsertStart = "Same";
    const struct {
        const char* what;
        engine::RenameOptions options;
        bool numberPerFolder;
        int renamed;
        int flagged;
    } cases[] = {
        {"insert, two targets taken", inserted, false, 4178, 2},
        {"numbered, the first name stays", numbered, false, 4177, 0},
        {"numbered, every name changes", numberedFromTwo, false, 4178, 0},
        {"numbered in each folder", numberedFromTwo, true, 4178, 0},
        {"one name, the first of each folder keeps it", oneName, false, 4178, 4176},
    };
    Preview reused;
    for (const auto& row : cases) {
        SCOPED_TRACE(row.what);
        const engine::NamePipeline pipeline(row.options, {});
        const engine::NamePipeline second(row.options, {});
        PreviewInput input{rows,           folders, folders[0], folders[0], 0,
                           {3, false, 64}, nullptr, false,      {},         row.numberPerFolder,
                           nullptr};
        NoObserver observer;
        const Preview alone = ComputePreview(drive.FileSystem(), pipeline, input, observer);
        input.secondPipeline = &second;
        ComputePreview(drive.FileSystem(), pipeline, input, observer, reused);
        EXPECT_EQ(alone.renameCounter, row.renamed);
        EXPECT_EQ(alone.errorCount, row.flagged);
        EXPECT_EQ(reused.renameCounter, alone.renameCounter);
        EXPECT_EQ(reused.errorCount, alone.errorCount);
        EXPECT_EQ(reused.targets, alone.targets);
        for (std::size_t i = 0; i < rows.size(); ++i) {
            ASSERT_EQ(reused.EnglishMessage(i), alone.EnglishMessage(i)) << i;
        }
        EXPECT_EQ(reused.widestName, alone.widestName);
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
        {"Sub\\abc.txt", 0, 4, 4, "\"Sub\\abc.txt\" is item 1 and is 7 characters long."},
        {"Sub\\abc.txt", 0, 5, 4, "\"a\" is position 1 of 7 in item 1: \"Sub\\abc.txt\""},
        {"été.txt", 0, 2, 0, "\"t\" is position 2 of 7 in item 1: \"été.txt\""},
    };
    for (const auto& [text, row, mouseX, prefix, expected] : cases) {
        EXPECT_EQ(SourceToolTip(text, row, mouseX, prefix), expected);
    }
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

using platform::FileStamp;
using platform::FileTags;

// Hands out a file's "artist" and "taken" from a table, and records every
// call, from whichever thread makes it.
class CountingReader : public platform::TagReader {
  public:
    FileStamp Stamp(const std::string& hostPath) const override {
        const std::lock_guard lock(mutex_);
        ++stamps[hostPath];
        return StampOf(hostPath);
    }
    FileTags Read(const std::string& hostPath, unsigned sources) const override {
        const std::lock_guard lock(mutex_);
        reads.push_back({hostPath, sources});
        FileTags tags;
        tags.stamp = StampOf(hostPath);
        tags.artist = "Artist of " + hostPath;
        tags.taken = version + "-01-01 00:00:00";
        tags.photoProblem = "not a photo";
        return tags;
    }

    FileStamp StampOf(const std::string& hostPath) const {
        const auto changed = sizes.find(hostPath);
        return {true, changed == sizes.end() ? 1 : changed->second, 0};
    }

    std::map<std::string, std::uint64_t> sizes;
    std::string version = "2001";
    mutable std::vector<std::pair<std::string, unsigned>> reads;
    mutable std::map<std::string, int> stamps;

  private:
    mutable std::mutex mutex_;
};

class Observer : public TagReadObserver {
  public:
    void Started(int total) override {
        totals.push_back(total);
        progressed = 0;
    }
    void Progress(int done) override {
        EXPECT_GT(done, progressed);
        progressed = done;
    }
    bool ContinueAfter(int done) override {
        dones.push_back(done);
        return done < stopAt;
    }
    int QuestionStep() const override { return step; }

    int step = 1000;
    int stopAt = 1'000'000;
    int progressed = 0;
    std::vector<int> totals;
    std::vector<int> dones;
};

// Row r is the file "T:\r.mp3", "/t/r.mp3" on the host.
class Files : public RowFiles {
  public:
    std::string PathOf(std::size_t row) const override {
        return "T:\\" + std::to_string(row) + ".mp3";
    }
    std::string HostPathOf(const std::string& path) const override {
        return "/t/" + path.substr(3);
    }
};

std::vector<std::size_t> Rows(std::size_t count) {
    std::vector<std::size_t> rows(count);
    for (std::size_t i = 0; i < count; ++i) {
        rows[i] = i;
    }
    return rows;
}

const engine::TagEntry* Entry(const engine::TagValues* values, engine::Tag tag) {
    return values == nullptr ? nullptr : engine::FindTag(*values, tag);
}

// A new listing trusts nothing: each file's stamp is looked at, and only a
// file that changed is read again, for every tag wanted.
TEST(TagCache, ANewListingChecksEachFileAndReadsOnlyTheChangedOnes) {
    CountingReader reader;
    Observer progress;
    TagCache cache;
    cache.NewListing(3);
    const std::vector<std::size_t> rows = Rows(3);
    cache.Fill(reader, rows, Files(), platform::kMusicTags | platform::kTakenTag, progress);
    cache.NewListing(3);
    EXPECT_EQ(cache.Find(1, platform::kMusicTags), nullptr);

    reader.reads.clear();
    reader.sizes["/t/1.mp3"] = 2;
    reader.version = "2002";
    EXPECT_TRUE(cache.Fill(reader, rows, Files(), platform::kTakenTag, progress));
    EXPECT_EQ(reader.stamps,
              (std::map<std::string, int>{{"/t/0.mp3", 1}, {"/t/1.mp3", 1}, {"/t/2.mp3", 1}}));
    ASSERT_EQ(reader.reads.size(), 1U);
    EXPECT_EQ(reader.reads[0], (std::pair<std::string, unsigned>{"/t/1.mp3", platform::kTakenTag}));
    EXPECT_EQ(Entry(cache.Find(0, platform::kTakenTag), engine::Tag::Taken)->value,
              "2001-01-01 00:00:00");
    EXPECT_EQ(Entry(cache.Find(1, platform::kTakenTag), engine::Tag::Taken)->value,
              "2002-01-01 00:00:00");
    // What was read of the changed file before does not hold any more.
    EXPECT_EQ(cache.Find(1, platform::kMusicTags), nullptr);
    EXPECT_NE(cache.Find(0, platform::kMusicTags), nullptr);

    // A row renamed on its own is looked up by its new path.
    cache.ForgetRow(0);
    EXPECT_EQ(cache.Find(0, platform::kTakenTag), nullptr);

    // Files that the listing after next no longer holds are forgotten.
    cache.NewListing(1);
    cache.NewListing(1);
    reader.reads.clear();
    cache.Fill(reader, Rows(1), Files(), platform::kTakenTag, progress);
    EXPECT_EQ(reader.reads.size(), 1U);
}

TEST(TagCache, SourcesFollowTheTagsAndValuesKeepTheirSourcesProblem) {
    engine::TagSet used;
    EXPECT_EQ(SourcesFor(used), 0U);
    used.set(static_cast<std::size_t>(engine::Tag::Taken));
    used.set(static_cast<std::size_t>(engine::Tag::Lens));
    used.set(static_cast<std::size_t>(engine::Tag::Year));
    EXPECT_EQ(SourcesFor(used), platform::kTakenTag | platform::kPhotoTags | platform::kMusicTags);

    FileTags tags;
    tags.lens = "EF50mm";
    tags.photoProblem = "odd";
    tags.takenProblem = "damaged";
    const engine::TagValues values = ValuesOf(tags, platform::kPhotoTags | platform::kTakenTag);
    EXPECT_EQ(values.entries.size(), 7U);
    EXPECT_EQ(Entry(&values, engine::Tag::Lens)->value, "EF50mm");
    EXPECT_EQ(Entry(&values, engine::Tag::Iso)->problem, "odd");
    EXPECT_EQ(Entry(&values, engine::Tag::Taken)->problem, "damaged");
    EXPECT_EQ(Entry(&values, engine::Tag::Artist), nullptr);
}

}  // namespace
}  // namespace kestrel::lists
