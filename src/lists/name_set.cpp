#include "lists/name_set.h"

#include <algorithm>
#include <functional>

#include "text/unicode_text.h"

namespace kestrel::lists {

std::uint64_t NameSet::Key(std::string_view name) const {
    text::FoldCaseInto(name, folded_);
    return std::hash<std::string_view>{}(folded_);
}

void NameSet::Add(std::string_view name) {
    keys_.push_back(Key(name));
}

void NameSet::Seal() {
    std::sort(keys_.begin(), keys_.end());
}

bool NameSet::MayHold(std::string_view name) const {
    return std::binary_search(keys_.begin(), keys_.end(), Key(name));
}

}  // namespace kestrel::lists
