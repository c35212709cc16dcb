#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Every text a user reads goes through here on its way out, so that it can be
// read in the user's language. The English texts in the code are the keys of
// the catalogues (gettext's .po files under po/); a text a catalogue lacks is
// shown in English. Nothing written to a file goes through here: exports,
// scripts, templates and the journal read the same in every language.
namespace kestrel::text {

/// Marks a text for the catalogues without translating it, for tables whose
/// entries are translated where they are shown.
#define N_(english) english

/// The text in the user's language. Safe on any thread once translations have
/// started; before that (as in the unit tests) the English text itself.
const char* Tr(const char* english);

/// The form of a counted text that fits `count` in the user's language
/// ("1 item" / "2 items" in English).
const char* TrPlural(const char* one, const char* many, std::uint64_t count);

/// The pattern with "{1}" to "{9}" replaced by the values in order, so that a
/// translation may put them where its grammar wants them. A brace that does not
/// start such a place is kept as it is.
std::string Fill(std::string_view pattern, std::span<const std::string_view> values);
/// Fill into `out`, reusing its room: for texts rewritten many times a second.
void FillInto(std::string_view pattern, std::span<const std::string_view> values, std::string& out);
inline std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
    return Fill(pattern, std::span<const std::string_view>(values.begin(), values.size()));
}

/// The user's languages for messages, best first, as gettext reads them from
/// LANGUAGE, LC_ALL, LC_MESSAGES and LANG ("de_DE", "de"); empty for English
/// or the C locale.
std::vector<std::string> MessageLanguages();

/// Reads the user's language and locale from the environment and opens the
/// catalogues in `catalogueFolder` (<folder>/<language>/LC_MESSAGES/kestrel.mo).
/// Called once at the start of the program, before any other thread runs: the
/// language is the process's for its whole life.
void StartTranslations(const std::string& catalogueFolder);

/// The thousands separator of the user's locale for counts in messages; ","
/// until translations have started.
std::string_view GroupSeparator();

}  // namespace kestrel::text
