#include "lists/tag_cache.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <iterator>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace kestrel::lists {
namespace {

using engine::Tag;
using platform::FileTags;

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

/// One file to look at, and what is kept of it.
struct TagCache::Job {
    std::size_t row = 0;
    std::string path;
    std::string hostPath;
    const Entry* known = nullptr;  // the values kept of the file, if any
    bool current = false;          // kept values already confirmed in this listing
};

/// What a thread found of one file.
struct TagCache::Outcome {
    platform::FileStamp stamp;
    bool keep = false;  // the kept values still hold
    unsigned read = 0;  // the sources read now
    FileTags tags;

    void Look(const platform::TagReader& reader, const Job& job, unsigned wanted) {
        try {
            keep = job.known != nullptr &&
                   (job.current || reader.Stamp(job.hostPath) == job.known->stamp);
            read = keep ? wanted & ~job.known->sources : wanted;
            if (read != 0) {
                tags = reader.Read(job.hostPath, read);
                stamp = tags.stamp;
            } else {
                stamp = job.known->stamp;
            }
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
};

void TagCache::NewListing(std::size_t rowCount) {
    ++listing_;
    rows_.assign(rowCount, nullptr);
    rowSources_.assign(rowCount, 0);
    std::erase_if(entries_,
                  [this](const auto& item) { return item.second.listing + 1 < listing_; });
}

void TagCache::ForgetRow(std::size_t row) {
    if (row < rows_.size()) {
        rows_[row] = nullptr;
        rowSources_[row] = 0;
    }
}

void TagCache::Reorder(std::span<const std::uint32_t> from) {
    std::vector<Entry*> rows(from.size(), nullptr);
    std::vector<unsigned char> sources(from.size(), 0);
    for (std::size_t i = 0; i < from.size(); ++i) {
        if (from[i] < rows_.size()) {
            rows[i] = rows_[from[i]];
            sources[i] = rowSources_[from[i]];
        }
    }
    rows_ = std::move(rows);
    rowSources_ = std::move(sources);
}

bool TagCache::Known(std::size_t row, unsigned sources) const {
    return row < rowSources_.size() && rowSources_[row] != 0 &&
           (rowSources_[row] & sources) == sources;
}

const engine::TagValues* TagCache::Find(std::size_t row, unsigned sources) const {
    return Known(row, sources) ? &rows_[row]->values : nullptr;
}

void TagCache::Merge(const Job& job, Outcome& outcome) {
    Entry& entry = entries_[job.path];
    if (!outcome.keep) {
        entry = Entry{};
    }
    entry.stamp = outcome.stamp;
    entry.listing = listing_;
    if (outcome.read != 0) {
        engine::TagValues more = ValuesOf(outcome.tags, outcome.read);
        std::move(more.entries.begin(), more.entries.end(),
                  std::back_inserter(entry.values.entries));
        entry.sources |= outcome.read;
    }
    rows_[job.row] = &entry;
    rowSources_[job.row] = static_cast<unsigned char>(entry.sources);
}

void TagCache::ReadRound(const platform::TagReader& reader, std::span<const Job> jobs,
                         unsigned sources, std::size_t doneBefore, TagReadObserver& observer) {
    std::mutex merging;
    std::atomic<std::size_t> next = 0;
    std::atomic<std::size_t> finished = 0;
    // Each file is merged as soon as it is read, so that no thread waits for
    // another; the entries of the jobs were looked up before, and an entry's
    // place in the map stays where it is while others are added.
    const auto work = [&](bool reports) {
        for (std::size_t k = next++; k < jobs.size(); k = next++) {
            Outcome outcome;
            outcome.Look(reader, jobs[k], sources);
            {
                const std::lock_guard lock(merging);
                Merge(jobs[k], outcome);
            }
            const std::size_t done = ++finished;
            if (reports) {
                observer.Progress(static_cast<int>(doneBefore + done));
            }
        }
    };
    std::vector<std::jthread> helpers;
    for (unsigned t = 1; t < Threads(jobs.size()); ++t) {
        try {
            helpers.emplace_back(work, false);
        } catch (const std::system_error&) {
            break;  // the calling thread does the rest
        }
    }
    work(true);
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
    const std::size_t rowCount =
        std::max(rows_.size(), *std::max_element(pending.begin(), pending.end()) + 1);
    rows_.resize(rowCount, nullptr);
    rowSources_.resize(rowCount, 0);
    observer.Started(static_cast<int>(pending.size()));
    const auto step = static_cast<std::size_t>(std::max(observer.QuestionStep(), 1));
    std::vector<Job> jobs;
    for (std::size_t done = 0; done < pending.size();) {
        // A round ends at each multiple of the question's step.
        const std::size_t end = std::min(pending.size(), done + step - done % step);
        jobs.clear();
        for (std::size_t k = done; k < end; ++k) {
            Job& job = jobs.emplace_back();
            job.row = pending[k];
            job.path = files.PathOf(job.row);
            job.hostPath = files.HostPathOf(job.path);
            if (const auto found = entries_.find(job.path); found != entries_.end()) {
                job.known = &found->second;
                job.current = found->second.listing == listing_;
            }
        }
        ReadRound(reader, jobs, sources, done, observer);
        done = end;
        if (!observer.ContinueAfter(static_cast<int>(done))) {
            return false;
        }
    }
    return true;
}

}  // namespace kestrel::lists
