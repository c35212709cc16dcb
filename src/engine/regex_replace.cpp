#include "engine/regex_replace.h"

#include <unicode/regex.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "text/translation.h"

namespace kestrel::engine {
namespace {

// ICU counts a match's work in units of about 10,000 steps. A name may take
// this many: room for a pattern that rescans a 255-character name from every
// position (a few units), none for one that backtracks exponentially.
constexpr std::int32_t kStepUnitsPerName = 10;
// Each name that runs out of steps costs a few milliseconds; after this many
// in one pass the pattern is not tried again, so that a full list of 32,767
// rows still ends within a second instead of minutes.
constexpr int kSlowNamesPerPass = 100;

// ICU's own account of why a pattern does not compile, in ICU's words, which
// stay English as every library's do.
std::string Reason(UErrorCode status) {
    switch (status) {
        case U_REGEX_RULE_SYNTAX:
            return "syntax error";
        case U_REGEX_BAD_ESCAPE_SEQUENCE:
            return "unrecognized backslash escape sequence";
        case U_REGEX_PROPERTY_SYNTAX:
            return "incorrect Unicode property";
        case U_REGEX_UNIMPLEMENTED:
            return "use of a feature that is not implemented";
        case U_REGEX_MISMATCHED_PAREN:
            return "incorrectly nested parentheses";
        case U_REGEX_NUMBER_TOO_BIG:
            return "decimal number is too large";
        case U_REGEX_BAD_INTERVAL:
            return "error in {min,max} interval";
        case U_REGEX_MAX_LT_MIN:
            return "in {min,max}, max is less than min";
        case U_REGEX_INVALID_BACK_REF:
            return "back-reference to a non-existent capture group";
        case U_REGEX_LOOK_BEHIND_LIMIT:
            return "look-behind must have a bounded maximum length";
        case U_REGEX_SET_CONTAINS_STRING:
            return "sets cannot contain strings";
        case U_REGEX_MISSING_CLOSE_BRACKET:
            return "missing closing bracket on a bracket expression";
        case U_REGEX_INVALID_RANGE:
            return "in a character range [x-y], x is greater than y";
        case U_REGEX_PATTERN_TOO_BIG:
            return "pattern exceeds limits on size or complexity";
        case U_REGEX_INVALID_CAPTURE_GROUP_NAME:
            return "invalid capture group name";
        default:
            return u_errorName(status);
    }
}

// ICU reports the line and the column it had read up to, counting lines and
// columns its own way; a pattern from a template may hold line breaks. The
// same count finds the character in the whole pattern.
std::size_t CharacterPosition(std::u32string_view pattern, const UParseError& where) {
    std::int32_t line = 1;
    std::int32_t column = 0;
    char32_t last = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char32_t c = pattern[i];
        if (c == U'\r' || c == 0x85 || c == 0x2028 || (c == U'\n' && last != U'\r')) {
            ++line;
            column = 0;
        } else if (c != U'\n') {
            ++column;
        }
        last = c;
        if (line == where.line && column >= where.offset) {
            return i + 1;
        }
    }
    return std::max<std::size_t>(pattern.size(), 1);
}

void FillUtf16(icu::UnicodeString& target, std::u32string_view text) {
    const auto capacity = static_cast<std::int32_t>(text.size() * 2 + 1);
    char16_t* units = target.getBuffer(capacity);
    if (units == nullptr) {
        throw std::bad_alloc();
    }
    std::int32_t length = 0;
    for (const char32_t c : text) {
        U16_APPEND_UNSAFE(units, length, static_cast<UChar32>(c));
    }
    target.releaseBuffer(length);
}

icu::UnicodeString ToUtf16(std::u32string_view text) {
    icu::UnicodeString units;
    FillUtf16(units, text);
    return units;
}

void AppendCodePoints(std::u32string& out, const icu::UnicodeString& text, std::int32_t from,
                      std::int32_t to) {
    const char16_t* units = text.getBuffer();
    while (from < to) {
        UChar32 c = 0;
        U16_NEXT(units, from, to, c);
        out.push_back(static_cast<char32_t>(c));
    }
}

// A replacement is literal text and group texts in turn: parsed once, so that
// a name only copies.
struct Piece {
    std::u32string literal;
    std::int32_t group = -1;  // a group's text instead of the literal
    int field = -1;           // or a tag's text
};

struct GroupReference {
    std::int32_t group = -1;
    std::size_t length = 0;  // characters after the "$"; 0 when it names no group
};

// What follows a "$": "{name}" or as many digits as still name a group, so
// that with twelve groups "$12" is group 12 and with three it is group 1
// followed by "2". A "$" that names no group stays a "$".
GroupReference ReadGroupReference(std::u32string_view after, const icu::RegexPattern& pattern,
                                  std::int32_t groups) {
    GroupReference found;
    if (after.starts_with(U'{')) {
        const std::size_t close = after.find(U'}');
        if (close != std::u32string_view::npos) {
            UErrorCode status = U_ZERO_ERROR;
            const std::int32_t group =
                pattern.groupNumberFromName(ToUtf16(after.substr(1, close - 1)), status);
            if (U_SUCCESS(status)) {
                found = {group, close + 1};
            }
        }
        return found;
    }
    std::int32_t number = 0;
    for (std::size_t k = 0; k < after.size() && after[k] >= U'0' && after[k] <= U'9'; ++k) {
        number = number * 10 + static_cast<std::int32_t>(after[k] - U'0');
        if (number > groups) {
            break;
        }
        found = {number, k + 1};
    }
    return found;
}

// "\" keeps its meaning as a folder mark, except before "$" (a dollar) and
// before another "\" (one backslash, so that "$1\\$2" puts group 2 into a
// folder named by group 1).
void ParseReplacement(std::u32string_view text, const icu::RegexPattern& pattern,
                      std::int32_t groups, std::vector<Piece>& pieces) {
    const auto literal = [&pieces](char32_t c) {
        if (pieces.empty() || pieces.back().group >= 0 || pieces.back().field >= 0) {
            pieces.emplace_back();
        }
        pieces.back().literal.push_back(c);
    };
    std::size_t i = 0;
    while (i < text.size()) {
        const char32_t next = i + 1 < text.size() ? text[i + 1] : 0;
        if (text[i] == U'\\' && (next == U'$' || next == U'\\')) {
            literal(next);
            i += 2;
            continue;
        }
        if (text[i] == U'$') {
            const GroupReference reference =
                ReadGroupReference(text.substr(i + 1), pattern, groups);
            if (reference.length > 0) {
                pieces.push_back({{}, reference.group});
                i += 1 + reference.length;
                continue;
            }
        }
        literal(text[i]);
        ++i;
    }
}

std::vector<TextPart> OneLiteral(std::u32string_view text) {
    return {{std::u32string(text), -1}};
}

}  // namespace

struct RegexReplace::Compiled {
    std::unique_ptr<icu::RegexPattern> pattern;
    std::unique_ptr<icu::RegexMatcher> matcher;
    std::vector<Piece> replacement;
    bool firstOnly = false;
    // Reused from name to name, so that a name costs no allocation here.
    icu::UnicodeString subject;
    std::u32string out;
    int slowNames = 0;
};

RegexReplace::RegexReplace(std::u32string_view pattern, std::u32string_view replacement,
                           bool caseSensitive, bool firstOnly)
    : RegexReplace(pattern, OneLiteral(replacement), caseSensitive, firstOnly) {}

RegexReplace::RegexReplace(std::u32string_view pattern, std::span<const TextPart> replacement,
                           bool caseSensitive, bool firstOnly) {
    UParseError where{};
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::RegexPattern> compiled(icu::RegexPattern::compile(
        ToUtf16(pattern), caseSensitive ? 0 : UREGEX_CASE_INSENSITIVE, where, status));
    if (U_FAILURE(status) || compiled == nullptr) {
        error_ = text::Fill(
            // TRANSLATORS: {1} is ICU's reason in English ("syntax error"); {2} the
            // position of the character in the search text where it went wrong.
            text::Tr("The search text is not a valid regular expression: {1} (at character {2})."),
            {Reason(status), std::to_string(CharacterPosition(pattern, where))});
        return;
    }
    std::unique_ptr<icu::RegexMatcher> matcher(compiled->matcher(status));
    if (matcher != nullptr) {
        matcher->setTimeLimit(kStepUnitsPerName, status);
    }
    if (U_FAILURE(status) || matcher == nullptr) {
        throw std::runtime_error(std::string("ICU regular expression matcher: ") +
                                 u_errorName(status));
    }
    auto parts = std::make_unique<Compiled>();
    for (const TextPart& part : replacement) {
        if (part.field >= 0) {
            parts->replacement.push_back({{}, -1, part.field});
        } else {
            ParseReplacement(part.literal, *compiled, matcher->groupCount(), parts->replacement);
        }
    }
    parts->pattern = std::move(compiled);
    parts->matcher = std::move(matcher);
    parts->firstOnly = firstOnly;
    compiled_ = std::move(parts);
}

RegexReplace::~RegexReplace() = default;
RegexReplace::RegexReplace(RegexReplace&&) noexcept = default;
RegexReplace& RegexReplace::operator=(RegexReplace&&) noexcept = default;

RegexReplace::Outcome RegexReplace::Apply(std::u32string& text, std::size_t limit,
                                          std::span<const std::u32string> fields) const {
    if (compiled_ == nullptr) {
        return Outcome::Done;
    }
    Compiled& c = *compiled_;
    if (c.slowNames >= kSlowNamesPerPass) {
        return Outcome::GaveUp;
    }
    FillUtf16(c.subject, text);
    c.matcher->reset(c.subject);
    c.out.clear();
    std::int32_t copied = 0;  // the subject is in `out` up to here
    UErrorCode status = U_ZERO_ERROR;
    while (c.out.size() < limit && c.matcher->find(status)) {
        AppendCodePoints(c.out, c.subject, copied, c.matcher->start(status));
        for (const Piece& piece : c.replacement) {
            if (piece.field >= 0) {
                if (static_cast<std::size_t>(piece.field) < fields.size()) {
                    c.out += fields[static_cast<std::size_t>(piece.field)];
                }
                continue;
            }
            if (piece.group < 0) {
                c.out += piece.literal;
                continue;
            }
            const std::int32_t from = c.matcher->start(piece.group, status);
            if (from >= 0) {  // a group that took no part in the match adds nothing
                AppendCodePoints(c.out, c.subject, from, c.matcher->end(piece.group, status));
            }
        }
        copied = c.matcher->end(status);
        if (c.firstOnly) {
            break;
        }
    }
    // Out of steps (or, for a huge name, out of backtracking memory).
    if (U_FAILURE(status)) {
        ++c.slowNames;
        return Outcome::TooSlow;
    }
    AppendCodePoints(c.out, c.subject, copied, c.subject.length());
    if (c.out.size() > limit) {
        c.out.resize(limit);
    }
    text.assign(c.out);
    return Outcome::Done;
}

}  // namespace kestrel::engine
