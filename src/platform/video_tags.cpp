// A video's creation time through MediaInfoLib: MP4, QuickTime and Matroska.
#include <MediaInfo/MediaInfo.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <exception>
#include <span>
#include <string_view>
#include <vector>

#include "platform/media_tags.h"

namespace kestrel::platform {
namespace {

using MediaInfoLib::MediaInfo;
using MediaInfoLib::Stream_General;

// MediaInfo asks for the parts of a file it needs; a file that keeps asking
// for more (a crafted one, or one that is no video at all) is left with what
// it was given so far.
constexpr std::size_t kChunk = 64 * 1024;
constexpr std::size_t kMostBytes = 8 * 1024 * 1024;
constexpr int kMostJumps = 64;
constexpr std::size_t kFinalized = 0x08;
constexpr ZenLib::int64u kNoJump = static_cast<ZenLib::int64u>(-1);

// The kinds whose creation time is when the video was taken.
constexpr std::array<std::wstring_view, 4> kVideoFormats = {L"MPEG-4", L"QuickTime", L"Matroska",
                                                            L"WebM"};

// MediaInfo's own texts are ASCII; anything else is no date.
std::string Ascii(const std::wstring& text) {
    std::string out;
    for (const wchar_t c : text.substr(0, 64)) {
        if (c < 0x20 || c > 0x7E) {
            return {};
        }
        out.push_back(static_cast<char>(c));
    }
    return out;
}

// "UTC 2021-06-05 14:30:00" or "2021-06-05 14:30:00 UTC": the moment a video
// file was made, shown in this computer's time zone. The container's zero
// (1904 or 1970) means no time was written.
std::string LocalFromUtc(std::string text) {
    for (const std::string_view marker : {"UTC ", " UTC"}) {
        if (const std::size_t at = text.find(marker); at != std::string::npos) {
            text.erase(at, marker.size());
        }
    }
    struct tm parts {};
    const char* end = ::strptime(text.c_str(), "%Y-%m-%d %H:%M:%S", &parts);
    if (end == nullptr || *end != '\0') {
        return {};
    }
    const std::time_t moment = ::timegm(&parts);
    return moment > 0 ? PlainLocalDate(moment) : std::string();
}

// Where the bytes come from: a file opened here, or memory.
class Feed {
  public:
    explicit Feed(const ContentSource& source) : source_(source) {
        if (source.InMemory()) {
            size_ = source.bytes.size();
            return;
        }
        fd_ = ::open(source.hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        struct stat info {};
        if (fd_ >= 0 && ::fstat(fd_, &info) == 0 && S_ISREG(info.st_mode)) {
            size_ = static_cast<std::size_t>(info.st_size);
        }
    }
    ~Feed() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Feed(const Feed&) = delete;
    Feed& operator=(const Feed&) = delete;

    bool Ok() const { return source_.InMemory() || size_ > 0; }
    std::size_t Size() const { return size_; }

    /// Up to the buffer's size from `offset` on; 0 at the end or on an error.
    std::size_t Read(std::size_t offset, std::span<ZenLib::int8u> buffer) const {
        if (offset >= size_) {
            return 0;
        }
        const std::size_t count = std::min(buffer.size(), size_ - offset);
        if (source_.InMemory()) {
            std::memcpy(buffer.data(), source_.bytes.data() + offset, count);
            return count;
        }
        const ssize_t read = ::pread(fd_, buffer.data(), count, static_cast<off_t>(offset));
        return read > 0 ? static_cast<std::size_t>(read) : 0;
    }

  private:
    const ContentSource& source_;
    int fd_ = -1;
    std::size_t size_ = 0;
};

// MediaInfoLib tries each of its many readers on a file until one takes it,
// and one of them falls over on a crafted text file. Only files that start
// as the three kinds of video read here do are handed to it at all: an MP4
// or QuickTime file with one of the boxes such a file begins with, a
// Matroska file with its EBML mark.
bool StartsAsVideo(const Feed& feed) {
    std::array<ZenLib::int8u, 8> head{};
    const std::size_t count = feed.Read(0, head);
    const std::string_view start(reinterpret_cast<const char*>(head.data()), count);
    if (start.starts_with("\x1A\x45\xDF\xA3")) {
        return true;
    }
    const std::string_view box = count == head.size() ? start.substr(4) : std::string_view();
    return box == "ftyp" || box == "moov" || box == "mdat" || box == "wide" || box == "free" ||
           box == "skip" || box == "pnot";
}

void Parse(MediaInfo& info, const Feed& feed) {
    std::vector<ZenLib::int8u> buffer(kChunk);
    info.Open_Buffer_Init(feed.Size(), 0);
    std::size_t offset = 0;
    std::size_t given = 0;
    for (int jumps = 0; given < kMostBytes && jumps <= kMostJumps;) {
        const std::size_t count = feed.Read(offset, buffer);
        if (count == 0 || (info.Open_Buffer_Continue(buffer.data(), count) & kFinalized) != 0) {
            break;
        }
        given += count;
        offset += count;
        const ZenLib::int64u wanted = info.Open_Buffer_Continue_GoTo_Get();
        if (wanted != kNoJump) {
            offset = static_cast<std::size_t>(std::min<ZenLib::int64u>(wanted, feed.Size()));
            info.Open_Buffer_Init(feed.Size(), offset);
            ++jumps;
        }
    }
    info.Open_Buffer_Finalize();
}

}  // namespace

ContentRead ReadVideoTaken(const ContentSource& source, FileTags& tags) {
    try {
        const Feed feed(source);
        if (!feed.Ok() || !StartsAsVideo(feed)) {
            return {ContentOutcome::NotThisKind, {}};
        }
        MediaInfo info;
        // The container's header is all a creation time needs.
        info.Option(L"ParseSpeed", L"0");
        Parse(info, feed);
        const std::wstring format = info.Get(Stream_General, 0, L"Format");
        if (std::find(kVideoFormats.begin(), kVideoFormats.end(), format) == kVideoFormats.end()) {
            return {ContentOutcome::NotThisKind, {}};
        }
        // A phone's QuickTime file keeps the camera's own clock beside the
        // UTC time; that is shown as stored.
        for (const wchar_t* field : {L"com.apple.quicktime.creationdate", L"Recorded_Date"}) {
            if (tags.taken.empty()) {
                tags.taken =
                    PlainDate(Ascii(info.Get(Stream_General, 0, field)), {"%Y-%m-%dT%H:%M:%S"});
            }
        }
        if (tags.taken.empty()) {
            tags.taken = LocalFromUtc(Ascii(info.Get(Stream_General, 0, L"Encoded_Date")));
        }
        return {};
    } catch (const std::exception& error) {
        return {ContentOutcome::Failed, BoundedText(error.what())};
    }
}

}  // namespace kestrel::platform
