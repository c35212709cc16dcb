#include "platform/drive_table.h"

#include <algorithm>
#include <cstdlib>

#include "text/program_path.h"

namespace kestrel::platform {
namespace {

bool IsHostPathText(std::string_view text) {
    return text.starts_with('/') || text == "~" || text.starts_with("~/");
}

// Joins a host folder (no trailing slash, or "/") and a relative host path.
std::string JoinHost(const std::string& folder, std::string_view relative) {
    if (relative.empty()) {
        return folder;
    }
    std::string out;
    out.reserve(folder.size() + 1 + relative.size());
    out.append(folder);
    if (out.back() != '/') {
        out.push_back('/');
    }
    out.append(relative);
    return out;
}

// True when `folder` contains `path` on a component boundary; both are
// normalized and `folder` has no trailing slash unless it is the root.
bool FolderContains(std::string_view folder, std::string_view path) {
    if (!path.starts_with(folder)) {
        return false;
    }
    return folder == "/" || path.size() == folder.size() || path[folder.size()] == '/';
}

}  // namespace

std::optional<std::string> NormalizeHostPath(std::string_view hostPath) {
    std::string expanded;
    if (hostPath == "~" || hostPath.starts_with("~/")) {
        const char* home = std::getenv("HOME");
        if (home == nullptr || *home == '\0') {
            return std::nullopt;
        }
        expanded = home;
        expanded.append(hostPath.substr(1));
    } else {
        expanded = hostPath;
    }
    std::string out;
    out.reserve(expanded.size());
    for (char c : expanded) {
        if (c == '/' && !out.empty() && out.back() == '/') {
            continue;
        }
        out.push_back(c);
    }
    return out;
}

DriveTable::DriveTable() {
    folders_['C' - 'A'] = "/";
}

std::optional<std::size_t> DriveTable::LetterIndex(char letter) {
    if (letter >= 'a' && letter <= 'z') {
        return static_cast<std::size_t>(letter - 'a');
    }
    if (letter >= 'A' && letter <= 'Z') {
        return static_cast<std::size_t>(letter - 'A');
    }
    return std::nullopt;
}

bool DriveTable::Map(char letter, std::string hostFolder) {
    const auto index = LetterIndex(letter);
    auto folder = NormalizeHostPath(hostFolder);
    // A relative folder would make every path on the drive depend on the
    // working directory of the moment.
    if (!index || !folder || !folder->starts_with('/')) {
        return false;
    }
    while (folder->size() > 1 && folder->back() == '/') {
        folder->pop_back();
    }
    folders_[*index] = std::move(*folder);
    return true;
}

void DriveTable::Unmap(char letter) {
    if (const auto index = LetterIndex(letter)) {
        folders_[*index].clear();
    }
}

bool DriveTable::IsMapped(char letter) const {
    return HostFolder(letter).has_value();
}

std::optional<std::string> DriveTable::HostFolder(char letter) const {
    const auto index = LetterIndex(letter);
    if (!index || folders_[*index].empty()) {
        return std::nullopt;
    }
    return folders_[*index];
}

std::optional<std::string> DriveTable::ToHostPath(std::string_view programPath) const {
    if (IsHostPathText(programPath)) {
        return NormalizeHostPath(programPath);
    }
    // Only the absolute form 'X:' or 'X:\...' names a place; 'X:a' would be
    // relative to a current folder per drive, which Kestrel does not keep.
    if (programPath.size() < 2 || programPath[1] != ':' ||
        (programPath.size() > 2 && programPath[2] != '\\')) {
        return std::nullopt;
    }
    const auto index = LetterIndex(programPath[0]);
    if (!index || folders_[*index].empty()) {
        return std::nullopt;
    }
    // Made in one piece: a commit maps two paths for every entry. The
    // relative part ends the host path; its backslashes become slashes.
    const std::string_view relative =
        programPath.size() > 3 ? programPath.substr(3) : std::string_view();
    std::string host = JoinHost(folders_[*index], relative);
    std::replace(host.end() - static_cast<std::ptrdiff_t>(relative.size()), host.end(), '\\', '/');
    return host;
}

std::string DriveTable::ToProgramPath(std::string_view hostPath) const {
    const auto path = NormalizeHostPath(hostPath);
    if (!path || !path->starts_with('/')) {
        return {};
    }
    std::optional<std::size_t> best;
    for (std::size_t i = 0; i < folders_.size(); ++i) {
        const std::string& folder = folders_[i];
        if (!folder.empty() && FolderContains(folder, *path) &&
            (!best || folder.size() > folders_[*best].size())) {
            best = i;
        }
    }
    if (!best) {
        return {};
    }
    const std::string& folder = folders_[*best];
    std::string out{static_cast<char>('A' + *best), ':', '\\'};
    std::string_view rest = std::string_view(*path).substr(folder.size());
    if (rest.starts_with('/')) {
        rest.remove_prefix(1);
    }
    for (char c : rest) {
        out.push_back(c == '/' ? '\\' : c);
    }
    return out;
}

std::string DriveTable::FolderInputToProgram(std::string_view typed) const {
    if (typed.empty()) {
        return {};
    }
    if (IsHostPathText(typed)) {
        std::string program = ToProgramPath(typed);
        if (program.empty()) {
            return std::string(typed);
        }
        return text::AddTrailingBackslash(program);
    }
    return text::AddTrailingBackslash(typed);
}

}  // namespace kestrel::platform
