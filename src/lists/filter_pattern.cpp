#include "lists/filter_pattern.h"

#include <cstddef>

#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

constexpr std::size_t kNone = std::u32string_view::npos;

// One pattern element tried against one character: how many pattern code
// points the element spans and whether it accepts the character.
struct ElementMatch {
    std::size_t length;
    bool accepted;
};

// A list runs from "[" to the next "]". A pattern kept in a template never
// went through the bracket check, so an unclosed "[" has to mean something:
// it stands for itself.
ElementMatch MatchList(std::u32string_view pattern, std::size_t open, char32_t c) {
    const std::size_t close = pattern.find(U']', open + 1);
    if (close == kNone) {
        return {1, c == U'['};
    }
    std::size_t i = open + 1;
    const bool negated = i < close && pattern[i] == U'!';
    if (negated) {
        ++i;
    }
    bool inList = false;
    while (i < close) {
        // A "-" first or last in the list has no ends to join, so it is literal.
        if (i + 2 < close && pattern[i + 1] == U'-') {
            inList = inList || (pattern[i] <= c && c <= pattern[i + 2]);
            i += 3;
        } else {
            inList = inList || pattern[i] == c;
            ++i;
        }
    }
    return {close - open + 1, inList != negated};
}

ElementMatch MatchElement(std::u32string_view pattern, std::size_t p, char32_t c) {
    switch (pattern[p]) {
        case U'?':
            return {1, true};
        case U'#':
            return {1, c >= U'0' && c <= U'9'};
        case U'[':
            return MatchList(pattern, p, c);
        default:
            return {1, pattern[p] == c};
    }
}

}  // namespace

// Every element other than "*" takes exactly one character, so on a mismatch
// it is enough to let the most recent "*" swallow one more character and retry
// from just after it: earlier stars never need revisiting, which keeps the
// work at text length times pattern length.
bool WildcardMatch(std::u32string_view text, std::u32string_view pattern) {
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t afterStar = kNone;
    std::size_t starText = 0;
    while (t < text.size()) {
        if (p < pattern.size() && pattern[p] == U'*') {
            afterStar = ++p;
            starText = t;
            continue;
        }
        if (p < pattern.size()) {
            const ElementMatch element = MatchElement(pattern, p, text[t]);
            if (element.accepted) {
                p += element.length;
                ++t;
                continue;
            }
        }
        if (afterStar == kNone) {
            return false;
        }
        p = afterStar;
        t = ++starText;
    }
    while (p < pattern.size() && pattern[p] == U'*') {
        ++p;
    }
    return p == pattern.size();
}

bool CheckFilterBrackets(std::string_view text) {
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '[') {
            const std::size_t neighbour = i == 0 ? 1 : i - 1;
            if (neighbour >= text.size() || text[neighbour] != '[') {
                ++depth;
            }
        } else if (text[i] == ']' && depth > 0) {
            --depth;
        }
    }
    return depth == 0;
}

FilterPattern::FilterPattern(std::string_view pattern) {
    const std::u32string codePoints = text::ToCodePoints(pattern);
    const std::size_t firstDot = codePoints.find(U'.');
    if (firstDot == kNone) {
        base_ = codePoints;
        return;
    }
    base_ = codePoints.substr(0, firstDot);
    extension_ = codePoints.substr(codePoints.rfind(U'.') + 1);
}

bool FilterPattern::Matches(std::string_view filename) const {
    const std::u32string name = text::ToCodePoints(filename);
    const std::u32string_view view = name;
    const std::size_t lastDot = view.rfind(U'.');
    const std::u32string_view base = lastDot == kNone ? view : view.substr(0, lastDot);
    const std::u32string_view extension =
        lastDot == kNone ? std::u32string_view() : view.substr(lastDot + 1);
    return WildcardMatch(base, base_) && WildcardMatch(extension, extension_);
}

}  // namespace kestrel::lists
