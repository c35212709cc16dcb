#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "lists/name_set.h"
#include "platform/folder_watch.h"

// Every name of each folder a listing read, kept for the preview's
// existing-target check so that it need not read the folders again for every
// pass. A folder's names are kept only while a watch on the folder says that
// nothing in it has changed since they were read; a folder that cannot be
// watched keeps none, and the check reads it whenever it needs it.
namespace kestrel::lists {

class ListedNames {
  public:
    /// Knows nothing: every folder is read when its names are needed.
    ListedNames() = default;
    explicit ListedNames(std::unique_ptr<platform::FolderWatch> watch);

    /// Starts watching the folder of table index `index` (0-based). Called
    /// before the folder is read; false when it cannot be watched.
    bool Watch(std::size_t index, std::string_view folder);
    /// Keeps the names read from folder `index`, which was watched (Watch, or
    /// Watched said so) before they were read; returns the kept names, which
    /// stay where they are until the folder's names are dropped.
    const NameSet& Keep(std::size_t index, NameSet names);
    /// Drops the names of every folder in which something changed since
    /// they were read. Called at the start of each preview pass.
    void ForgetChanged();
    /// The names of folder `index` when they are still known to be right
    /// (one metadata call to be sure the path still names the folder watched).
    const NameSet* Trusted(std::size_t index);
    /// Whether folder `index` is still watched where its path says, so that
    /// names read from it now may be kept (one metadata call).
    bool Watched(std::size_t index);

  private:
    std::unique_ptr<platform::FolderWatch> watch_;
    /// Each set on its own, so that keeping one leaves the others in place.
    std::vector<std::unique_ptr<NameSet>> names_;
    std::vector<std::size_t> changed_;  // reused by every pass
};

}  // namespace kestrel::lists
