#include "lists/tag_cache.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <system_error>
#include <thread>
#include <vector>

namespace kestrel::lists {
namespace {

using engine::Tag;
using platform::FileTags;

// Files are read in batches between two looks at the progress bar and the
// interrupt question.
constexpr std::size_t kBatch = 64;
// Reading tags waits on the disk and on the libraries' parsing; a few threads
// keep both busy without crowding a small machine.
constexpr unsigned kMostThreads = 4;

struct Source {
    Tag tag;
    std::string FileTags::*value;
    unsigned source;
    std::string FileTags::*problem;
};

constexpr Source kSources[] = {
    {Tag::Modified, &FileTags::modified, platform::kFileTags, &FileTags::fileProblem},
    {Tag::Created, &FileTags::created, platform::kFileTags, &FileTags::fileProblem},
    {Tag::Size, &FileTags::size, platform::kFileTags, &FileTags::fileProblem},
    {Tag::Taken, &FileTags::taken, platform::kTakenTag, &FileTags::takenProblem},
    {Tag::Make, &FileTags::make, platform::kPhotoTags, &FileTags::photoProblem},
    {Tag::Camera, &FileTags::camera, platform::kPhotoTags, &FileTags::photoProblem},
    {Tag::Lens, &FileTags::lens, platform::kPhotoTags, &FileTags::photoProblem},
    {Tag::Width, &FileTags::width, platform::kPhotoTags, &FileTags::photoProblem},
    {Tag::Height, &FileTags::height, platform::kPhotoTags, &FileTags::photoProblem},
    {Tag::Iso, &FileTags::iso, platform::kPhotoTags, &FileTags::photoProblem},
    {Tag::Artist, &FileTags::artist, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::AlbumArtist, &FileTags::albumArtist, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::Album, &FileTags::album, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::Title, &FileTags::title, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::Track, &FileTags::track, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::Disc, &FileTags::disc, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::Year, &FileTags::year, platform::kMusicTags, &FileTags::musicProblem},
    {Tag::Genre, &FileTags::genre, platform::kMusicTags, &FileTags::musicProblem},
};

unsigned Threads(std::size_t count) {
    return count < 2 ? 1 : std::clamp(std::thread::hardware_concurrency(), 1U, kMostThreads);
}

}  // namespace

unsigned SourcesFor(const engine::TagSet& used) {
    unsigned sources = 0;
    for (const Source& s : kSources) {
        if (used.test(static_cast<std::size_t>(s.tag))) {
            sources |= s.source;
        }
    }
    return sources;
}

engine::TagValues ValuesOf(const FileTags& tags, unsigned sources) {
    engine::TagValues values;
    for (const Source& s : kSources) {
        if ((sources & s.source) != 0) {
            values.entries.push_back({s.tag, tags.*s.value, tags.*s.problem});
        }
    }
    return values;
}

/// What one file needs, and, once a thread has done it, what it found.
struct TagCache::Work {
    std::size_t row = 0;
    std::string path;
    std::string hostPath;
    const Entry* known = nullptr;  // the values kept of the file, if any
    bool current = false;          // kept values already confirmed in this listing
    unsigned wanted = 0;
    // Filled by the thread:
    platform::FileStamp stamp;
    bool keep = false;  // the kept values still hold
    unsigned read = 0;  // the sources read now
    FileTags tags;

    void Do(const platform::TagReader& reader) {
        try {
            Look(reader);
        } catch (const std::exception& error) {
            // Out of memory, most likely: this file has no values, the
            // others are read on.
            keep = false;
            read = wanted;
            tags = {};
            for (const Source& s : kSources) {
                tags.*s.problem = error.what();
            }
        }
    }

    void Look(const platform::TagReader& reader) {
        keep = known != nullptr && (current || reader.Stamp(hostPath) == known->stamp);
        read = keep ? wanted & ~known->sources : wanted;
        if (read != 0) {
            tags = reader.Read(hostPath, read);
            stamp = tags.stamp;
        } else {
            stamp = known->stamp;
        }
    }
};

void TagCache::NewListing(std::size_t rowCount) {
    ++listing_;
    rows_.assign(rowCount, nullptr);
    std::erase_if(entries_,
                  [this](const auto& item) { return item.second.listing + 1 < listing_; });
}

void TagCache::ForgetRow(std::size_t row) {
    if (row < rows_.size()) {
        rows_[row] = nullptr;
    }
}

bool TagCache::Known(std::size_t row, unsigned sources) const {
    const Entry* entry = row < rows_.size() ? rows_[row] : nullptr;
    return entry != nullptr && entry->listing == listing_ && (entry->sources & sources) == sources;
}

const engine::TagValues* TagCache::Find(std::size_t row, unsigned sources) const {
    return Known(row, sources) ? &rows_[row]->values : nullptr;
}

void TagCache::Merge(Work& work) {
    Entry& entry = entries_[work.path];
    if (!work.keep) {
        entry = Entry{};
    }
    entry.stamp = work.stamp;
    entry.listing = listing_;
    if (work.read != 0) {
        engine::TagValues more = ValuesOf(work.tags, work.read);
        std::move(more.entries.begin(), more.entries.end(),
                  std::back_inserter(entry.values.entries));
        entry.sources |= work.read;
    }
    if (work.row >= rows_.size()) {
        rows_.resize(work.row + 1, nullptr);
    }
    rows_[work.row] = &entry;
}

bool TagCache::Fill(const platform::TagReader& reader, std::span<const std::size_t> rows,
                    const RowFiles& files, unsigned sources, TagReadObserver& observer) {
    // Only rows whose values are not known for this listing need a look.
    std::vector<std::size_t> pending;
    for (const std::size_t row : rows) {
        if (!Known(row, sources)) {
            pending.push_back(row);
        }
    }
    if (pending.empty()) {
        return true;
    }
    observer.Started(static_cast<int>(pending.size()));
    const auto step = static_cast<std::size_t>(std::max(observer.QuestionStep(), 1));
    std::vector<Work> batch;
    for (std::size_t done = 0; done < pending.size();) {
        // A batch never passes a multiple of the question's step.
        const std::size_t size = std::min({kBatch, pending.size() - done, step - done % step});
        batch.assign(size, Work{});
        for (std::size_t k = 0; k < size; ++k) {
            Work& work = batch[k];
            work.row = pending[done + k];
            work.path = files.PathOf(work.row);
            work.hostPath = files.HostPathOf(work.path);
            work.wanted = sources;
            if (const auto found = entries_.find(work.path); found != entries_.end()) {
                work.known = &found->second;
                work.current = found->second.listing == listing_;
            }
        }
        std::atomic<std::size_t> next = 0;
        const auto work = [&] {
            for (std::size_t k = next++; k < size; k = next++) {
                batch[k].Do(reader);
            }
        };
        {
            std::vector<std::jthread> helpers;
            for (unsigned t = 1; t < Threads(size); ++t) {
                try {
                    helpers.emplace_back(work);
                } catch (const std::system_error&) {
                    break;  // the calling thread does the rest
                }
            }
            work();
        }
        for (Work& finished : batch) {
            Merge(finished);
        }
        done += size;
        if (!observer.ContinueAfter(static_cast<int>(done))) {
            return false;
        }
    }
    return true;
}

}  // namespace kestrel::lists
