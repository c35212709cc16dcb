#include "engine/tag_values.h"

#include <algorithm>

#include "text/translation.h"

namespace kestrel::engine {
namespace {

using enum TagKind;
using enum TagFamily;

// The descriptions are marked for the catalogue; the menu translates them.
constexpr std::array<TagInfo, kTagCount> kTags = {{
    {Tag::Modified, "modified", Date, File, N_("When the file was last changed")},
    {Tag::Created, "created", Date, File,
     N_("When the file was made, where the file system keeps that date")},
    {Tag::Size, "size", Number, File, N_("The file's size in bytes")},
    {Tag::Taken, "taken", Date, Photo,
     N_("When the photo or video was taken, as the camera's clock read")},
    {Tag::Make, "make", Text, Photo, N_("The maker of the camera")},
    {Tag::Camera, "camera", Text, Photo, N_("The camera's model")},
    {Tag::Lens, "lens", Text, Photo, N_("The lens the photo was taken with")},
    {Tag::Width, "width", Number, Photo, N_("The picture's width in pixels")},
    {Tag::Height, "height", Number, Photo, N_("The picture's height in pixels")},
    {Tag::Iso, "iso", Number, Photo, N_("The ISO speed of the photo")},
    {Tag::Artist, "artist", Text, Music, N_("The performing artist")},
    {Tag::AlbumArtist, "albumartist", Text, Music, N_("The artist of the whole album")},
    {Tag::Album, "album", Text, Music, N_("The album's title")},
    {Tag::Title, "title", Text, Music, N_("The track's title")},
    {Tag::Track, "track", Number, Music, N_("The track's number on the album")},
    {Tag::Disc, "disc", Number, Music, N_("The disc's number in a set")},
    {Tag::Year, "year", Number, Music, N_("The year of the recording")},
    {Tag::Genre, "genre", Text, Music, N_("The genre")},
}};

char32_t AsciiLower(char32_t c) {
    return c >= U'A' && c <= U'Z' ? c + (U'a' - U'A') : c;
}

bool SameName(std::u32string_view typed, std::string_view name) {
    return typed.size() == name.size() &&
           std::equal(typed.begin(), typed.end(), name.begin(), [](char32_t a, char b) {
               return AsciiLower(a) == static_cast<char32_t>(static_cast<unsigned char>(b));
           });
}

}  // namespace

const std::array<TagInfo, kTagCount>& AllTags() {
    return kTags;
}

const TagInfo& InfoOf(Tag tag) {
    return kTags[static_cast<std::size_t>(tag)];
}

std::optional<Tag> TagNamed(std::u32string_view name) {
    for (const TagInfo& info : kTags) {
        if (SameName(name, info.name)) {
            return info.tag;
        }
    }
    return std::nullopt;
}

const TagEntry* FindTag(const TagValues& values, Tag tag) {
    for (const TagEntry& entry : values.entries) {
        if (entry.tag == tag) {
            return &entry;
        }
    }
    return nullptr;
}

}  // namespace kestrel::engine
