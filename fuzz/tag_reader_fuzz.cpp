// Malformed photos, music and videos through the tag reader: exiv2, TagLib
// and FFmpeg's libavformat on bytes an attacker chose, as a crafted file in a folder
// of downloads would bring them. Every library error must end as a problem
// text, every value within its bounds, and nothing may crash or hang.
//
// The first byte picks the start of a known kind of file, so that a run from
// an empty corpus reaches each library's parser of that kind at once instead
// of guessing its magic numbers.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/library_tag_reader.h"
#include "text/unicode_text.h"

namespace {

using kestrel::platform::FileTags;

constexpr std::array<std::string_view, 11> kStarts = {
    std::string_view(),
    std::string_view("\xFF\xD8\xFF\xE1\x00\x40"
                     "Exif\0\0",
                     12),                                // JPEG with EXIF
    std::string_view("II*\0\x08\0\0\0", 8),              // TIFF, raw files
    std::string_view("\x89PNG\r\n\x1A\n", 8),            // PNG
    std::string_view("RIFF\x40\0\0\0WEBPVP8X", 16),      // WebP
    std::string_view("ID3\x03\0\0\0\0\x01\0", 10),       // MP3 with ID3v2
    std::string_view("fLaC\0\0\0\x22", 8),               // FLAC
    std::string_view("OggS\0\x02\0\0\0\0\0\0\0\0", 14),  // Ogg, Opus
    std::string_view("\0\0\0\x18"
                     "ftypmp42\0\0\0\0mp42isom",
                     24),  // MP4, M4A
    std::string_view("\0\0\0\x14"
                     "ftypqt  \0\0\0\0qt  ",
                     20),                                         // QuickTime
    std::string_view("\x1A\x45\xDF\xA3\x9F\x42\x86\x81\x01", 9),  // Matroska
};

void Require(bool condition) {
    if (!condition) {
        __builtin_trap();
    }
}

// No value may be longer than a name has room for, nor be other than a plain
// date or a number where one is due.
void CheckBounds(const FileTags& tags) {
    for (const std::string* text :
         {&tags.make, &tags.camera, &tags.lens, &tags.artist, &tags.albumArtist, &tags.album,
          &tags.title, &tags.genre, &tags.photoProblem, &tags.takenProblem, &tags.musicProblem}) {
        Require(kestrel::text::CodePointCount(*text) <= 255);
    }
    for (const std::string* number :
         {&tags.width, &tags.height, &tags.iso, &tags.track, &tags.disc, &tags.year}) {
        Require(number->size() <= 8);
        for (const char c : *number) {
            Require(c >= '0' && c <= '9');
        }
    }
    Require(tags.taken.empty() || tags.taken.size() == 19);
}

// One reader for the whole run, as the program has: it quiets the libraries,
// readies exiv2's XMP parser and keeps libavformat loaded.
const kestrel::platform::LibraryTagReader& Reader() {
    static const kestrel::platform::LibraryTagReader reader;
    return reader;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view start = kStarts[data[0] % kStarts.size()];
    std::vector<std::uint8_t> bytes(start.begin(), start.end());
    bytes.insert(bytes.end(), data + 1, data + size);
    constexpr unsigned kAll = kestrel::platform::kPhotoTags | kestrel::platform::kTakenTag |
                              kestrel::platform::kMusicTags;
    CheckBounds(Reader().ReadContents(bytes, kAll));
    return 0;
}
