#pragma once

#include <string>
#include <string_view>

// Program text is UTF-8 in std::string at every boundary; functions that count
// character positions convert once to code points (std::u32string) on entry
// and once back on exit. Letter case uses simple per-code-point mappings, so a
// conversion never changes the length of a text and positions stay valid.
namespace kestrel::text {

/// Decodes UTF-8; each byte that is not part of a valid sequence becomes U+FFFD.
std::u32string ToCodePoints(std::string_view utf8);
/// Appends the UTF-8 form of the code points to `out` (no clearing).
void AppendUtf8(std::u32string_view codePoints, std::string& out);
std::string ToUtf8(std::u32string_view codePoints);
/// ToCodePoints into `out`, reusing its room.
void ToCodePointsInto(std::string_view utf8, std::u32string& out);
/// ToUtf8 into `out`, reusing its room.
void ToUtf8Into(std::u32string_view codePoints, std::string& out);
void AppendUtf8(char32_t codePoint, std::string& out);

bool IsValidUtf8(std::string_view bytes);
/// Number of code points (invalid bytes count one each).
std::size_t CodePointCount(std::string_view utf8);
/// The text cut after its first `count` code points (never inside one).
std::string_view FirstCodePoints(std::string_view utf8, std::size_t count);

// Beyond ASCII these ask ICU; ASCII, the bulk of most names, is answered here
// so that the per-character loops of the pipeline stay cheap.
char32_t ToUpperBeyondAscii(char32_t c);
char32_t ToLowerBeyondAscii(char32_t c);
bool IsUpperBeyondAscii(char32_t c);
char32_t FoldCaseBeyondAscii(char32_t c);

inline char32_t ToUpper(char32_t c) {
    return c < 0x80 ? (c >= U'a' && c <= U'z' ? c - 32 : c) : ToUpperBeyondAscii(c);
}
inline char32_t ToLower(char32_t c) {
    return c < 0x80 ? (c >= U'A' && c <= U'Z' ? c + 32 : c) : ToLowerBeyondAscii(c);
}
inline bool IsUpper(char32_t c) {
    return c < 0x80 ? c >= U'A' && c <= U'Z' : IsUpperBeyondAscii(c);
}
/// Simple case folding: the key for every comparison "without regard to case".
inline char32_t FoldCase(char32_t c) {
    return c < 0x80 ? (c >= U'A' && c <= U'Z' ? c + 32 : c) : FoldCaseBeyondAscii(c);
}

void ToUpperInPlace(std::u32string& text);
void ToLowerInPlace(std::u32string& text);
void FoldCaseInPlace(std::u32string& text);
std::u32string FoldCase(std::u32string_view text);
/// UTF-8 in, UTF-8 out: the folded key of a text.
std::string FoldCase(std::string_view utf8);
/// The same key written over `out`, whose storage a caller may reuse.
void FoldCaseInto(std::string_view utf8, std::string& out);
std::string ToUpper(std::string_view utf8);
std::string ToLower(std::string_view utf8);

/// True when both texts are the same once lower-cased, without making either.
bool EqualAsLowerCase(std::string_view a, std::string_view b);

/// Compares after simple case folding, then by code point: <0, 0 or >0.
int CompareIgnoringCase(std::string_view a, std::string_view b);
bool EqualIgnoringCase(std::string_view a, std::string_view b);

}  // namespace kestrel::text
