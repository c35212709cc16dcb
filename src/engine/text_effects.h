#pragma once

#include <string>
#include <string_view>

// Cosmetic effects applied to the base name as the last case-related step.
namespace kestrel::engine {

/// Puts `count` spaces between neighbouring characters; a count below 1 and a
/// text of fewer than two characters leave the text as it is.
std::u32string SpaceOutCharacters(std::u32string_view text, int count);
/// Reverses the order of the code points.
void ReverseText(std::u32string& text);
/// Inserts `separator` before each upper-case letter that does not follow a
/// word separator: "MyHolidayPhotos" becomes "My Holiday Photos".
std::u32string SeparateCapitalizedWords(std::u32string_view text, std::u32string_view separator);

/// The entries of the TextFX box, in list order.
enum class TextEffect { None, SpaceOut, Reverse, SeparateCapitalized };

/// Runs an effect with the settings the main window uses: one space.
void ApplyTextEffect(TextEffect effect, std::u32string& text);

}  // namespace kestrel::engine
