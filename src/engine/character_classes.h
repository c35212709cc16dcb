#pragma once

#include <string_view>

// The fixed character classes of the case and text functions. They are exactly
// these characters, not Unicode's letters or punctuation, so that names come
// out the same whatever the locale.
namespace kestrel::engine {

/// Characters that end a case rule's word; quoted by the case rule editor.
inline constexpr std::string_view kRuleSeparators = " 1234567890,.;()[]{}_-+=!@#$%&";
/// Characters after which "Separate capitalized words" inserts nothing.
inline constexpr std::string_view kWordSeparators = " ,.;()[]{}_-+=!@#$%&";

/// Beyond Latin-1 a character counts when a case partner of it is a word
/// character (Ÿ, the Kelvin sign); asked rarely, so not inline.
bool IsWordCharacterBeyondLatin1(char32_t c);

/// ASCII letters and digits and the Latin-1 letters (not x or / signs), tested
/// without regard to letter case: a character counts when it or a case partner
/// is one of them. Inline: the case functions ask it for every character.
inline bool IsWordCharacter(char32_t c) {
    if (c >= 0x100) {
        return IsWordCharacterBeyondLatin1(c);
    }
    return (c >= U'0' && c <= U'9') || (c >= U'A' && c <= U'Z') || (c >= U'a' && c <= U'z') ||
           (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}
bool IsWordSeparator(char32_t c);
bool IsRuleSeparator(char32_t c);

}  // namespace kestrel::engine
