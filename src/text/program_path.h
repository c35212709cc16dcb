#pragma once

#include <string>
#include <string_view>

// Program paths are drive-letter texts with backslashes ('C:\Photos\2001\'); a
// folder text ends with one backslash and paths are joined by concatenation.
namespace kestrel::text {

/// The path with "\" appended unless it already ends with one.
std::string AddTrailingBackslash(std::string_view path);

/// Removes one trailing "\" from `path`; true when there was one.
bool StripTrailingBackslash(std::string& path);

}  // namespace kestrel::text
