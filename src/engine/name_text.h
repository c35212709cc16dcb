#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The text functions the name pipeline is built from. They work on code
// points, so every position is a character position as the user counts it,
// and each leaves its text unchanged when its inputs do not fit.
namespace kestrel::engine {

struct FolderMarkSplit {
    std::u32string_view name;  // without the mark
    std::u32string_view mark;  // "\" or empty
};
FolderMarkSplit SplitFolderMark(std::u32string_view name);

/// Removes `count` characters starting at the 1-based `position` (counted from
/// the right end when `fromRight`, where position 1 is the last character) and
/// returns the removed span. Out-of-range or non-positive values remove nothing.
std::u32string CropText(std::u32string& text, std::int64_t position, std::int64_t count,
                        bool fromRight);
/// CropText into `cut`, reusing its room.
void CropTextInto(std::u32string& text, std::int64_t position, std::int64_t count, bool fromRight,
                  std::u32string& cut);

/// Replaces occurrences of `find`, scanning left to right without re-scanning
/// inserted text. An empty `find` leaves the text unchanged. The result is cut
/// at `limit` characters, and the work stops there.
std::u32string ReplaceText(std::u32string_view text, std::u32string_view find,
                           std::u32string_view replacement, bool caseSensitive, bool firstOnly,
                           std::size_t limit = std::u32string::npos);

/// Texts a caller keeps from name to name, so that replacing in a long list
/// allocates nothing once they have grown.
struct ReplaceBuffers {
    std::u32string foldedText;
    std::u32string foldedFind;
    std::u32string out;
};
/// ReplaceText on `text` itself; a text without `find` is not copied.
void ReplaceTextInPlace(std::u32string& text, std::u32string_view find,
                        std::u32string_view replacement, bool caseSensitive, bool firstOnly,
                        std::size_t limit, ReplaceBuffers& buffers);

/// Swaps the 1-based areas `low` and `high` (low < high) of a text split at
/// each `delimiter` found left to right, and joined again with it; false,
/// and nothing changed, when there are fewer areas.
bool SwapAreas(std::u32string& text, std::u32string_view delimiter, std::int64_t low,
               std::int64_t high, std::u32string& scratch);

/// Splits at `delimiter`; inside a `quote` pair (0 = no quoting) a delimiter
/// stays part of the area. An empty text gives no areas; a delimiter at the end
/// leaves one final empty area. An empty delimiter gives the whole text as one area.
std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiter, char quote);

/// The number left-padded with "0" to `digits` characters (sign included), never
/// truncated; `digits` 0 means as wide as number + remaining, the last number of
/// the run. Replaces the first "?" of `base`, or goes in front when there is none.
void InsertAutonumber(std::u32string& base, int digits, std::int64_t number,
                      std::int64_t remaining);

/// Inserts zeroes in front of the first (or, `fromRight`, the last) run of ASCII
/// digits so that it is at least `length` digits long.
void PadNumberRun(std::u32string& base, int length, bool fromRight);

/// Each run of spaces becomes one space; leading and trailing spaces go.
void CollapseSpaces(std::u32string& text);

/// Each run of backslashes becomes one; then one leading backslash goes.
void CollapseBackslashes(std::u32string& text);

}  // namespace kestrel::engine
