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

  private:
    struct Slot {
        std::uint32_t tag = 0;    // the hash's upper half, to pass over most others
        std::uint32_t entry = 0;  // key number + 1; 0 for an empty slot
    };

    std::string_view Key(std::uint32_t entry) const;
    void Rehash(std::size_t slotCount);

    std::vector<Slot> slots_;  // a power of two, at most half full
    std::string bytes_;
    std::vector<std::size_t> ends_;  // key n ends at ends_[n + 1]; ends_[0] is 0
};

}  // namespace kestrel::engine
