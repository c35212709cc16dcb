#include "text/unicode_text.h"

#include <unicode/uchar.h>

#include <cstdint>
#include <cstring>

namespace kestrel::text {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one sequence at `i`; on return `i` is past it. Overlong forms,
// surrogates and values above U+10FFFF count as invalid single bytes.
char32_t DecodeOne(std::string_view s, std::size_t& i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
        ++i;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        ++i;
        return kReplacement;
    }
    if (i + length > s.size()) {
        ++i;
        return kReplacement;
    }
    for (int k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(s[i + k]);
        if ((next & 0xC0) != 0x80) {
            ++i;
            return kReplacement;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++i;
        return kReplacement;
    }
    i += length;
    return value;
}

// Writes the UTF-8 bytes of `c` at `at` (room for four) and returns the end.
inline char* EncodeUtf8(char32_t c, char* at) {
    if (c < 0x80) {
        *at++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *at++ = static_cast<char>(0xC0 | (c >> 6));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *at++ = static_cast<char>(0xE0 | (c >> 12));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *at++ = static_cast<char>(0xF0 | (c >> 18));
        *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    }
    return at;
}

}  // namespace

std::u32string ToCodePoints(std::string_view utf8) {
    std::u32string out;
    ToCodePointsInto(utf8, out);
    return out;
}

void ToCodePointsInto(std::string_view utf8, std::u32string& out) {
    // Never more code points than bytes: sized once, written in place.
    out.resize(utf8.size());
    std::size_t written = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            out[written++] = byte;
            ++i;
        } else {
            out[written++] = DecodeOne(utf8, i);
        }
    }
    out.resize(written);
}

void AppendUtf8(char32_t c, std::string& out) {
    char bytes[4];
    out.append(bytes, static_cast<std::size_t>(EncodeUtf8(c, bytes) - bytes));
}

void AppendUtf8(std::u32string_view codePoints, std::string& out) {
    for (char32_t c : codePoints) {
        AppendUtf8(c, out);
    }
}

std::string ToUtf8(std::u32string_view codePoints) {
    std::string out;
    ToUtf8Into(codePoints, out);
    return out;
}

void ToUtf8Into(std::u32string_view codePoints, std::string& out) {
    // Sized for the longest encoding and cut to what was written.
    out.resize(codePoints.size() * 4);
    char* const first = out.data();
    char* at = first;
    for (const char32_t c : codePoints) {
        at = EncodeUtf8(c, at);
    }
    out.resize(static_cast<std::size_t>(at - first));
}

bool IsValidUtf8(std::string_view bytes) {
    std::size_t i = 0;
    while (i < bytes.size()) {
        const std::size_t before = i;
        const char32_t c = DecodeOne(bytes, i);
        // A genuine U+FFFD takes three bytes; a replaced invalid byte only one.
        if (c == kReplacement && i - before == 1) {
            return false;
        }
    }
    return true;
}

std::size_t CodePointCount(std::string_view utf8) {
    std::size_t count = 0;
    std::size_t i = 0;
    while (i < utf8.size()) {
        DecodeOne(utf8, i);
        ++count;
    }
    return count;
}

std::string_view FirstCodePoints(std::string_view utf8, std::size_t count) {
    std::size_t i = 0;
    for (; i < utf8.size() && count > 0; --count) {
        DecodeOne(utf8, i);
    }
    return utf8.substr(0, i);
}

char32_t ToUpperBeyondAscii(char32_t c) {
    return static_cast<char32_t>(u_toupper(static_cast<UChar32>(c)));
}

char32_t ToLowerBeyondAscii(char32_t c) {
    return static_cast<char32_t>(u_tolower(static_cast<UChar32>(c)));
}

bool IsUpperBeyondAscii(char32_t c) {
    return u_isupper(static_cast<UChar32>(c)) != 0;
}

char32_t FoldCaseBeyondAscii(char32_t c) {
    return static_cast<char32_t>(u_foldCase(static_cast<UChar32>(c), U_FOLD_CASE_DEFAULT));
}

void ToUpperInPlace(std::u32string& text) {
    for (char32_t& c : text) {
        c = ToUpper(c);
    }
}

void ToLowerInPlace(std::u32string& text) {
    for (char32_t& c : text) {
        c = ToLower(c);
    }
}

void FoldCaseInPlace(std::u32string& text) {
    for (char32_t& c : text) {
        c = FoldCase(c);
    }
}

std::u32string FoldCase(std::u32string_view text) {
    std::u32string out(text);
    FoldCaseInPlace(out);
    return out;
}

namespace {

char32_t FoldOne(char32_t c) {
    return FoldCase(c);
}
char32_t UpperOne(char32_t c) {
    return ToUpper(c);
}
char32_t LowerOne(char32_t c) {
    return ToLower(c);
}

// Eight ASCII bytes mapped at once: each byte from 'A' to 'Z' gets its 0x20
// bit (lower case), or each from 'a' to 'z' loses it (upper case). No byte
// is 0x80 or above, so none of the additions carries into its neighbour.
template <bool kToUpper>
std::uint64_t MapAsciiWord(std::uint64_t word) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    constexpr std::uint64_t kFirst = kToUpper ? 'a' : 'A';
    constexpr std::uint64_t kLast = kToUpper ? 'z' : 'Z';
    const std::uint64_t fromFirst = word + (0x80 - kFirst) * kOnes;
    const std::uint64_t pastLast = word + (0x80 - kLast - 1) * kOnes;
    const std::uint64_t caseBits = (fromFirst & ~pastLast & kHigh) >> 2;
    return kToUpper ? word & ~caseBits : word | caseBits;
}

// Most names are plain ASCII, which maps eight bytes at a time and then byte
// by byte; only the rest of a text from its first other character takes the
// round trip through code points. Folding and lowering agree on ASCII.
template <char32_t (*Map)(char32_t)>
void MapCaseInto(std::string_view utf8, std::string& out) {
    constexpr bool kToUpper = Map == &UpperOne;
    constexpr std::uint64_t kHigh = 0x8080808080808080;
    out.resize(utf8.size());
    std::size_t i = 0;
    for (; i + sizeof(std::uint64_t) <= utf8.size(); i += sizeof(std::uint64_t)) {
        std::uint64_t word = 0;
        std::memcpy(&word, utf8.data() + i, sizeof word);
        if ((word & kHigh) != 0) {
            break;
        }
        word = MapAsciiWord<kToUpper>(word);
        std::memcpy(out.data() + i, &word, sizeof word);
    }
    for (; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x80) {
            break;
        }
        out[i] = static_cast<char>(Map(c));
    }
    if (i == utf8.size()) {
        return;
    }
    out.resize(i);
    while (i < utf8.size()) {
        AppendUtf8(Map(DecodeOne(utf8, i)), out);
    }
}

template <char32_t (*Map)(char32_t)>
std::string MapCase(std::string_view utf8) {
    std::string out;
    MapCaseInto<Map>(utf8, out);
    return out;
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
    return MapCase<&FoldOne>(utf8);
}

void FoldCaseInto(std::string_view utf8, std::string& out) {
    MapCaseInto<&FoldOne>(utf8, out);
}

std::string ToUpper(std::string_view utf8) {
    return MapCase<&UpperOne>(utf8);
}

std::string ToLower(std::string_view utf8) {
    return MapCase<&LowerOne>(utf8);
}

bool EqualAsLowerCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        if (ToLower(DecodeOne(a, i)) != ToLower(DecodeOne(b, j))) {
            return false;
        }
    }
    return i == a.size() && j == b.size();
}

int CompareIgnoringCase(std::string_view a, std::string_view b) {
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t x = FoldCase(DecodeOne(a, i));
        const char32_t y = FoldCase(DecodeOne(b, j));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    if (j < b.size()) {
        return -1;
    }
    return 0;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) {
    return CompareIgnoringCase(a, b) == 0;
}

}  // namespace kestrel::text
