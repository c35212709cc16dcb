#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/row_message.h"

// Pure text checks the preview runs on each new name. Each returns the item's
// message in English, or an empty text when the name passes; the preview
// decides which checks run and which message wins. The messages are whole
// texts of the catalogue, so RowMessage::Fixed makes them shown, except the
// length check's, which LengthMessage makes both ways.
namespace kestrel::engine {

/// Counts the characters of the last path element of the new name (a trailing
/// folder mark is not part of it) and reports, in English and in the user's
/// language, when there are more than `maxLength`.
RowMessage LengthMessage(std::string_view newName, int maxLength);

/// Reports any of / ? : * " < > | in the new name, and a "." or ".." folder;
/// backslashes are allowed because they make sub-folders.
std::string ErrorCheck1(std::string_view newName);

/// True when the names differ after lower-casing both, i.e. in more than case.
bool DiffersOtherThanCase(std::string_view currentName, std::string_view newName);

/// The hash of a text folded for case, as the duplicate check and a folder's
/// name set compare names by.
std::uint64_t FoldedHash(std::string_view folded);

/// The hash of a target path folded for case, from the hashes of its two parts
/// split after its last backslash. Split there, the same path reached through
/// different folders and sub-folder names ("T:\\A\\" + "x", "T:\\" + "a\\X")
/// always falls apart into the same two parts.
std::uint64_t TargetPathHash(std::uint64_t folderHash, std::uint64_t leafHash);

/// The targets of one preview pass by the hashes of their folded paths, for
/// spotting two rows that would be renamed to the same path. A hash can stand
/// for two paths, so a match is confirmed by the caller, who knows the paths.
class DuplicateTargets {
  public:
    /// `expectedCount` sizes the table for a pass of that many targets.
    explicit DuplicateTargets(std::size_t expectedCount = 0);

    /// True when an earlier row of the pass has a target with `pathHash` for
    /// which `sameTarget(earlierRow)` is true: `row` is then a duplicate.
    /// Otherwise `row` is remembered as the holder of its target.
    template <typename SameTarget>
    bool Repeats(std::uint64_t pathHash, std::size_t row, SameTarget sameTarget) {
        Grow();
        std::size_t i = pathHash & mask_;
        for (; slots_[i].row != kEmpty; i = (i + 1) & mask_) {
            if (slots_[i].hash == pathHash && sameTarget(slots_[i].row)) {
                return true;
            }
        }
        slots_[i] = {pathHash, row};
        ++count_;
        return false;
    }

  private:
    static constexpr std::size_t kEmpty = static_cast<std::size_t>(-1);
    struct Slot {
        std::uint64_t hash = 0;
        std::size_t row = kEmpty;
    };
    /// Keeps the table at most half full.
    void Grow();

    std::vector<Slot> slots_;  // a power of two
    std::size_t mask_ = 0;
    std::size_t count_ = 0;
};

}  // namespace kestrel::engine
