#pragma once

#include <cstdint>
#include <string>

// What a file says about itself, for the tags of the inserted and replacement
// texts: its dates and size, a photo's EXIF data, a song's tags, a video's
// creation time. The libraries that read file contents live behind this one
// interface, so that nothing above the platform layer sees them and tests can
// count what is read.
namespace kestrel::platform {

/// The kinds of values a read is asked for, as bits.
enum TagSource : unsigned {
    kFileTags = 1,   // modified, created, size
    kPhotoTags = 2,  // make, camera, lens, width, height, iso
    kTakenTag = 4,   // taken: a photo's, else a video's
    kMusicTags = 8,  // artist, album artist, album, title, track, disc, year, genre
};

/// What identifies the contents of a file without reading them.
struct FileStamp {
    bool present = false;
    std::uint64_t size = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

/// The values of one file as plain text: a date as "yyyy-MM-dd HH:mm:ss" (the
/// time stored in the file; file times and a video's UTC time in this
/// computer's time zone), a number in decimal digits, any other text as the
/// file holds it, cut to a bounded length. Empty when the file has none.
struct FileTags {
    FileStamp stamp;
    std::string modified, created, size;
    std::string taken;
    std::string make, camera, lens, width, height, iso;
    std::string artist, albumArtist, album, title, track, disc, year, genre;
    /// Why a kind of value could not be read: empty when the file was read
    /// (whether or not it holds the value) or that kind was not asked for.
    std::string fileProblem, photoProblem, takenProblem, musicProblem;
};

class TagReader {
  public:
    virtual ~TagReader() = default;
    /// The file's stamp, to tell whether values read before still hold.
    virtual FileStamp Stamp(const std::string& hostPath) const = 0;
    /// Reads the `sources` (TagSource bits) of one file. Never throws: what
    /// goes wrong becomes a problem text. Safe to call from several threads
    /// at once.
    virtual FileTags Read(const std::string& hostPath, unsigned sources) const = 0;
};

}  // namespace kestrel::platform
