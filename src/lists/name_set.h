#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The names of one folder, compared without regard to letter case, kept as
// hashes in an open-addressed table: sixteen bytes a name at most and no
// allocation per name, for folders of tens of thousands of entries. A hash can
// stand for two names, so a "yes" only says that a name like this may be
// there; callers confirm it on disk.
namespace kestrel::lists {

class NameSet {
  public:
    void Add(std::string_view name);
    /// Called once every name is in, before the first question.
    void Seal();
    bool MayHold(std::string_view name) const;
    /// MayHold for a name already folded for case and hashed with
    /// engine::FoldedHash, as the preview's threads do it.
    bool MayHoldFolded(std::uint64_t foldedHash) const;

  private:
    std::uint64_t Key(std::string_view name) const;
    static std::uint64_t KeyOfHash(std::uint64_t foldedHash);
    // A sealed table has at least two slots.
    bool Sealed() const { return mask_ != 0; }

    std::vector<std::uint64_t> keys_;  // as added; a table once sealed
    std::size_t mask_ = 0;             // table size - 1
    mutable std::string folded_;       // reused for every name
};

/// A sealed set of `names`.
NameSet NameSetOf(const std::vector<std::string>& names);

}  // namespace kestrel::lists
