#include "engine/key_set.h"

#include <algorithm>
#include <bit>
#include <functional>

namespace kestrel::engine {
namespace {

constexpr std::size_t kSmallestTable = 16;

std::uint64_t HashOf(std::string_view key) {
    return std::hash<std::string_view>{}(key);
}

std::uint32_t TagOf(std::uint64_t hash) {
    return static_cast<std::uint32_t>(hash >> 32);
}

}  // namespace

KeySet::KeySet() : ends_{0} {}

void KeySet::Reserve(std::size_t count) {
    if (count * 2 > slots_.size()) {
        Rehash(std::bit_ceil(std::max(count * 2, kSmallestTable)));
    }
}

void KeySet::Clear() {
    std::fill(slots_.begin(), slots_.end(), Slot{});
    bytes_.clear();
    ends_.assign(1, 0);
}

std::string_view KeySet::Key(std::uint32_t entry) const {
    return std::string_view(bytes_).substr(ends_[entry - 1], ends_[entry] - ends_[entry - 1]);
}

void KeySet::Rehash(std::size_t slotCount) {
    slots_.assign(slotCount, Slot{});
    const std::size_t mask = slotCount - 1;
    for (std::uint32_t entry = 1; entry < ends_.size(); ++entry) {
        const std::uint64_t hash = HashOf(Key(entry));
        std::size_t i = hash & mask;
        while (slots_[i].entry != 0) {
            i = (i + 1) & mask;
        }
        slots_[i] = {TagOf(hash), entry};
    }
}

std::size_t KeySet::SlotOf(std::string_view key, std::uint64_t hash) const {
    const std::uint32_t tag = TagOf(hash);
    const std::size_t mask = slots_.size() - 1;
    std::size_t i = hash & mask;
    while (slots_[i].entry != 0 && (slots_[i].tag != tag || Key(slots_[i].entry) != key)) {
        i = (i + 1) & mask;
    }
    return i;
}

std::size_t KeySet::Add(std::string_view key, std::uint64_t hash, std::size_t slot) {
    bytes_.append(key);
    ends_.push_back(bytes_.size());
    slots_[slot] = {TagOf(hash), static_cast<std::uint32_t>(ends_.size() - 1)};
    return ends_.size() - 2;
}

bool KeySet::Insert(std::string_view key) {
    Reserve(ends_.size());
    const std::uint64_t hash = HashOf(key);
    const std::size_t slot = SlotOf(key, hash);
    if (slots_[slot].entry != 0) {
        return false;
    }
    Add(key, hash, slot);
    return true;
}

std::size_t KeySet::Number(std::string_view key) {
    Reserve(ends_.size());
    const std::uint64_t hash = HashOf(key);
    const std::size_t slot = SlotOf(key, hash);
    return slots_[slot].entry != 0 ? slots_[slot].entry - 1 : Add(key, hash, slot);
}

std::size_t KeySet::Find(std::string_view key) const {
    if (slots_.empty()) {
        return kNone;
    }
    const std::size_t slot = SlotOf(key, HashOf(key));
    return slots_[slot].entry != 0 ? slots_[slot].entry - 1 : kNone;
}

}  // namespace kestrel::engine
