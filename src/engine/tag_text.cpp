#include "engine/tag_text.h"

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utf16.h>

#include <algorithm>
#include <optional>

#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

// "<track:000>" pads to three digits; wider is no use in a name.
constexpr std::size_t kMaxNumberWidth = 32;
constexpr std::size_t kPlainDateLength = 19;    // "yyyy-MM-dd HH:mm:ss"
constexpr std::size_t kDefaultDateLength = 10;  // "yyyy-MM-dd"
constexpr double kMillisecondsPerDay = 86'400'000.0;

// TRANSLATORS: {1} is a tag as the user typed it between "<" and ">", such as
// "taken:yyyy-MM-dd"; keep the angle brackets.
constexpr const char* kNoValue = N_("No value for <{1}>");
// TRANSLATORS: {1} is a tag as the user typed it between "<" and ">"; {2} is why
// the file could not be read for it.
constexpr const char* kNoValueBecause = N_("No value for <{1}>: {2}");

struct CivilTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
    int second = 0;
};

bool DigitsAt(std::string_view text, std::size_t from, std::size_t count, int& out) {
    out = 0;
    for (std::size_t k = from; k < from + count; ++k) {
        if (text[k] < '0' || text[k] > '9') {
            return false;
        }
        out = out * 10 + (text[k] - '0');
    }
    return true;
}

// The plain form the values are handed over in. Anything else, or a date
// that no calendar has, is no date: the value is then missing.
std::optional<CivilTime> ReadPlainDate(std::string_view text) {
    if (text.size() != kPlainDateLength || text[4] != '-' || text[7] != '-' || text[10] != ' ' ||
        text[13] != ':' || text[16] != ':') {
        return std::nullopt;
    }
    CivilTime t;
    const bool digits = DigitsAt(text, 0, 4, t.year) && DigitsAt(text, 5, 2, t.month) &&
                        DigitsAt(text, 8, 2, t.day) && DigitsAt(text, 11, 2, t.hour) &&
                        DigitsAt(text, 14, 2, t.minute) && DigitsAt(text, 17, 2, t.second);
    if (!digits || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31 || t.hour > 23 ||
        t.minute > 59 || t.second > 60) {
        return std::nullopt;
    }
    return t;
}

// Days since 1970-01-01 of a date in the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int year, int month, int day) {
    const std::int64_t y = year - (month <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yearOfEra = y - era * 400;
    const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// The wall-clock time as ICU's count of milliseconds, read in GMT, so that
// the formatter shows exactly the time that was stored.
UDate ToUDate(const CivilTime& t) {
    const auto seconds = static_cast<double>(t.hour * 3600 + t.minute * 60 + t.second);
    return static_cast<double>(DaysFromCivil(t.year, t.month, t.day)) * kMillisecondsPerDay +
           seconds * 1000.0;
}

bool IsInstruction(char32_t c) {
    switch (c) {
        case U'/':
        case U'?':
        case U':':
        case U'*':
        case U'"':
        case U'<':
        case U'>':
        case U'|':
        case U'\\':
            return true;
        default:
            break;
    }
    // Control characters, and the direction marks that could make a name
    // read backwards on screen ("gpj.exe" shown as "exe.jpg").
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) ||
           u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_BIDI_CONTROL) != 0;
}

void AppendCapped(std::u32string& out, std::u32string_view value) {
    out.append(value.substr(0, kMaxTagValueLength));
}

void AppendUnicodeString(std::u32string& out, const icu::UnicodeString& text) {
    const char16_t* units = text.getBuffer();
    const std::int32_t length = text.length();
    std::size_t appended = 0;
    for (std::int32_t i = 0; i < length && appended < kMaxTagValueLength; ++appended) {
        UChar32 c = 0;
        U16_NEXT(units, i, length, c);
        out.push_back(static_cast<char32_t>(c));
    }
}

bool AllDigits(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A value in its tag's default format; false when there is none.
bool AppendDefault(TagKind kind, std::string_view value, std::u32string& out) {
    switch (kind) {
        case TagKind::Date:
            if (!ReadPlainDate(value)) {
                return false;
            }
            // Checked to be ASCII digits and dashes.
            out.append(value.begin(), value.begin() + kDefaultDateLength);
            return true;
        case TagKind::Number:
            if (!AllDigits(value)) {
                return false;
            }
            AppendCapped(out, text::ToCodePoints(value));
            return true;
        case TagKind::Text: {
            if (value.empty()) {
                return false;
            }
            std::u32string harmless = text::ToCodePoints(value);
            MakeHarmless(harmless);
            AppendCapped(out, harmless);
            return true;
        }
    }
    return false;
}

// ICU writes nothing for a letter it has no field for; such a pattern is a
// typing error rather than a wish for empty text. Quoted text is literal.
bool LettersAreFields(std::u32string_view pattern) {
    const std::u16string_view fields = icu::DateFormatSymbols::getPatternUChars();
    bool quoted = false;
    for (const char32_t c : pattern) {
        if (c == U'\'') {
            quoted = !quoted;
        } else if (!quoted && ((c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z')) &&
                   fields.find(static_cast<char16_t>(c)) == std::u16string_view::npos) {
            return false;
        }
    }
    return true;
}

std::unique_ptr<icu::SimpleDateFormat> MakeDateFormat(std::u32string_view pattern) {
    if (!LettersAreFields(pattern)) {
        return nullptr;
    }
    UErrorCode status = U_ZERO_ERROR;
    icu::UnicodeString units;
    for (const char32_t c : pattern) {
        units.append(static_cast<UChar32>(c));
    }
    const icu::Locale& locale = icu::Locale::getDefault();
    auto format = std::make_unique<icu::SimpleDateFormat>(units, locale, status);
    // The Gregorian calendar in GMT: what the file stored is shown as it is,
    // with no shift for this computer's time zone.
    auto* calendar = new icu::GregorianCalendar(icu::TimeZone::getGMT()->clone(), locale, status);
    format->adoptCalendar(calendar);
    return U_SUCCESS(status) ? std::move(format) : nullptr;
}

}  // namespace

struct TaggedText::Field {
    std::vector<Tag> choices;
    /// The tag as it was typed between "<" and ">", for the message of a miss.
    std::string typed;
    std::size_t width = 0;
    std::unique_ptr<icu::SimpleDateFormat> dateFormat;

    // A tag as typed between "<" and ">"; false when it is none.
    bool Read(std::u32string_view inner) {
        const std::size_t colon = inner.find(U':');
        const std::u32string_view names = inner.substr(0, colon);
        const std::u32string_view format =
            colon == std::u32string_view::npos ? std::u32string_view() : inner.substr(colon + 1);
        for (std::size_t from = 0; from <= names.size();) {
            const std::size_t bar = std::min(names.find(U'|', from), names.size());
            const std::optional<Tag> tag = TagNamed(names.substr(from, bar - from));
            if (!tag) {
                return false;
            }
            choices.push_back(*tag);
            from = bar + 1;
        }
        if (!format.empty() && !TakeFormat(format)) {
            return false;
        }
        typed = text::ToUtf8(inner);
        return true;
    }

    // Every alternative must understand the format: zeroes for numbers, an
    // ICU pattern for dates, nothing for texts.
    bool TakeFormat(std::u32string_view format) {
        const auto allOf = [this](TagKind kind) {
            return std::all_of(choices.begin(), choices.end(),
                               [kind](Tag tag) { return InfoOf(tag).kind == kind; });
        };
        if (allOf(TagKind::Number)) {
            width = format.size();
            return width <= kMaxNumberWidth &&
                   std::all_of(format.begin(), format.end(), [](char32_t c) { return c == U'0'; });
        }
        if (allOf(TagKind::Date)) {
            dateFormat = MakeDateFormat(format);
            return dateFormat != nullptr;
        }
        return false;
    }

    bool Append(const TagEntry& entry, std::u32string& out) const {
        const TagKind kind = InfoOf(entry.tag).kind;
        if (kind == TagKind::Date && dateFormat != nullptr) {
            const std::optional<CivilTime> time = ReadPlainDate(entry.value);
            if (!time) {
                return false;
            }
            icu::UnicodeString made;
            icu::FieldPosition position;
            UErrorCode status = U_ZERO_ERROR;
            dateFormat->format(ToUDate(*time), made, position, status);
            if (U_FAILURE(status)) {
                return false;
            }
            AppendUnicodeString(out, made);
            return true;
        }
        const std::size_t start = out.size();
        if (!AppendDefault(kind, entry.value, out)) {
            return false;
        }
        const std::size_t digits = out.size() - start;
        if (kind == TagKind::Number && digits < width) {
            out.insert(start, width - digits, U'0');
        }
        return true;
    }
};

TaggedText::TaggedText() = default;
TaggedText::~TaggedText() = default;
TaggedText::TaggedText(TaggedText&&) noexcept = default;
TaggedText& TaggedText::operator=(TaggedText&&) noexcept = default;

TaggedText::TaggedText(std::u32string_view typed) : literal_(typed) {
    std::u32string pending;
    const auto flush = [this, &pending] {
        if (!pending.empty()) {
            parts_.push_back({std::move(pending), -1});
            pending.clear();
        }
    };
    for (std::size_t i = 0; i < typed.size();) {
        const std::size_t close =
            typed[i] == U'<' ? typed.find(U'>', i + 1) : std::u32string_view::npos;
        if (close != std::u32string_view::npos) {
            auto field = std::make_unique<Field>();
            if (field->Read(typed.substr(i + 1, close - i - 1))) {
                flush();
                parts_.push_back({{}, static_cast<int>(fields_.size())});
                fields_.push_back(std::move(field));
                i = close + 1;
                continue;
            }
        }
        pending.push_back(typed[i]);
        ++i;
    }
    flush();
}

TagSet TaggedText::Used() const {
    TagSet used;
    for (const auto& field : fields_) {
        for (const Tag tag : field->choices) {
            used.set(static_cast<std::size_t>(tag));
        }
    }
    return used;
}

void TaggedText::Value(int field, const TagValues& values, std::u32string& out,
                       TagMiss& miss) const {
    const Field& f = *fields_[static_cast<std::size_t>(field)];
    const std::size_t start = out.size();
    const TagEntry* troubled = nullptr;
    for (const Tag tag : f.choices) {
        const TagEntry* entry = FindTag(values, tag);
        if (entry == nullptr) {
            continue;
        }
        if (f.Append(*entry, out)) {
            return;
        }
        out.resize(start);
        if (troubled == nullptr && !entry->problem.empty()) {
            troubled = entry;
        }
    }
    if (!miss.Missed()) {
        // "No value for <taken>", and why when the file could not be read:
        // the problem is in English, and in the user's language where shown.
        if (troubled == nullptr) {
            miss.message = {text::Fill(kNoValue, {f.typed}),
                            text::Fill(text::Tr(kNoValue), {f.typed})};
        } else {
            miss.message = {
                text::Fill(kNoValueBecause, {f.typed, troubled->problem}),
                text::Fill(text::Tr(kNoValueBecause), {f.typed, ShownText(troubled->problem)})};
        }
    }
}

void TaggedText::Fill(const TagValues& values, std::u32string& out, TagMiss& miss) const {
    out.clear();
    for (const TextPart& part : parts_) {
        if (part.field < 0) {
            out += part.literal;
        } else {
            Value(part.field, values, out, miss);
        }
    }
}

void MakeHarmless(std::u32string& value) {
    for (char32_t& c : value) {
        if (IsInstruction(c)) {
            c = U'_';
        }
    }
}

std::string DefaultTagText(const TagEntry& entry) {
    std::u32string out;
    AppendDefault(InfoOf(entry.tag).kind, entry.value, out);
    return text::ToUtf8(out);
}

}  // namespace kestrel::engine
