#include "text/program_path.h"

#include <vector>

namespace kestrel::text {
namespace {

bool IsDotName(std::string_view component) {
    return component == "." || component == "..";
}

// Calls `visit` with each backslash-separated component; stops at the first
// for which it returns false and reports whether every one passed.
template <typename Visit>
bool EveryComponent(std::string_view path, Visit visit) {
    for (;;) {
        const std::size_t slash = path.find('\\');
        if (!visit(path.substr(0, slash))) {
            return false;
        }
        if (slash == std::string_view::npos) {
            return true;
        }
        path.remove_prefix(slash + 1);
    }
}

}  // namespace

std::string AddTrailingBackslash(std::string_view path) {
    std::string out(path);
    if (out.empty() || out.back() != '\\') {
        out.push_back('\\');
    }
    return out;
}

bool StripTrailingBackslash(std::string& path) {
    if (!path.empty() && path.back() == '\\') {
        path.pop_back();
        return true;
    }
    return false;
}

bool HasDotComponent(std::string_view path) {
    return !EveryComponent(path, [](std::string_view component) { return !IsDotName(component); });
}

bool IsAcceptableNewName(std::string_view newName) {
    if (newName.ends_with('\\')) {
        newName.remove_suffix(1);
    }
    return !newName.empty() && EveryComponent(newName, [](std::string_view component) {
        return !component.empty() && !IsDotName(component) &&
               component.find_first_of(kInvalidNameCharacters) == std::string_view::npos &&
               component.find('\0') == std::string_view::npos;
    });
}

std::string ResolveDotComponents(std::string_view path) {
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\' || !HasDotComponent(path)) {
        return std::string(path);
    }
    std::vector<std::string_view> kept;
    std::size_t start = 3;
    while (start <= path.size()) {
        std::size_t end = path.find('\\', start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view component = path.substr(start, end - start);
        if (component == "..") {
            if (!kept.empty()) {
                kept.pop_back();
            }
        } else if (component != "." && !component.empty()) {
            kept.push_back(component);
        }
        start = end + 1;
    }
    std::string resolved(path.substr(0, 3));
    for (const std::string_view component : kept) {
        resolved.append(component).push_back('\\');
    }
    if (!path.ends_with('\\') && !kept.empty()) {
        resolved.pop_back();
    }
    return resolved;
}

}  // namespace kestrel::text
