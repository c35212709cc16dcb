#include "text/translation.h"

#include <libintl.h>
#include <unicode/dcfmtsym.h>
#include <unicode/locid.h>

#include <algorithm>
#include <clocale>
#include <cstdlib>

// glibc's count of catalogue changes: raised, it makes gettext forget the texts
// it found under the language of before.
extern "C" int _nl_msg_cat_cntr;

namespace kestrel::text {
namespace {

constexpr const char* kDomain = "kestrel";

// Written once by StartTranslations before other threads exist, read-only after.
struct LocaleState {
    bool started = false;
    std::string groupSeparator = ",";
};

LocaleState& State() {
    static LocaleState state;
    return state;
}

std::string EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

// The first of the variables that is set, as setlocale reads a category.
std::string LocaleNameFor(const char* categoryVariable) {
    for (const char* name : {"LC_ALL", categoryVariable, "LANG"}) {
        std::string value = EnvironmentValue(name);
        if (!value.empty()) {
            return value;
        }
    }
    return {};
}

bool IsPlainLocale(std::string_view name) {
    return name.empty() || name == "C" || name == "POSIX" || name.starts_with("C.");
}

// "de_DE.UTF-8@euro" -> "de_DE": what ICU and Qt take as a language.
std::string LanguageOnly(std::string_view name) {
    return std::string(name.substr(0, name.find_first_of(".@")));
}

std::string IcuGroupSeparator(const std::string& localeName) {
    const std::string language = IsPlainLocale(localeName) ? "en" : LanguageOnly(localeName);
    UErrorCode status = U_ZERO_ERROR;
    const icu::DecimalFormatSymbols symbols(icu::Locale(language.c_str()), status);
    if (U_FAILURE(status)) {
        return ",";
    }
    std::string separator;
    symbols.getSymbol(icu::DecimalFormatSymbols::kGroupingSeparatorSymbol).toUTF8String(separator);
    return separator.empty() ? "," : separator;
}

}  // namespace

const char* Tr(const char* english) {
    return State().started ? ::dgettext(kDomain, english) : english;
}

const char* TrPlural(const char* one, const char* many, std::uint64_t count) {
    if (!State().started) {
        return count == 1 ? one : many;
    }
    // ngettext takes an unsigned long; counts past its range read as "many".
    const unsigned long n =
        count > 1'000'000'000 ? 1'000'000'000 : static_cast<unsigned long>(count);
    return ::dngettext(kDomain, one, many, n);
}

std::string Fill(std::string_view pattern, std::span<const std::string_view> values) {
    std::string out;
    FillInto(pattern, values, out);
    return out;
}

void FillInto(std::string_view pattern, std::span<const std::string_view> values,
              std::string& out) {
    out.clear();
    out.reserve(pattern.size() + 16 * values.size());
    for (std::size_t k = 0; k < pattern.size();) {
        // The text up to the next brace goes over whole.
        const std::size_t brace = std::min(pattern.find('{', k), pattern.size());
        out.append(pattern.substr(k, brace - k));
        k = brace;
        if (k == pattern.size()) {
            break;
        }
        if (k + 2 < pattern.size() && pattern[k + 1] >= '1' && pattern[k + 1] <= '9' &&
            pattern[k + 2] == '}') {
            const auto index = static_cast<std::size_t>(pattern[k + 1] - '1');
            if (index < values.size()) {
                out.append(values[index]);
                k += 3;
                continue;
            }
        }
        out.push_back('{');
        ++k;
    }
}

std::vector<std::string> MessageLanguages() {
    const char* current = std::setlocale(LC_MESSAGES, nullptr);
    const std::string locale = current != nullptr ? current : "C";
    std::vector<std::string> languages;
    // gettext reads LANGUAGE only outside the C locale; so does this.
    const std::string list = EnvironmentValue("LANGUAGE");
    if (!list.empty() && !(locale == "C" || locale == "POSIX")) {
        std::string_view rest = list;
        while (!rest.empty()) {
            const std::size_t colon = rest.find(':');
            const std::string_view item = rest.substr(0, colon);
            if (!item.empty() && !IsPlainLocale(item)) {
                languages.push_back(LanguageOnly(item));
            }
            rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
        }
        return languages;
    }
    const std::string name = LocaleNameFor("LC_MESSAGES");
    if (!IsPlainLocale(name)) {
        languages.push_back(LanguageOnly(name));
    }
    return languages;
}

void StartTranslations(const std::string& catalogueFolder) {
    // Only the messages category: numbers, dates and the order of names stay
    // what the program and the files it writes expect.
    if (std::setlocale(LC_MESSAGES, "") == nullptr) {
        // The user's locale is not installed (a fresh system often has only
        // C.UTF-8). gettext still follows LANGUAGE under C.UTF-8, so the
        // language is handed over there.
        const std::string name = LocaleNameFor("LC_MESSAGES");
        if (!IsPlainLocale(name) && EnvironmentValue("LANGUAGE").empty()) {
            ::setenv("LANGUAGE", name.c_str(), 1);
        }
        std::setlocale(LC_MESSAGES, "C.UTF-8");
    }
    ::bindtextdomain(kDomain, catalogueFolder.c_str());
    ++_nl_msg_cat_cntr;
    ::bind_textdomain_codeset(kDomain, "UTF-8");
    LocaleState& state = State();
    state.groupSeparator = IcuGroupSeparator(LocaleNameFor("LC_NUMERIC"));
    state.started = true;
}

std::string_view GroupSeparator() {
    return State().groupSeparator;
}

}  // namespace kestrel::text
