#include "platform/library_tag_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <exiv2/exiv2.hpp>

#include <cstdio>
#include <mutex>

#include "platform/media_tags.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

// More than any name has room for; the rest of a long text is never used.
constexpr std::size_t kLongestText = 255;

// Problems stay in English here: a row's message carries them into the
// preview lines, which read the same in every language; the window shows them
// translated.
constexpr const char* kNotPhoto = N_("not a photo Kestrel reads");
constexpr const char* kNotPhotoOrVideo = N_("not a photo or video Kestrel reads");
constexpr const char* kNotFound = N_("the file cannot be found");
constexpr const char* kNotMusic = N_("not a sound file Kestrel reads");

// The XMP toolkit inside exiv2 is shared by every thread and keeps the lock
// it is given for the rest of the process, so the lock lives as long.
std::mutex& XmpLock() {
    static std::mutex lock;
    return lock;
}

void LockXmp(void* data, bool lock) {
    auto* mutex = static_cast<std::mutex*>(data);
    if (lock) {
        mutex->lock();
    } else {
        mutex->unlock();
    }
}

bool AcceptedAfterDate(const char* rest) {
    // Blanks may follow, and the fraction or time zone of an ISO date, which
    // is left aside: the time reads as the clock that wrote it did.
    return *rest == '\0' || *rest == ' ' || *rest == '.' || *rest == 'Z' || *rest == '+' ||
           *rest == '-';
}

std::string PlainFrom(const struct tm& parts) {
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", parts.tm_year + 1900,
                  parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec);
    return text;
}

std::int64_t Nanoseconds(const struct statx_timestamp& time) {
    return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}

bool StatFile(const std::string& hostPath, struct statx& info) {
    return ::statx(AT_FDCWD, hostPath.c_str(), AT_STATX_SYNC_AS_STAT,
                   STATX_TYPE | STATX_SIZE | STATX_MTIME | STATX_BTIME, &info) == 0;
}

FileStamp StampOf(const struct statx& info) {
    return {true, info.stx_size, Nanoseconds(info.stx_mtime)};
}

void ReadFileTimes(const struct statx& info, FileTags& tags) {
    tags.modified = PlainLocalDate(static_cast<std::time_t>(info.stx_mtime.tv_sec));
    // Not every file system keeps the time a file was made.
    if ((info.stx_mask & STATX_BTIME) != 0) {
        tags.created = PlainLocalDate(static_cast<std::time_t>(info.stx_btime.tv_sec));
    }
    if (S_ISREG(info.stx_mode)) {
        tags.size = std::to_string(info.stx_size);
    }
}

void NotContents(unsigned sources, const std::string& why, FileTags& tags) {
    if ((sources & kPhotoTags) != 0) {
        tags.photoProblem = why.empty() ? kNotPhoto : why;
    }
    if ((sources & kTakenTag) != 0) {
        tags.takenProblem = why.empty() ? kNotPhotoOrVideo : why;
    }
    if ((sources & kMusicTags) != 0) {
        tags.musicProblem = why.empty() ? kNotMusic : why;
    }
}

// A photo's date, else a video's; a damaged file says what went wrong, a
// file of another kind that it is none.
void ReadTaken(const ContentSource& source, const ContentRead& photo, const VideoReader& reader,
               FileTags& tags) {
    if (!tags.taken.empty() || photo.outcome == ContentOutcome::Failed) {
        tags.takenProblem = photo.problem;
        return;
    }
    const ContentRead video = reader.ReadTaken(source, tags);
    if (video.outcome == ContentOutcome::Failed) {
        tags.takenProblem = video.problem;
    } else if (photo.outcome == ContentOutcome::NotThisKind &&
               video.outcome == ContentOutcome::NotThisKind) {
        tags.takenProblem = kNotPhotoOrVideo;
    }
}

}  // namespace

std::string PlainDate(std::string_view text, std::initializer_list<const char*> formats) {
    const std::string terminated(text);
    for (const char* format : formats) {
        struct tm parts {};
        const char* rest = ::strptime(terminated.c_str(), format, &parts);
        if (rest != nullptr && AcceptedAfterDate(rest) && parts.tm_year >= -1900 &&
            parts.tm_year <= 9999 - 1900) {
            return PlainFrom(parts);
        }
    }
    return {};
}

std::string PlainLocalDate(std::time_t moment) {
    struct tm parts {};
    if (::localtime_r(&moment, &parts) == nullptr || parts.tm_year < -1900 ||
        parts.tm_year > 9999 - 1900) {
        return {};
    }
    return PlainFrom(parts);
}

std::string BoundedText(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\0' || c == '\t'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return std::string(text::FirstCodePoints(text, kLongestText));
}

std::string BoundedNumber(long long value, long long largest) {
    return value >= 1 && value <= largest ? std::to_string(value) : std::string();
}

void ReadContentTags(const ContentSource& source, unsigned sources, const VideoReader& video,
                     FileTags& tags) {
    if ((sources & (kPhotoTags | kTakenTag)) != 0) {
        const ContentRead photo = ReadPhotoTags(source, (sources & kPhotoTags) != 0, tags);
        if ((sources & kPhotoTags) != 0) {
            tags.photoProblem =
                photo.outcome == ContentOutcome::NotThisKind ? kNotPhoto : photo.problem;
        }
        if ((sources & kTakenTag) != 0) {
            ReadTaken(source, photo, video, tags);
        }
    }
    if ((sources & kMusicTags) != 0) {
        tags.musicProblem = ReadMusicTags(source, tags).problem;
    }
}

LibraryTagReader::LibraryTagReader() {
    Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
    Exiv2::XmpParser::initialize(&LockXmp, &XmpLock());
}

FileStamp LibraryTagReader::Stamp(const std::string& hostPath) const {
    struct statx info {};
    return StatFile(hostPath, info) ? StampOf(info) : FileStamp{};
}

FileTags LibraryTagReader::Read(const std::string& hostPath, unsigned sources) const {
    FileTags tags;
    struct statx info {};
    if (!StatFile(hostPath, info)) {
        tags.fileProblem = kNotFound;
        NotContents(sources, kNotFound, tags);
        return tags;
    }
    tags.stamp = StampOf(info);
    if ((sources & kFileTags) != 0) {
        ReadFileTimes(info, tags);
    }
    // Folders, devices and pipes have no contents to read; a pipe would
    // wait for a writer.
    if (!S_ISREG(info.stx_mode)) {
        NotContents(sources, {}, tags);
        return tags;
    }
    ReadContentTags({hostPath, {}}, sources, video_, tags);
    return tags;
}

FileTags LibraryTagReader::ReadContents(std::span<const std::uint8_t> bytes,
                                        unsigned sources) const {
    FileTags tags;
    ReadContentTags({{}, bytes}, sources, video_, tags);
    return tags;
}

}  // namespace kestrel::platform
