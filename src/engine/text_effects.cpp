#include "engine/text_effects.h"

#include <algorithm>
#include <cstddef>

#include "engine/character_classes.h"
#include "text/unicode_text.h"

namespace kestrel::engine {

std::u32string SpaceOutCharacters(std::u32string_view text, int count) {
    if (count < 1 || text.size() < 2) {
        return std::u32string(text);
    }
    const auto spaces = static_cast<std::size_t>(count);
    std::u32string out;
    out.reserve(text.size() + (text.size() - 1) * spaces);
    out.push_back(text.front());
    for (std::size_t i = 1; i < text.size(); ++i) {
        out.append(spaces, U' ');
        out.push_back(text[i]);
    }
    return out;
}

void ReverseText(std::u32string& text) {
    std::reverse(text.begin(), text.end());
}

std::u32string SeparateCapitalizedWords(std::u32string_view text, std::u32string_view separator) {
    if (text.size() < 2) {
        return std::u32string(text);
    }
    std::u32string out;
    out.reserve(text.size() * (1 + separator.size()));
    out.push_back(text.front());
    for (std::size_t i = 1; i < text.size(); ++i) {
        if (text::IsUpper(text[i]) && !IsWordSeparator(text[i - 1])) {
            out.append(separator);
        }
        out.push_back(text[i]);
    }
    return out;
}

void ApplyTextEffect(TextEffect effect, std::u32string& text) {
    switch (effect) {
        case TextEffect::None:
            return;
        case TextEffect::SpaceOut:
            text = SpaceOutCharacters(text, 1);
            return;
        case TextEffect::Reverse:
            ReverseText(text);
            return;
        case TextEffect::SeparateCapitalized:
            text = SeparateCapitalizedWords(text, U" ");
            return;
    }
}

}  // namespace kestrel::engine
