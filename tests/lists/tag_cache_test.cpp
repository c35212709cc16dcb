#include "lists/tag_cache.h"

#include <gtest/gtest.h>

#include <map>
#include <mutex>
#include <vector>

namespace kestrel::lists {
namespace {

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

TEST(TagCache, ReadsEachFileOnceAndOnlyTheSourcesNotKnownYet) {
    CountingReader reader;
    Observer progress;
    TagCache cache;
    cache.NewListing(150);
    const std::vector<std::size_t> rows = Rows(150);
    EXPECT_TRUE(cache.Fill(reader, rows, Files(), platform::kMusicTags, progress));
    EXPECT_EQ(reader.reads.size(), 150U);
    EXPECT_EQ(progress.totals, std::vector<int>{150});
    EXPECT_EQ(Entry(cache.Find(7, platform::kMusicTags), engine::Tag::Artist)->value,
              "Artist of /t/7.mp3");
    EXPECT_EQ(cache.Find(7, platform::kTakenTag), nullptr);

    // Another keystroke with the same tags reads nothing and shows no progress.
    EXPECT_TRUE(cache.Fill(reader, rows, Files(), platform::kMusicTags, progress));
    EXPECT_EQ(reader.reads.size(), 150U);
    EXPECT_EQ(progress.totals.size(), 1U);

    // A new tag reads only its own source, and the values already known stay.
    reader.reads.clear();
    EXPECT_TRUE(
        cache.Fill(reader, rows, Files(), platform::kMusicTags | platform::kTakenTag, progress));
    ASSERT_EQ(reader.reads.size(), 150U);
    EXPECT_EQ(reader.reads[0].second, platform::kTakenTag);
    const engine::TagValues* both = cache.Find(7, platform::kMusicTags | platform::kTakenTag);
    EXPECT_EQ(Entry(both, engine::Tag::Taken)->value, "2001-01-01 00:00:00");
    EXPECT_EQ(Entry(both, engine::Tag::Taken)->problem, "");
    EXPECT_EQ(Entry(both, engine::Tag::Artist)->value, "Artist of /t/7.mp3");
    EXPECT_EQ(Entry(both, engine::Tag::Make), nullptr);
    EXPECT_TRUE(reader.stamps.empty());
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

// Progress comes at least at every step of the interrupt question; a stop
// keeps what was read, and the next fill reads only the rest.
TEST(TagCache, StopsAtTheObserversWordAndGoesOnFromThereNextTime) {
    CountingReader reader;
    Observer progress;
    progress.step = 10;
    progress.stopAt = 20;
    TagCache cache;
    cache.NewListing(25);
    const std::vector<std::size_t> rows = Rows(25);
    EXPECT_FALSE(cache.Fill(reader, rows, Files(), platform::kMusicTags, progress));
    EXPECT_EQ(progress.dones, (std::vector<int>{10, 20}));
    EXPECT_NE(cache.Find(19, platform::kMusicTags), nullptr);
    EXPECT_EQ(cache.Find(20, platform::kMusicTags), nullptr);

    reader.reads.clear();
    progress.dones.clear();
    progress.stopAt = 1'000'000;
    EXPECT_TRUE(cache.Fill(reader, rows, Files(), platform::kMusicTags, progress));
    EXPECT_EQ(reader.reads.size(), 5U);
    EXPECT_EQ(progress.dones, std::vector<int>{5});
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
