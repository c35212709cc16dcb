#pragma once

#include <array>
#include <bitset>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The tags a text may name to bring something of a file's contents into a new
// name (<taken>, <artist>), and the record of what one file gave for them.
// The values arrive as plain text, read elsewhere; the engine only formats
// and substitutes them.
namespace kestrel::engine {

enum class Tag : std::uint8_t {
    Modified,
    Created,
    Size,
    Taken,
    Make,
    Camera,
    Lens,
    Width,
    Height,
    Iso,
    Artist,
    AlbumArtist,
    Album,
    Title,
    Track,
    Disc,
    Year,
    Genre,
};
inline constexpr std::size_t kTagCount = 18;

/// How a tag's value is written and which format it takes: a date an ICU date
/// pattern, a number a width of zeroes ("00"), a text none.
enum class TagKind { Date, Number, Text };

/// Where a tag's value comes from, for the menu's headings.
enum class TagFamily { File, Photo, Music };

struct TagInfo {
    Tag tag;
    std::string_view name;  // as written between "<" and ">"
    TagKind kind;
    TagFamily family;
    /// In English; shown as text::Tr gives it.
    std::string_view description;
};

/// Every tag, in the order the menu lists them.
const std::array<TagInfo, kTagCount>& AllTags();
const TagInfo& InfoOf(Tag tag);
/// The tag of that name, letter case aside; none for any other text.
std::optional<Tag> TagNamed(std::u32string_view name);

using TagSet = std::bitset<kTagCount>;

/// What one file gave for one tag.
struct TagEntry {
    Tag tag = Tag::Modified;
    /// A date as "yyyy-MM-dd HH:mm:ss", a number in decimal digits, any other
    /// text as the file holds it; empty when the file has no such value.
    std::string value;
    /// Why there is no value, when the file could not be read for it.
    std::string problem;
};

/// The tags read of one file; a tag that was not asked for has no entry.
struct TagValues {
    std::vector<TagEntry> entries;
};

/// The entry of `tag`, or null when it was not read.
const TagEntry* FindTag(const TagValues& values, Tag tag);

}  // namespace kestrel::engine
