#include "app/path_presenter.h"

#include <algorithm>
#include <optional>

namespace kestrel::app {

std::string PathPresenter::Path(std::string_view programPath) const {
    if (style_ == PathStyle::DriveLetters || drives_ == nullptr) {
        return std::string(programPath);
    }
    std::optional<std::string> host = drives_->ToHostPath(programPath);
    if (!host) {
        return std::string(programPath);
    }
    // The folder mark stays a mark, in this computer's separator.
    if (programPath.ends_with('\\') && !host->ends_with('/')) {
        host->push_back('/');
    }
    return *host;
}

std::string PathPresenter::Relative(std::string_view relative) const {
    std::string shown(relative);
    if (style_ == PathStyle::Host) {
        std::replace(shown.begin(), shown.end(), '\\', '/');
    }
    return shown;
}

}  // namespace kestrel::app
