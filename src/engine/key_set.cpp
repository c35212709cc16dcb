#include "engine/key_set.h"

#include <bit>
#include <functional>

namespace kestrel::engine {
namespace {

constexpr std::size_t kSmallestTable = 16;

}  // namespace

void KeySet::Reserve(std::size_t count) {
    if (count * 2 > slots_.size()) {
        Rehash(std::bit_ceil(std::max(count * 2, kSmallestTable)));
    }
}

void KeySet::Clear() {
    slots_.assign(slots_.size(), Slot{});
    bytes_.clear();
    count_ = 0;
}

// The slot holding `key`, or the empty slot where it would go.
std::size_t KeySet::Probe(std::uint64_t hash, std::string_view key) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
        const Slot& slot = slots_[i];
        if (slot.offset == kEmpty || (slot.hash == hash && std::string_view(bytes_).substr(
                                                               slot.offset, slot.length) == key)) {
            return i;
        }
    }
}

void KeySet::Rehash(std::size_t slotCount) {
    std::vector<Slot> old = std::move(slots_);
    slots_.assign(slotCount, Slot{});
    const std::size_t mask = slotCount - 1;
    for (const Slot& slot : old) {
        if (slot.offset != kEmpty) {
            std::size_t i = slot.hash & mask;
            while (slots_[i].offset != kEmpty) {
                i = (i + 1) & mask;
            }
            slots_[i] = slot;
        }
    }
}

bool KeySet::Insert(std::string_view key) {
    Reserve(count_ + 1);
    const std::uint64_t hash = std::hash<std::string_view>{}(key);
    Slot& slot = slots_[Probe(hash, key)];
    if (slot.offset != kEmpty) {
        return false;
    }
    slot = {hash, bytes_.size(), key.size()};
    bytes_.append(key);
    ++count_;
    return true;
}

}  // namespace kestrel::engine
