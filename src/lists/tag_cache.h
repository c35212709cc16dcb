#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "engine/tag_values.h"
#include "platform/tag_reader.h"

// The tags read of the listed files, kept beside the listing so that only the
// first preview that needs a tag reads it, and later keystrokes read no file.
// Values are kept by path and trusted for the rest of the listing; a new
// listing checks each file's size and modification time before its values
// are used again.
namespace kestrel::lists {

/// The reader sources (platform::TagSource bits) that hold the tags of `used`.
unsigned SourcesFor(const engine::TagSet& used);

/// Hears how a fill goes; called on the thread that called Fill only.
class TagReadObserver {
  public:
    virtual ~TagReadObserver() = default;
    /// Before the first file, with the number of files to look at.
    virtual void Started(int total) = 0;
    /// From time to time while files are read: `done` of them are.
    virtual void Progress(int done) = 0;
    /// After every multiple of QuestionStep() files, and after the last.
    /// Returning false stops the reading (the user interrupted).
    virtual bool ContinueAfter(int done) = 0;
    virtual int QuestionStep() const = 0;
};

/// Where the listed rows' files are.
class RowFiles {
  public:
    virtual ~RowFiles() = default;
    /// The program path of row `row`'s entry, by which its values are kept.
    virtual std::string PathOf(std::size_t row) const = 0;
    /// The path on this host that a reader opens for `path`.
    virtual std::string HostPathOf(const std::string& path) const = 0;
};

class TagCache {
  public:
    /// A new listing of `rowCount` rows: every value is checked against its
    /// file once more before it is used; files of the listing before last
    /// are forgotten.
    void NewListing(std::size_t rowCount);
    /// A row whose entry was renamed on its own: its file is looked up anew.
    void ForgetRow(std::size_t row);
    /// The same rows in another order: the row now at i was at `from[i]`.
    /// What is known of each row's file stays known.
    void Reorder(std::span<const std::uint32_t> from);

    /// Makes sure that `sources` are known of the files of `rows`, reading
    /// what is not (on several threads). False when the observer stopped it;
    /// what was read until then is kept. A row known already costs no more
    /// than a look at its entry, so that a keystroke's preview stays quick.
    bool Fill(const platform::TagReader& reader, std::span<const std::size_t> rows,
              const RowFiles& files, unsigned sources, TagReadObserver& observer);

    /// The values of row `row`'s file, when its `sources` are known in this listing.
    const engine::TagValues* Find(std::size_t row, unsigned sources) const;

  private:
    struct Entry {
        platform::FileStamp stamp;
        unsigned sources = 0;
        std::uint64_t listing = 0;  // the listing the stamp was last confirmed in
        engine::TagValues values;
    };
    struct Job;
    struct Outcome;
    bool Known(std::size_t row, unsigned sources) const;
    /// Reads the files of `jobs` on several threads, each merged as it is read.
    void ReadRound(const platform::TagReader& reader, std::span<const Job> jobs, unsigned sources,
                   std::size_t doneBefore, TagReadObserver& observer);
    void Merge(const Job& job, Outcome& outcome);

    std::unordered_map<std::string, Entry> entries_;
    /// Each row's entry, once it was read or checked in this listing, and
    /// the sources known of it, kept beside so that a keystroke's preview
    /// need not visit every entry to learn that nothing is to be read.
    std::vector<Entry*> rows_;
    std::vector<unsigned char> rowSources_;
    std::uint64_t listing_ = 1;
};

/// The values of one file for the given sources, as the cache keeps them.
engine::TagValues ValuesOf(const platform::FileTags& tags, unsigned sources);

}  // namespace kestrel::lists
