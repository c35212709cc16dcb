#include "engine/character_classes.h"

#include <array>
#include <cstddef>

#include "text/unicode_text.h"

namespace kestrel::engine {
namespace {

using Latin1Table = std::array<bool, 256>;

constexpr Latin1Table MakeTable(std::string_view members) {
    Latin1Table table{};
    for (char c : members) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}

constexpr void MarkRange(Latin1Table& table, std::size_t first, std::size_t last) {
    for (std::size_t c = first; c <= last; ++c) {
        table[c] = true;
    }
}

constexpr Latin1Table MakeWordTable() {
    Latin1Table table{};
    MarkRange(table, '0', '9');
    MarkRange(table, 'A', 'Z');
    MarkRange(table, 'a', 'z');
    MarkRange(table, 0xC0, 0xD6);
    MarkRange(table, 0xD8, 0xF6);
    MarkRange(table, 0xF8, 0xFF);
    return table;
}

constexpr Latin1Table kWordTable = MakeWordTable();
constexpr Latin1Table kWordSeparatorTable = MakeTable(kWordSeparators);
constexpr Latin1Table kRuleSeparatorTable = MakeTable(kRuleSeparators);

bool InTable(const Latin1Table& table, char32_t c) {
    return c < table.size() && table[c];
}

}  // namespace

bool IsWordCharacterBeyondLatin1(char32_t c) {
    // Every case partner of a Latin-1 word character that lies inside Latin-1 is
    // itself in Latin-1, so the inline test answers there. Outside it, only a
    // partner can count: Ÿ (ÿ), ſ (S), ı (I), the Kelvin sign (k) and the like.
    return InTable(kWordTable, text::ToLower(c)) || InTable(kWordTable, text::ToUpper(c));
}

// The separators have no letter case and no other character has one of them as
// its case partner, so a plain lookup is already case-blind.
bool IsWordSeparator(char32_t c) {
    return InTable(kWordSeparatorTable, c);
}

bool IsRuleSeparator(char32_t c) {
    return InTable(kRuleSeparatorTable, c);
}

}  // namespace kestrel::engine
