// Music through TagLib: MP3, FLAC, Ogg Vorbis, Opus and MP4 audio (M4A).
#include <taglib/flacfile.h>
#include <taglib/id3v2framefactory.h>
#include <taglib/mp4file.h>
#include <taglib/mpegfile.h>
#include <taglib/opusfile.h>
#include <taglib/tag.h>
#include <taglib/tbytevectorstream.h>
#include <taglib/tfilestream.h>
#include <taglib/tpropertymap.h>
#include <taglib/vorbisfile.h>

#include <exception>
#include <memory>

#include "platform/media_tags.h"
#include "text/translation.h"

namespace kestrel::platform {
namespace {

constexpr long long kLargestTrack = 99'999;
constexpr long long kLargestYear = 9999;
// In English, as every problem: the window translates them where it shows them.
constexpr const char* kNotMusic = N_("not a sound file Kestrel reads");
constexpr const char* kDamaged = N_("the sound file is damaged or cut short");
constexpr const char* kNotOpened = N_("the file cannot be opened");

// The kind is told by the contents, as TagLib's own tests tell it, so that a
// file named for another kind is still read as what it is. MPEG comes last:
// its test looks for a frame anywhere near the start.
std::unique_ptr<TagLib::File> OpenMusic(TagLib::IOStream* stream) {
    auto* frames = TagLib::ID3v2::FrameFactory::instance();
    if (TagLib::FLAC::File::isSupported(stream)) {
        return std::make_unique<TagLib::FLAC::File>(stream, frames, false);
    }
    if (TagLib::MP4::File::isSupported(stream)) {
        return std::make_unique<TagLib::MP4::File>(stream, false);
    }
    if (TagLib::Ogg::Vorbis::File::isSupported(stream)) {
        return std::make_unique<TagLib::Ogg::Vorbis::File>(stream, false);
    }
    if (TagLib::Ogg::Opus::File::isSupported(stream)) {
        return std::make_unique<TagLib::Ogg::Opus::File>(stream, false);
    }
    if (TagLib::MPEG::File::isSupported(stream)) {
        return std::make_unique<TagLib::MPEG::File>(stream, frames, false);
    }
    return nullptr;
}

std::string Joined(const TagLib::PropertyMap& properties, const char* key) {
    const auto found = properties.find(key);
    if (found == properties.end() || found->second.isEmpty()) {
        return {};
    }
    return BoundedText(found->second.toString(", ").to8Bit(true));
}

// "2/3" is disc 2 of 3.
std::string DiscOf(const TagLib::PropertyMap& properties) {
    const auto found = properties.find("DISCNUMBER");
    if (found == properties.end() || found->second.isEmpty()) {
        return {};
    }
    return BoundedNumber(found->second.front().split("/").front().toInt(), kLargestTrack);
}

void ReadFrom(const TagLib::File& file, FileTags& tags) {
    const TagLib::PropertyMap properties = file.properties();
    tags.artist = Joined(properties, "ARTIST");
    tags.albumArtist = Joined(properties, "ALBUMARTIST");
    tags.album = Joined(properties, "ALBUM");
    tags.title = Joined(properties, "TITLE");
    tags.genre = Joined(properties, "GENRE");
    tags.disc = DiscOf(properties);
    if (const TagLib::Tag* tag = file.tag()) {
        tags.track = BoundedNumber(tag->track(), kLargestTrack);
        tags.year = BoundedNumber(tag->year(), kLargestYear);
    }
}

std::unique_ptr<TagLib::IOStream> OpenStream(const ContentSource& source,
                                             TagLib::ByteVector& bytes) {
    if (source.InMemory()) {
        bytes.setData(reinterpret_cast<const char*>(source.bytes.data()),
                      static_cast<unsigned>(source.bytes.size()));
        return std::make_unique<TagLib::ByteVectorStream>(bytes);
    }
    return std::make_unique<TagLib::FileStream>(source.hostPath.c_str(), true);
}

}  // namespace

ContentRead ReadMusicTags(const ContentSource& source, FileTags& tags) {
    try {
        TagLib::ByteVector bytes;
        const std::unique_ptr<TagLib::IOStream> stream = OpenStream(source, bytes);
        if (!stream->isOpen()) {
            return {ContentOutcome::Failed, kNotOpened};
        }
        const std::unique_ptr<TagLib::File> file = OpenMusic(stream.get());
        if (file == nullptr) {
            return {ContentOutcome::NotThisKind, kNotMusic};
        }
        if (!file->isValid()) {
            return {ContentOutcome::Failed, kDamaged};
        }
        ReadFrom(*file, tags);
        return {};
    } catch (const std::exception& error) {
        return {ContentOutcome::Failed, BoundedText(error.what())};
    }
}

}  // namespace kestrel::platform
