#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

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

class TagReadObserver {
  public:
    virtual ~TagReadObserver() = default;
    /// Before the first file, with the number of files to look at.
    virtual void Started(int total) = 0;
    /// After `done` files. Returning false stops the reading (the user interrupted).
    virtual bool ContinueAfter(int done) = 0;
    /// ContinueAfter is called at least at every multiple of this many files.
    virtual int QuestionStep() const = 0;
};

/// One file to read: its program path, by which its values are found, and
/// its path on this host, which the reader opens.
struct TagJob {
    std::string path;
    std::string hostPath;
};

class TagCache {
  public:
    /// A new listing: every value is checked against its file once more
    /// before it is used; files of the listing before last are forgotten.
    void NewListing();

    /// Makes sure that `sources` are known of every job's file, reading what
    /// is not (on several threads). False when the observer stopped it; what
    /// was read until then is kept.
    bool Fill(const platform::TagReader& reader, std::span<const TagJob> jobs, unsigned sources,
              TagReadObserver& observer);

    /// The values of `path`, when its `sources` are known in this listing.
    const engine::TagValues* Find(std::string_view path, unsigned sources) const;

  private:
    struct Entry {
        platform::FileStamp stamp;
        unsigned sources = 0;
        std::uint64_t listing = 0;  // the listing the stamp was last confirmed in
        engine::TagValues values;
    };
    struct Work;
    void Merge(const TagJob& job, Work& work);

    std::unordered_map<std::string, Entry> entries_;
    std::uint64_t listing_ = 1;
};

/// The values of one file for the given sources, as the cache keeps them.
engine::TagValues ValuesOf(const platform::FileTags& tags, unsigned sources);

}  // namespace kestrel::lists
