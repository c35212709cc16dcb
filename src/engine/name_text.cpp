#include "engine/name_text.h"

#include <algorithm>
#include <charconv>
#include <iterator>

#include "text/unicode_text.h"

namespace kestrel::engine {

FolderMarkSplit SplitFolderMark(std::u32string_view name) {
    if (!name.empty() && name.back() == U'\\') {
        return {name.substr(0, name.size() - 1), name.substr(name.size() - 1)};
    }
    return {name, {}};
}

std::u32string CropText(std::u32string& text, std::int64_t position, std::int64_t count,
                        bool fromRight) {
    std::u32string cut;
    CropTextInto(text, position, count, fromRight, cut);
    return cut;
}

void CropTextInto(std::u32string& text, std::int64_t position, std::int64_t count, bool fromRight,
                  std::u32string& cut) {
    cut.clear();
    const auto length = static_cast<std::int64_t>(text.size());
    if (position < 1 || count < 1 || position > length) {
        return;
    }
    std::int64_t first = 0;
    std::int64_t last = 0;  // one past the span
    if (fromRight) {
        last = length - position + 1;
        first = std::max<std::int64_t>(0, last - count);
    } else {
        first = position - 1;
        last = std::min(length, first + std::min(count, length));
    }
    cut.assign(text, static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
    text.erase(static_cast<std::size_t>(first), static_cast<std::size_t>(last - first));
}

std::u32string ReplaceText(std::u32string_view text, std::u32string_view find,
                           std::u32string_view replacement, bool caseSensitive, bool firstOnly,
                           std::size_t limit) {
    std::u32string out(text);
    ReplaceBuffers buffers;
    ReplaceTextInPlace(out, find, replacement, caseSensitive, firstOnly, limit, buffers);
    return out;
}

void ReplaceTextInPlace(std::u32string& text, std::u32string_view find,
                        std::u32string_view replacement, bool caseSensitive, bool firstOnly,
                        std::size_t limit, ReplaceBuffers& buffers) {
    const auto cap = [&text, limit] {
        if (text.size() > limit) {
            text.resize(limit);
        }
    };
    if (text.empty() || find.empty() || find.size() > text.size()) {
        cap();
        return;
    }
    // Case-insensitive search runs on folded copies; simple folding keeps every
    // length, so positions found there are positions in the original text.
    std::u32string_view haystack = text;
    std::u32string_view needle = find;
    if (!caseSensitive) {
        buffers.foldedText.assign(text);
        text::FoldCaseInPlace(buffers.foldedText);
        buffers.foldedFind.assign(find);
        text::FoldCaseInPlace(buffers.foldedFind);
        haystack = buffers.foldedText;
        needle = buffers.foldedFind;
    }
    std::size_t at = haystack.find(needle);
    if (at == std::u32string_view::npos) {
        cap();
        return;
    }
    std::u32string& out = buffers.out;
    out.clear();
    const std::u32string_view source = text;
    std::size_t from = 0;
    while (at != std::u32string_view::npos && out.size() < limit) {
        out.append(source.substr(from, at - from));
        out.append(replacement);
        from = at + needle.size();
        if (firstOnly || from > haystack.size()) {
            break;
        }
        at = haystack.find(needle, from);
    }
    out.append(source.substr(std::min(from, source.size())));
    if (out.size() > limit) {
        out.resize(limit);
    }
    text.swap(out);
}

bool SwapAreas(std::u32string& text, std::u32string_view delimiter, std::int64_t low,
               std::int64_t high, std::u32string& scratch) {
    if (text.empty() || delimiter.empty() || low < 1 || high <= low) {
        return false;
    }
    // Where the areas `low` and `high` start and end, found left to right.
    const auto wanted = static_cast<std::size_t>(high);
    std::size_t lowStart = 0;
    std::size_t lowEnd = 0;
    std::size_t area = 1;  // the area the scan is in
    std::size_t areaStart = 0;
    const std::u32string_view whole = text;
    std::size_t i = 0;
    while (i < whole.size() && area <= wanted) {
        if (!whole.substr(i).starts_with(delimiter)) {
            ++i;
            continue;
        }
        if (area == static_cast<std::size_t>(low)) {
            lowStart = areaStart;
            lowEnd = i;
        }
        if (area == wanted) {
            break;
        }
        i += delimiter.size();
        ++area;
        areaStart = i;
    }
    if (area < wanted) {
        return false;
    }
    const std::size_t highStart = areaStart;
    const std::size_t highEnd = i;
    scratch.assign(whole.substr(0, lowStart));
    scratch.append(whole.substr(highStart, highEnd - highStart));
    scratch.append(whole.substr(lowEnd, highStart - lowEnd));
    scratch.append(whole.substr(lowStart, lowEnd - lowStart));
    scratch.append(whole.substr(highEnd));
    text.swap(scratch);
    return true;
}

namespace {

template <typename Char>
std::vector<std::basic_string<Char>> SplitFieldsOf(
    std::basic_string_view<Char> text, std::basic_string_view<Char> delimiter, Char quote,
    std::size_t (*firstCharLength)(std::basic_string_view<Char>)) {
    std::vector<std::basic_string<Char>> areas;
    if (text.empty()) {
        return areas;
    }
    areas.emplace_back();
    if (delimiter.empty()) {
        areas.back() = text;
        return areas;
    }
    bool insideQuotes = false;
    std::size_t i = 0;
    while (i < text.size()) {
        if (text.substr(i).starts_with(delimiter)) {
            if (insideQuotes) {
                areas.back().append(delimiter.substr(0, firstCharLength(delimiter)));
            } else {
                areas.emplace_back();
            }
            i += delimiter.size();
            continue;
        }
        const Char c = text[i++];
        areas.back().push_back(c);
        if (quote != 0 && c == quote) {
            insideQuotes = !insideQuotes;
        }
    }
    return areas;
}

// The byte length of the first UTF-8 character, so that a quoted delimiter
// keeps a whole character.
std::size_t FirstUtf8CharLength(std::string_view s) {
    std::size_t n = 1;
    while (n < s.size() && (static_cast<unsigned char>(s[n]) & 0xC0) == 0x80) {
        ++n;
    }
    return n;
}

}  // namespace

std::vector<std::string> SplitFields(std::string_view text, std::string_view delimiter,
                                     char quote) {
    return SplitFieldsOf<char>(text, delimiter, quote, &FirstUtf8CharLength);
}

void InsertAutonumber(std::u32string& base, int digits, std::int64_t number,
                      std::int64_t remaining) {
    // Formatted in place: this runs once for every name of a preview.
    char magnitude[24];
    const auto magnitudeEnd = std::to_chars(std::begin(magnitude), std::end(magnitude),
                                            number < 0 ? -static_cast<std::uint64_t>(number)
                                                       : static_cast<std::uint64_t>(number))
                                  .ptr;
    if (digits <= 0) {
        char last[24];
        digits = static_cast<int>(
            std::to_chars(std::begin(last), std::end(last), number + remaining).ptr - last);
    }
    const std::size_t size = static_cast<std::size_t>(magnitudeEnd - magnitude);
    // Zeroes go between the sign and the digits, so "-5" at three is "-05".
    const std::size_t sign = number < 0 ? 1 : 0;
    const std::size_t zeroes =
        sign + size < static_cast<std::size_t>(digits) ? digits - sign - size : 0;
    const std::size_t mark = base.find(U'?');
    const std::size_t at = mark == std::u32string::npos ? 0 : mark;
    base.replace(at, mark == std::u32string::npos ? 0 : 1, sign + zeroes + size, U'0');
    if (sign != 0) {
        base[at] = U'-';
    }
    std::copy(magnitude, magnitudeEnd,
              base.begin() + static_cast<std::ptrdiff_t>(at + sign + zeroes));
}

namespace {

bool IsAsciiDigit(char32_t c) {
    return c >= U'0' && c <= U'9';
}

}  // namespace

void PadNumberRun(std::u32string& base, int length, bool fromRight) {
    std::size_t first = std::u32string::npos;
    std::size_t end = 0;
    if (fromRight) {
        std::size_t k = base.size();
        while (k > 0 && !IsAsciiDigit(base[k - 1])) {
            --k;
        }
        if (k == 0) {
            return;
        }
        end = k;
        while (k > 0 && IsAsciiDigit(base[k - 1])) {
            --k;
        }
        first = k;
    } else {
        const auto it = std::find_if(base.begin(), base.end(), IsAsciiDigit);
        if (it == base.end()) {
            return;
        }
        first = static_cast<std::size_t>(it - base.begin());
        end = first;
        while (end < base.size() && IsAsciiDigit(base[end])) {
            ++end;
        }
    }
    const auto run = static_cast<int>(end - first);
    if (run < length) {
        base.insert(first, static_cast<std::size_t>(length - run), U'0');
    }
}

namespace {

void CollapseRuns(std::u32string& text, char32_t c) {
    std::size_t out = 0;
    for (std::size_t in = 0; in < text.size(); ++in) {
        if (text[in] == c && out > 0 && text[out - 1] == c) {
            continue;
        }
        text[out++] = text[in];
    }
    text.resize(out);
}

}  // namespace

void CollapseSpaces(std::u32string& text) {
    CollapseRuns(text, U' ');
    if (!text.empty() && text.back() == U' ') {
        text.pop_back();
    }
    if (!text.empty() && text.front() == U' ') {
        text.erase(0, 1);
    }
}

void CollapseBackslashes(std::u32string& text) {
    CollapseRuns(text, U'\\');
    if (!text.empty() && text.front() == U'\\') {
        text.erase(0, 1);
    }
}

}  // namespace kestrel::engine
