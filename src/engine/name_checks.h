#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "engine/key_set.h"
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

/// The targets seen so far in one preview pass, for spotting two items that
/// would be renamed to the same path.
class DuplicateTargets {
  public:
    /// `expectedCount` pre-sizes the set for a pass of that many items.
    explicit DuplicateTargets(std::size_t expectedCount = 0);

    /// Forgets every target; called at the start of each preview pass.
    void Clear();

    /// Reports the target `folder` + `name` when an earlier one of this pass
    /// equals it without regard to case or a trailing folder mark, then
    /// remembers it. The two parts need not be joined first.
    std::string ErrorCheck3(std::string_view folder, std::string_view name);

  private:
    KeySet foldedTargets_;
    // Reused for every target of the pass. A pass mostly stays in one folder,
    // which is folded again only when it changes.
    std::string folder_;
    std::string folderKey_;
    std::string nameKey_;
    std::string key_;
};

}  // namespace kestrel::engine
