#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// A set of byte strings for one pass over a long list: the keys live one after
// another in a single buffer and the table is open-addressed, so adding tens of
// thousands of keys costs no allocation per key.
namespace kestrel::engine {

class KeySet {
  public:
    void Reserve(std::size_t count);
    void Clear();
    /// True when `key` was not in the set yet; it is in the set afterwards.
    bool Insert(std::string_view key);

  private:
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t offset = kEmpty;  // of the key in bytes_
        std::size_t length = 0;
    };
    static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);

    void Rehash(std::size_t slotCount);
    std::size_t Probe(std::uint64_t hash, std::string_view key) const;

    std::vector<Slot> slots_;  // a power of two, at most half full
    std::string bytes_;
    std::size_t count_ = 0;
};

}  // namespace kestrel::engine
