#pragma once

#include <string>
#include <utility>

#include "text/translation.h"

// A row's message in the lists, made twice where it is made: in the user's
// language for the window, and in English for the preview lines, which the
// scripts that read them see the same in every language. A message put
// together from parts (a tag, a number, a reader's problem) cannot be
// translated afterwards, so both are kept side by side.
namespace kestrel::engine {

/// A text Kestrel keeps in English (marked with N_ where it is defined) in the
/// user's language; a library's words, which no catalogue holds, stay as they are.
inline std::string ShownText(const std::string& english) {
    return english.empty() ? std::string() : std::string(text::Tr(english.c_str()));
}

struct RowMessage {
    /// What the preview lines write; empty when the row passed.
    std::string english;
    /// What the window shows.
    std::string shown;

    bool Empty() const { return english.empty(); }

    /// A message that is one whole text of the catalogue.
    static RowMessage Fixed(std::string english) {
        std::string shown = ShownText(english);
        return {std::move(english), std::move(shown)};
    }
};

}  // namespace kestrel::engine
