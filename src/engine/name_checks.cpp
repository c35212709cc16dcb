#include "engine/name_checks.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>

#include "text/program_path.h"
#include "text/unicode_text.h"

namespace kestrel::engine {

RowMessage LengthMessage(std::string_view newName, int maxLength) {
    // A folder's new name ends with "\"; that mark is not part of the name, and
    // counting after it would let every folder name pass.
    std::string name(newName);
    text::StripTrailingBackslash(name);
    const std::size_t lastBackslash = name.rfind('\\');
    const std::string_view lastElement = lastBackslash == std::string::npos
                                             ? std::string_view(name)
                                             : std::string_view(name).substr(lastBackslash + 1);
    const std::size_t length = text::CodePointCount(lastElement);
    if (maxLength >= 0 && length <= static_cast<std::size_t>(maxLength)) {
        return {};
    }
    const std::string number = std::to_string(maxLength);
    const auto count = static_cast<std::uint64_t>(std::max(maxLength, 0));
    // The preview lines take the English form whatever the user's language,
    // so the texts appear twice: the catalogue's extractor reads them only
    // inside TrPlural.
    return {text::Fill(count == 1 ? "Filename exceeds {1} character in length."
                                  : "Filename exceeds {1} characters in length.",
                       {number}),
            // TRANSLATORS: {1} is the most characters a name may have, as the
            // preferences set it.
            text::Fill(text::TrPlural("Filename exceeds {1} character in length.",
                                      "Filename exceeds {1} characters in length.", count),
                       {number})};
}

namespace {

constexpr std::array<bool, 256> InvalidCharacterTable() {
    std::array<bool, 256> table{};
    for (const char c : text::kInvalidNameCharacters) {
        table[static_cast<unsigned char>(c)] = true;
    }
    return table;
}
constexpr std::array<bool, 256> kInvalidCharacter = InvalidCharacterTable();

}  // namespace

std::string ErrorCheck1(std::string_view newName) {
    // One look at each character, as this runs for every row of every
    // preview. The folder mark needs no special case: a backslash is never
    // invalid. A "." or ".." folder would lead the entry out of its target
    // folder.
    const bool invalidCharacter = std::any_of(newName.begin(), newName.end(), [](char c) {
        return kInvalidCharacter[static_cast<unsigned char>(c)];
    });
    if (invalidCharacter || text::HasDotComponent(newName)) {
        return N_("Invalid characters");
    }
    return {};
}

bool DiffersOtherThanCase(std::string_view currentName, std::string_view newName) {
    return !text::EqualAsLowerCase(currentName, newName);
}

std::uint64_t FoldedHash(std::string_view folded) {
    return std::hash<std::string_view>{}(folded);
}

std::uint64_t TargetPathHash(std::uint64_t folderHash, std::uint64_t leafHash) {
    // The folder's hash is mixed first, so that swapping the parts changes it.
    std::uint64_t h = folderHash * 0x9E3779B97F4A7C15ULL ^ leafHash;
    h ^= h >> 33;
    h *= 0xFF51AFD7ED558CCDULL;
    h ^= h >> 33;
    return h;
}

DuplicateTargets::DuplicateTargets(std::size_t expectedCount) {
    slots_.resize(std::bit_ceil(std::max<std::size_t>(expectedCount * 2, 16)));
    mask_ = slots_.size() - 1;
}

void DuplicateTargets::Grow() {
    if ((count_ + 1) * 2 <= slots_.size()) {
        return;
    }
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.row == kEmpty) {
            continue;
        }
        std::size_t i = slot.hash & mask_;
        while (slots_[i].row != kEmpty) {
            i = (i + 1) & mask_;
        }
        slots_[i] = slot;
    }
}

}  // namespace kestrel::engine
