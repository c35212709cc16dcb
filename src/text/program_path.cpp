#include "text/program_path.h"

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

}  // namespace kestrel::text
