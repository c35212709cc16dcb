#include "lists/name_set.h"

#include <algorithm>
#include <bit>

#include "engine/name_checks.h"
#include "text/unicode_text.h"

namespace kestrel::lists {
namespace {

// Zero marks an empty slot, so no name may hash to it.
constexpr std::uint64_t kEmptySlot = 0;

}  // namespace

std::uint64_t NameSet::KeyOfHash(std::uint64_t foldedHash) {
    return foldedHash == kEmptySlot ? 1 : foldedHash;
}

std::uint64_t NameSet::Key(std::string_view name) const {
    text::FoldCaseInto(name, folded_);
    return KeyOfHash(engine::FoldedHash(folded_));
}

void NameSet::Add(std::string_view name) {
    keys_.push_back(Key(name));
}

void NameSet::Seal() {
    if (Sealed()) {
        return;
    }
    // At most half full, so that a look-up ends after a slot or two.
    std::vector<std::uint64_t> table(std::bit_ceil(std::max<std::size_t>(keys_.size() * 2, 2)),
                                     kEmptySlot);
    mask_ = table.size() - 1;
    for (const std::uint64_t key : keys_) {
        std::size_t i = key & mask_;
        while (table[i] != kEmptySlot && table[i] != key) {
            i = (i + 1) & mask_;
        }
        table[i] = key;
    }
    keys_ = std::move(table);
}

bool NameSet::MayHold(std::string_view name) const {
    text::FoldCaseInto(name, folded_);
    return MayHoldFolded(engine::FoldedHash(folded_));
}

bool NameSet::MayHoldFolded(std::uint64_t foldedHash) const {
    const std::uint64_t key = KeyOfHash(foldedHash);
    if (!Sealed()) {
        return std::find(keys_.begin(), keys_.end(), key) != keys_.end();
    }
    for (std::size_t i = key & mask_;; i = (i + 1) & mask_) {
        if (keys_[i] == key) {
            return true;
        }
        if (keys_[i] == kEmptySlot) {
            return false;
        }
    }
}

NameSet NameSetOf(const std::vector<std::string>& names) {
    NameSet set;
    for (const std::string& name : names) {
        set.Add(name);
    }
    set.Seal();
    return set;
}

}  // namespace kestrel::lists
