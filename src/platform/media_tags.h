#pragma once

#include <cstdint>
#include <ctime>
#include <initializer_list>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <string_view>

#include "platform/tag_reader.h"

// The three libraries that read file contents, each behind one function:
// exiv2 for photos, TagLib for music, FFmpeg's libavformat for videos. Files are
// untrusted: every library error is caught here, per file, and what a file
// claims (sizes, counts, lengths) is bounded before it is used.
namespace kestrel::platform {

/// Where a reader finds a file's contents: a file of this host, or bytes in
/// memory (what the fuzz target feeds).
struct ContentSource {
    std::string hostPath;
    std::span<const std::uint8_t> bytes;
    bool InMemory() const { return hostPath.empty(); }
};

enum class ContentOutcome {
    Read,         // the library knows the kind and read it
    NotThisKind,  // not a photo (a sound file, a video) this library reads
    Failed,       // of its kind, but damaged or cut short
};

struct ContentRead {
    ContentOutcome outcome = ContentOutcome::Read;
    /// The library's words, or Kestrel's own in English, for Failed. A problem
    /// goes into the preview lines as it is, so it is never translated here.
    std::string problem;
};

/// `taken`, and with `allPhotoTags` make, camera, lens, width, height and iso.
ContentRead ReadPhotoTags(const ContentSource& source, bool allPhotoTags, FileTags& tags);
/// `taken` from the creation time of an MP4, QuickTime or Matroska file,
/// through FFmpeg's libavformat, loaded the first time a file that starts as
/// such a video is read. Safe to use from several threads at once.
class VideoReader {
  public:
    VideoReader();
    ~VideoReader();
    VideoReader(const VideoReader&) = delete;
    VideoReader& operator=(const VideoReader&) = delete;

    ContentRead ReadTaken(const ContentSource& source, FileTags& tags) const;

  private:
    struct Library;
    /// libavformat's functions; null when it cannot be loaded.
    const Library* Loaded() const;

    mutable std::once_flag loading_;
    mutable std::unique_ptr<Library> library_;
};
/// Artist, album artist, album, title, track, disc, year and genre.
ContentRead ReadMusicTags(const ContentSource& source, FileTags& tags);

/// The photo, taken and music values of `sources`, with their problems: all
/// but what the file system keeps.
void ReadContentTags(const ContentSource& source, unsigned sources, const VideoReader& video,
                     FileTags& tags);

/// "yyyy-MM-dd HH:mm:ss" of a text written in one of the strptime `formats`
/// (with nothing but blanks after it); empty when it is no such date.
std::string PlainDate(std::string_view text, std::initializer_list<const char*> formats);
/// "yyyy-MM-dd HH:mm:ss" of a moment in this computer's time zone.
std::string PlainLocalDate(std::time_t moment);
/// A text from a file, without leading and trailing blanks and cut to a
/// length no name needs more of.
std::string BoundedText(std::string_view text);
/// A number from a file as decimal digits; empty unless 1 to `largest`.
std::string BoundedNumber(long long value, long long largest);

}  // namespace kestrel::platform
