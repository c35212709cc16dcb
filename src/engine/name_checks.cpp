#include "engine/name_checks.h"

#include <algorithm>
#include <cstdint>

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

std::string ErrorCheck1(std::string_view newName) {
    // The folder mark needs no special case: a backslash is never invalid. A
    // "." or ".." folder would lead the entry out of its target folder.
    if (newName.find_first_of(text::kInvalidNameCharacters) != std::string_view::npos ||
        text::HasDotComponent(newName)) {
        return N_("Invalid characters");
    }
    return {};
}

bool DiffersOtherThanCase(std::string_view currentName, std::string_view newName) {
    return !text::EqualAsLowerCase(currentName, newName);
}

DuplicateTargets::DuplicateTargets(std::size_t expectedCount) {
    foldedTargets_.Reserve(expectedCount);
}

void DuplicateTargets::Clear() {
    foldedTargets_.Clear();
}

std::string DuplicateTargets::ErrorCheck3(std::string_view folder, std::string_view name) {
    // A file and a folder with the same target name collide, so the folder
    // mark is dropped before the comparison key is made.
    if (name.ends_with('\\')) {
        name.remove_suffix(1);
    }
    if (folder != folder_) {
        folder_.assign(folder);
        text::FoldCaseInto(folder, folderKey_);
    }
    text::FoldCaseInto(name, nameKey_);
    key_.assign(folderKey_).append(nameKey_);
    const bool isNew = foldedTargets_.Insert(key_);
    return isNew ? std::string() : std::string(N_("Duplicate filename"));
}

}  // namespace kestrel::engine
