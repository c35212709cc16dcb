#include "engine/name_checks.h"

#include "text/program_path.h"
#include "text/unicode_text.h"

namespace kestrel::engine {

std::string LengthCheck(std::string_view newName, int maxLength) {
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
    return "Filename exceeds " + std::to_string(maxLength) + " character" +
           (maxLength == 1 ? "" : "s") + " in length.";
}

std::string ErrorCheck1(std::string_view newName) {
    // The folder mark needs no special case: a backslash is never invalid. A
    // "." or ".." folder would lead the entry out of its target folder.
    if (newName.find_first_of(text::kInvalidNameCharacters) != std::string_view::npos ||
        text::HasDotComponent(newName)) {
        return "Invalid characters";
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
    return isNew ? std::string() : std::string("Duplicate filename");
}

}  // namespace kestrel::engine
