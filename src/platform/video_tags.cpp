// A video's creation time through FFmpeg's libavformat: MP4, QuickTime and
// Matroska. libavformat brings every codec FFmpeg knows, well over a hundred
// shared libraries; linked to the program, they would be loaded at each start,
// command line included. So it is loaded the first time a video is read, and
// a run that reads none pays nothing for it.
extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/error.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <span>
#include <string_view>
#include <type_traits>

#include "platform/media_tags.h"
#include "text/translation.h"

namespace kestrel::platform {
namespace {

// The libavformat whose headers this was built with (named by the build).
constexpr const char* kLibrary = KESTREL_AVFORMAT_LIBRARY;

// Only the readers of the three kinds of video are ever used, whatever a file
// claims to be.
constexpr const char* kVideoFormats = "mov,mp4,m4a,3gp,3g2,mj2,matroska,webm";
// libavformat asks for the parts of a file it needs; a file that keeps asking
// for more (a crafted one) is left with what it was given so far.
constexpr int kChunk = 64 * 1024;
constexpr std::size_t kMostBytes = 16 * 1024 * 1024;

// In English, as every problem: the window translates them where it shows them.
constexpr const char* kNotInstalled =
    N_("FFmpeg's libavformat, which reads videos, is not installed");
constexpr const char* kDamaged = N_("the video is damaged or cut short");

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

    std::size_t Size() const { return size_; }

    /// Up to the buffer's size from `offset` on; 0 at the end or on an error.
    std::size_t Read(std::size_t offset, std::span<std::uint8_t> buffer) const {
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

// Only files that start as the videos read here are handed to libavformat: an
// MP4 or QuickTime file with one of the boxes such a file begins with, a
// Matroska file with its EBML mark.
bool StartsAsVideo(const Feed& feed) {
    std::array<std::uint8_t, 8> head{};
    const std::size_t count = feed.Read(0, head);
    const std::string_view start(reinterpret_cast<const char*>(head.data()), count);
    if (start.starts_with("\x1A\x45\xDF\xA3")) {
        return true;
    }
    const std::string_view box = count == head.size() ? start.substr(4) : std::string_view();
    return box == "ftyp" || box == "moov" || box == "mdat" || box == "wide" || box == "free" ||
           box == "skip" || box == "pnot";
}

// libavformat's reading position in the feed.
struct Cursor {
    const Feed* feed = nullptr;
    std::size_t offset = 0;
    std::size_t given = 0;
};

int ReadPacket(void* opaque, std::uint8_t* buffer, int size) {
    auto& cursor = *static_cast<Cursor*>(opaque);
    if (cursor.given >= kMostBytes || size <= 0) {
        return AVERROR_EOF;
    }
    const std::size_t count =
        cursor.feed->Read(cursor.offset, {buffer, static_cast<std::size_t>(size)});
    if (count == 0) {
        return AVERROR_EOF;
    }
    cursor.offset += count;
    cursor.given += count;
    return static_cast<int>(count);
}

std::int64_t Seek(void* opaque, std::int64_t offset, int whence) {
    auto& cursor = *static_cast<Cursor*>(opaque);
    const auto size = static_cast<std::int64_t>(cursor.feed->Size());
    std::int64_t target = offset;
    switch (whence & ~AVSEEK_FORCE) {
        case AVSEEK_SIZE:
            return size;
        case SEEK_CUR:
            target += static_cast<std::int64_t>(cursor.offset);
            break;
        case SEEK_END:
            target += size;
            break;
        default:
            break;
    }
    if (target < 0 || target > size) {
        return -1;
    }
    cursor.offset = static_cast<std::size_t>(target);
    return target;
}

// "2021-06-05T14:30:00.000000Z": the moment a video file was made, in UTC,
// shown in this computer's time zone. The container's zero (1904 or 1970)
// means no time was written.
std::string LocalFromUtc(const char* text) {
    struct tm parts {};
    const char* end = ::strptime(text, "%Y-%m-%dT%H:%M:%S", &parts);
    if (end == nullptr || (*end != '\0' && *end != '.' && *end != 'Z')) {
        return {};
    }
    const std::time_t moment = ::timegm(&parts);
    return moment > 0 ? PlainLocalDate(moment) : std::string();
}

}  // namespace

/// The few functions of libavformat and libavutil read here.
struct VideoReader::Library {
    decltype(&avformat_alloc_context) allocContext = nullptr;
    decltype(&avformat_open_input) openInput = nullptr;
    decltype(&avformat_close_input) closeInput = nullptr;
    decltype(&avio_alloc_context) allocIo = nullptr;
    decltype(&avio_context_free) freeIo = nullptr;
    decltype(&av_dict_get) dictGet = nullptr;
    decltype(&av_dict_set) dictSet = nullptr;
    decltype(&av_dict_free) dictFree = nullptr;
    decltype(&av_malloc) malloc = nullptr;
    decltype(&av_freep) freep = nullptr;
    decltype(&av_log_set_level) setLogLevel = nullptr;

    bool Load() {
        // Kept for the rest of the process: FFmpeg is not made to be unloaded.
        void* handle = ::dlopen(kLibrary, RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            return false;
        }
        const auto find = [handle](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(
                ::dlsym(handle, name));
            return function != nullptr;
        };
        const bool all = find(allocContext, "avformat_alloc_context") &&
                         find(openInput, "avformat_open_input") &&
                         find(closeInput, "avformat_close_input") &&
                         find(allocIo, "avio_alloc_context") && find(freeIo, "avio_context_free") &&
                         find(dictGet, "av_dict_get") && find(dictSet, "av_dict_set") &&
                         find(dictFree, "av_dict_free") && find(malloc, "av_malloc") &&
                         find(freep, "av_freep") && find(setLogLevel, "av_log_set_level");
        if (all) {
            // What FFmpeg thinks of a damaged file is the row's business, not
            // standard error's.
            setLogLevel(AV_LOG_QUIET);
        }
        return all;
    }

    const char* Value(const AVDictionary* metadata, const char* key) const {
        const AVDictionaryEntry* entry = dictGet(metadata, key, nullptr, 0);
        return entry == nullptr ? "" : entry->value;
    }

    ContentRead ReadTaken(const Feed& feed, FileTags& tags) const {
        auto* buffer = static_cast<std::uint8_t*>(malloc(kChunk));
        Cursor cursor{&feed};
        AVIOContext* io = buffer == nullptr
                              ? nullptr
                              : allocIo(buffer, kChunk, 0, &cursor, &ReadPacket, nullptr, &Seek);
        AVFormatContext* context = io == nullptr ? nullptr : allocContext();
        if (context == nullptr) {
            if (io != nullptr) {
                freep(&io->buffer);
                freeIo(&io);
            } else {
                freep(&buffer);
            }
            throw std::bad_alloc();
        }
        context->pb = io;
        context->flags |= AVFMT_FLAG_CUSTOM_IO;
        AVDictionary* options = nullptr;
        dictSet(&options, "format_whitelist", kVideoFormats, 0);
        // Frees the context when it fails.
        const int opened = openInput(&context, "", nullptr, &options);
        dictFree(&options);
        ContentRead read;
        if (opened < 0) {
            read = {ContentOutcome::Failed, kDamaged};
        } else {
            // A phone's QuickTime file keeps the camera's own clock beside the
            // UTC time; that is shown as stored.
            tags.taken = PlainDate(Value(context->metadata, "com.apple.quicktime.creationdate"),
                                   {"%Y-%m-%dT%H:%M:%S"});
            if (tags.taken.empty()) {
                tags.taken = LocalFromUtc(Value(context->metadata, "creation_time"));
            }
            closeInput(&context);
        }
        freep(&io->buffer);
        freeIo(&io);
        return read;
    }
};

VideoReader::VideoReader() = default;
VideoReader::~VideoReader() = default;

const VideoReader::Library* VideoReader::Loaded() const {
    std::call_once(loading_, [this] {
        auto library = std::make_unique<Library>();
        if (library->Load()) {
            library_ = std::move(library);
        }
    });
    return library_.get();
}

ContentRead VideoReader::ReadTaken(const ContentSource& source, FileTags& tags) const {
    try {
        const Feed feed(source);
        if (feed.Size() == 0 || !StartsAsVideo(feed)) {
            return {ContentOutcome::NotThisKind, {}};
        }
        const Library* library = Loaded();
        if (library == nullptr) {
            return {ContentOutcome::Failed, kNotInstalled};
        }
        return library->ReadTaken(feed, tags);
    } catch (const std::exception& error) {
        return {ContentOutcome::Failed, BoundedText(error.what())};
    }
}

}  // namespace kestrel::platform
