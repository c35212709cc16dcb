#include "text/translation.h"

#include <gettext-po.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "text/numbers.h"

namespace kestrel::text {
namespace {

TEST(Fill, PutsEachValueWhereItsPlaceSays) {
    struct Row {
        const char* pattern;
        std::string expected;
    };
    const Row rows[] = {
        {"Reading item {1}...", "Reading item one..."},
        {"{2} before {1}", "two before one"},
        {"{1}{1}", "oneone"},
        {"no places", "no places"},
        {"{3} has no value, {0} and {x} are no places",
         "{3} has no value, {0} and {x} are no places"},
        {"a brace at the end {", "a brace at the end {"},
        {"{1", "{1"},
        {"{{1}}", "{one}"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(Fill(row.pattern, {"one", "two"}), row.expected) << row.pattern;
    }
}

struct Message {
    std::string msgid;
    std::string plural;
    std::vector<std::string> translations;
    bool fuzzy = false;
};

// The entries of a catalogue, read with gettext's own library.
std::vector<Message> ReadCatalogue(const std::string& path) {
    static const po_xerror_handler handler = {
        [](int severity, po_message_t, const char* file, size_t line, size_t, int,
           const char* text) {
            ADD_FAILURE() << (file != nullptr ? file : "") << ":" << line << ": " << text;
            if (severity == PO_SEVERITY_FATAL_ERROR) {
                std::abort();
            }
        },
        [](int, po_message_t, const char*, size_t, size_t, int, const char* text, po_message_t,
           const char*, size_t, size_t, int, const char*) { ADD_FAILURE() << text; }};
    std::unique_ptr<std::remove_pointer_t<po_file_t>, void (*)(po_file_t)> file(
        po_file_read(path.c_str(), &handler), po_file_free);
    std::vector<Message> messages;
    if (!file) {
        ADD_FAILURE() << "cannot read " << path;
        return messages;
    }
    po_message_iterator_t iterator = po_message_iterator(file.get(), nullptr);
    while (po_message_t entry = po_next_message(iterator)) {
        if (po_message_is_obsolete(entry) || *po_message_msgid(entry) == '\0') {
            continue;
        }
        Message message{po_message_msgid(entry), "", {}, po_message_is_fuzzy(entry) != 0};
        if (const char* plural = po_message_msgid_plural(entry)) {
            message.plural = plural;
            for (int k = 0; const char* form = po_message_msgstr_plural(entry, k); ++k) {
                message.translations.emplace_back(form);
            }
        } else {
            message.translations.emplace_back(po_message_msgstr(entry));
        }
        messages.push_back(std::move(message));
    }
    po_message_iterator_free(iterator);
    return messages;
}

// The places "{1}".."{9}" of a text, counted, and its keyboard accelerators
// ("&" before a character; "&&" is an ampersand).
std::map<std::string, int> Places(const std::string& text) {
    std::map<std::string, int> places;
    for (std::size_t k = 0; k + 2 < text.size() + 1; ++k) {
        if (text[k] == '{' && k + 2 < text.size() && text[k + 1] >= '1' && text[k + 1] <= '9' &&
            text[k + 2] == '}') {
            ++places[text.substr(k, 3)];
        } else if (text[k] == '&' && k + 1 < text.size()) {
            if (text[k + 1] != '&') {
                ++places["&"];
            }
            ++k;
        }
    }
    const bool endsWithBreak = !text.empty() && text.back() == '\n';
    places["line break at the end"] = endsWithBreak ? 1 : 0;
    return places;
}

// A translation that loses a value's place, an accelerator or a closing line
// break shows a broken message; one that is missing or fuzzy shows English.
TEST(Catalogues, TranslateEveryTextKeepingItsPlacesAndAccelerator) {
    for (const char* language : {"de", "fr"}) {
        const std::vector<Message> messages =
            ReadCatalogue(std::string(KESTREL_PO_FOLDER) + "/" + language + ".po");
        EXPECT_GT(messages.size(), 100U) << language;
        for (const Message& message : messages) {
            SCOPED_TRACE(std::string(language) + ": " + message.msgid);
            EXPECT_FALSE(message.fuzzy);
            for (const std::string& translation : message.translations) {
                ASSERT_FALSE(translation.empty());
                std::map<std::string, int> expected = Places(message.msgid);
                if (message.translations.size() > 1 || !message.plural.empty()) {
                    // A singular may say "one" in words instead of "{1}".
                    std::map<std::string, int> got = Places(translation);
                    got.erase("{1}");
                    expected.erase("{1}");
                    EXPECT_EQ(got, expected) << translation;
                } else {
                    EXPECT_EQ(Places(translation), expected) << translation;
                }
            }
        }
    }
}

struct Locale {
    const char* lang;
    const char* language;  // LANGUAGE
    const char* lcAll;
};

void UseLocale(const Locale& locale) {
    for (auto [name, value] : {std::pair{"LANG", locale.lang},
                               {"LANGUAGE", locale.language},
                               {"LC_ALL", locale.lcAll}}) {
        if (value != nullptr) {
            ::setenv(name, value, 1);
        } else {
            ::unsetenv(name);
        }
    }
    ::unsetenv("LC_MESSAGES");
    ::unsetenv("LC_NUMERIC");
    StartTranslations(KESTREL_LOCALE_FOLDER);
}

// What the catalogue of `language` says for `msgid`; empty when it has none.
std::string TranslationOf(const char* language, const std::string& msgid) {
    for (const Message& message :
         ReadCatalogue(std::string(KESTREL_PO_FOLDER) + "/" + language + ".po")) {
        if (message.msgid == msgid && message.plural.empty()) {
            return message.translations[0];
        }
    }
    return {};
}

// The locales of a fresh system are often only C and C.UTF-8: the language
// must follow LANG all the same, as the desktop's other programs do.
TEST(Translations, FollowTheEnvironmentsLanguageEvenWhenItsLocaleIsNotInstalled) {
    // A text of the menu entry, which every catalogue has.
    const std::string english = "Rename with Kestrel";
    const std::map<std::string, std::string> translations = {
        {"de", TranslationOf("de", english)}, {"fr", TranslationOf("fr", english)}, {"", english}};
    struct Row {
        Locale locale;
        std::vector<std::string> languages;
        std::string separator;
    };
    const Row rows[] = {
        {{"de_DE.UTF-8", nullptr, nullptr}, {"de_DE"}, "."},
        {{"fr_FR.UTF-8", nullptr, nullptr}, {"fr_FR"}, "\u202f"},
        {{"de_DE.UTF-8", "fr:de", nullptr}, {"fr", "de"}, "."},
        {{"en_GB.UTF-8", nullptr, "de_DE.UTF-8"}, {"de_DE"}, "."},
        // The C locale asks for the program's own texts, whatever LANGUAGE says.
        {{"C", "de", nullptr}, {}, ","},
        {{nullptr, nullptr, nullptr}, {}, ","},
        {{"es_ES.UTF-8", nullptr, nullptr}, {"es_ES"}, "."},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.locale.lang ? row.locale.lang : "-") + " " +
                     (row.locale.language ? row.locale.language : "-"));
        UseLocale(row.locale);
        EXPECT_EQ(MessageLanguages(), row.languages);
        EXPECT_EQ(FormatCount(32767), "32" + row.separator + "767");
        const std::string first = row.languages.empty() ? "" : row.languages[0].substr(0, 2);
        const bool known = translations.count(first) != 0;
        EXPECT_EQ(Tr(english.c_str()), translations.at(known ? first : ""));
        // A text no catalogue has stays English.
        EXPECT_STREQ(Tr("No catalogue has this text."), "No catalogue has this text.");
    }
    UseLocale({nullptr, nullptr, nullptr});
}

TEST(Translations, CountedTextsTakeTheLanguagesPluralRule) {
    for (const char* language : {"de", "fr"}) {
        for (const Message& message :
             ReadCatalogue(std::string(KESTREL_PO_FOLDER) + "/" + language + ".po")) {
            if (message.plural.empty()) {
                continue;
            }
            SCOPED_TRACE(std::string(language) + ": " + message.msgid);
            UseLocale({language, nullptr, nullptr});
            // French counts 0 like 1; German, like English, says "0 files".
            const std::size_t zeroForm = std::string_view(language) == "fr" ? 0 : 1;
            EXPECT_EQ(TrPlural(message.msgid.c_str(), message.plural.c_str(), 0),
                      message.translations[zeroForm]);
            EXPECT_EQ(TrPlural(message.msgid.c_str(), message.plural.c_str(), 1),
                      message.translations[0]);
            EXPECT_EQ(TrPlural(message.msgid.c_str(), message.plural.c_str(), 32767),
                      message.translations[1]);
            break;
        }
    }
    UseLocale({nullptr, nullptr, nullptr});
}

}  // namespace
}  // namespace kestrel::text
