#include "lists/listed_names.h"

#include <utility>

namespace kestrel::lists {

ListedNames::ListedNames(std::unique_ptr<platform::FolderWatch> watch) : watch_(std::move(watch)) {}

bool ListedNames::Watch(std::size_t index, std::string_view folder) {
    return watch_ && watch_->Watch(index, folder);
}

bool ListedNames::Watched(std::size_t index) {
    return watch_ && watch_->StillWatched(index);
}

const NameSet& ListedNames::Keep(std::size_t index, NameSet names) {
    if (index >= names_.size()) {
        names_.resize(index + 1);
    }
    names.Seal();
    names_[index] = std::make_unique<NameSet>(std::move(names));
    return *names_[index];
}

void ListedNames::ForgetChanged() {
    if (!watch_) {
        return;
    }
    changed_.clear();
    watch_->TakeChanges(changed_);
    for (const std::size_t index : changed_) {
        if (index < names_.size()) {
            names_[index].reset();
        }
    }
}

const NameSet* ListedNames::Trusted(std::size_t index) {
    if (index >= names_.size() || !names_[index]) {
        return nullptr;
    }
    if (!Watched(index)) {
        // Moved, removed or replaced: its path now names something else, which
        // no watch covers, so it is read whenever it is needed from now on.
        names_[index].reset();
        return nullptr;
    }
    return names_[index].get();
}

}  // namespace kestrel::lists
