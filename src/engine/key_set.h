#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A set of byte strings for one pass over a long list: the keys live one after
// another in a single buffer and the table is open-addressed with eight-byte
// slots, so adding tens of thousands of keys costs no allocation per key and
// a look-up mostly touches a single cache line.
namespace kestrel::engine {

class KeySet {
  public:
    KeySet();
    void Reserve(std::size_t count);
    void Clear();
    /// True when `key` was not in the set yet; it is in the set afterwards.
    bool Insert(std::string_view key);
    /// The number of `key`, counting keys from 0 in the order they were first
    /// added; the key is added when it is new.
    std::size_t Number(std::string_view key);
    /// The number of `key`, or kNone when it is not in the set.
    std::size_t Find(std::string_view key) const;
    static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  private:
    struct Slot {
        std::uint32_t tag = 0;    // the hash's upper half, to pass over most others
        std::uint32_t entry = 0;  // key number + 1; 0 for an empty slot
    };

    std::string_view Key(std::uint32_t entry) const;
    void Rehash(std::size_t slotCount);
    /// The slot holding `key`, or the empty slot where it would go.
    std::size_t SlotOf(std::string_view key, std::uint64_t hash) const;
    /// Adds a key known to be new into the empty slot `slot`.
    std::size_t Add(std::string_view key, std::uint64_t hash, std::size_t slot);

    std::vector<Slot> slots_;  // a power of two, at most half full
    std::string bytes_;
    std::vector<std::size_t> ends_;  // key n ends at ends_[n + 1]; ends_[0] is 0
};

}  // namespace kestrel::engine
