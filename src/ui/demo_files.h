#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

// Sample files for a first look at Kestrel: a fresh folder of empty files
// with the kinds of names people rename (camera numbers, escaped spaces,
// shouting extensions, a sub-folder).
namespace kestrel::ui {

/// Relative names; "/" separates the sub-folder.
std::span<const std::string_view> DemoFileNames();

struct DemoFolder {
    std::string root;          // the temporary folder holding both below
    std::string filesFolder;   // host path of the sample files
    std::string configFolder;  // a settings folder of its own
};

/// Makes a fresh folder under `hostParent` and fills it; nullopt when the
/// host refuses.
std::optional<DemoFolder> CreateDemoFolder(const std::string& hostParent);

/// Removes what CreateDemoFolder made.
void RemoveDemoFolder(const DemoFolder& folder);

}  // namespace kestrel::ui
