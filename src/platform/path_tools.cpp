#include "platform/path_tools.h"

#include <cctype>
#include <optional>
#include <vector>

#include "text/program_path.h"
#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

// The stored spelling of `component` among `names`: the exact spelling when it
// is there, else the first (by byte order, so the answer does not depend on
// the order of the folder) that matches without regard to case.
std::optional<std::string> StoredName(const std::vector<std::string>& names,
                                      std::string_view component) {
    const std::string* best = nullptr;
    for (const std::string& name : names) {
        if (name == component) {
            return name;
        }
        if (text::EqualIgnoringCase(name, component) && (best == nullptr || name < *best)) {
            best = &name;
        }
    }
    if (best == nullptr) {
        return std::nullopt;
    }
    return *best;
}

}  // namespace

bool PathExists(FileSystem& fileSystem, std::string_view path) {
    std::string name(path);
    // 'C:\' keeps its backslash: 'C:' alone would not name the root.
    if (name.size() > 1 && name.back() == '\\' && name[name.size() - 2] != ':') {
        text::StripTrailingBackslash(name);
    }
    return !name.empty() && fileSystem.Exists(name);
}

void MakeFolderTree(FileSystem& fileSystem, std::string_view path) {
    for (std::size_t i = path.find('\\'); i != std::string_view::npos; i = path.find('\\', i + 1)) {
        const std::string_view folder = path.substr(0, i);
        if (!folder.empty() && !folder.ends_with(':') && !PathExists(fileSystem, folder)) {
            fileSystem.MakeFolder(folder);
        }
    }
}

std::string ExpandPathName(FileSystem& fileSystem, std::string_view path) {
    if (path.size() < 2 || path[1] != ':') {
        return std::string(path);
    }
    const std::string full = text::AddTrailingBackslash(path);
    // 'c:' is the same drive as 'C:'; the capital is how drives are shown.
    const std::string drive{static_cast<char>(std::toupper(static_cast<unsigned char>(full[0]))),
                            ':'};
    std::vector<std::string> components;
    std::size_t start = full.size() > 2 && full[2] == '\\' ? 3 : 2;
    std::vector<std::string> names;
    for (std::size_t end = full.find('\\', start); end != std::string::npos;
         start = end + 1, end = full.find('\\', start)) {
        const std::string_view component = std::string_view(full).substr(start, end - start);
        // "." stays and ".." goes up, as the host would take them, but never
        // above the drive root.
        if (component == ".") {
            continue;
        }
        if (component == "..") {
            if (!components.empty()) {
                components.pop_back();
            }
            continue;
        }
        std::string folder = drive + "\\";
        for (const std::string& name : components) {
            folder += name + "\\";
        }
        if (!fileSystem.ListNames(folder, names).Ok()) {
            return {};
        }
        auto stored = StoredName(names, component);
        if (!stored) {
            return {};
        }
        components.push_back(std::move(*stored));
    }
    std::string result = drive;
    for (const std::string& name : components) {
        result += "\\" + name;
    }
    return result;
}

}  // namespace kestrel::platform
