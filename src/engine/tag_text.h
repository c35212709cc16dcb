#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/row_message.h"
#include "engine/tag_values.h"

// A text typed into an inserted or replacement text, with its tags found:
// "<taken:yyyy-MM-dd> ?" is a tag followed by the literal " ?". Only a known
// tag name in a format that fits it is a tag; any other "<...>" stays literal
// text, as it was before tags existed.
namespace kestrel::engine {

/// The longest value a tag puts into a name, in characters.
inline constexpr std::size_t kMaxTagValueLength = 255;

/// One piece of a tagged text: literal text, or the tag numbered `field`.
struct TextPart {
    std::u32string literal;
    int field = -1;
};

/// The first tag of a text that found no value in a file, and why.
struct TagMiss {
    RowMessage message;
    bool Missed() const { return !message.Empty(); }
};

class TaggedText {
  public:
    TaggedText();
    explicit TaggedText(std::u32string_view typed);
    ~TaggedText();
    TaggedText(TaggedText&&) noexcept;
    TaggedText& operator=(TaggedText&&) noexcept;

    bool HasTags() const { return !fields_.empty(); }
    /// The whole text when it holds no tags.
    const std::u32string& Literal() const { return literal_; }
    /// Literal pieces and tags in their order.
    std::span<const TextPart> Parts() const { return parts_; }
    /// The tags the text names, alternatives included.
    TagSet Used() const;

    /// The value tag `field` takes from `values` (empty when it has none), cut
    /// to kMaxTagValueLength characters, with each character that would be an
    /// instruction in a name (the eight a name cannot hold, "\" and control
    /// characters) made "_". A tag without a value sets `miss`, unless set.
    void Value(int field, const TagValues& values, std::u32string& out, TagMiss& miss) const;
    /// The text with every tag replaced by its value, written over `out`.
    void Fill(const TagValues& values, std::u32string& out, TagMiss& miss) const;

  private:
    struct Field;
    std::u32string literal_;
    std::vector<TextPart> parts_;
    std::vector<std::unique_ptr<Field>> fields_;
};

/// What cannot stand in a name, in a value read from a file, made "_".
void MakeHarmless(std::u32string& value);

/// The value of one entry as a tag without a format puts it into a name
/// ("2001-02-03" for a date); empty when there is none.
std::string DefaultTagText(const TagEntry& entry);

}  // namespace kestrel::engine
