#pragma once

#include <string>
#include <string_view>

// Program paths are drive-letter texts with backslashes ('C:\Photos\2001\'); a
// folder text ends with one backslash and paths are joined by concatenation.
namespace kestrel::text {

/// The characters no name may hold. A backslash is not among them: inside a
/// new name it makes sub-folders.
inline constexpr std::string_view kInvalidNameCharacters = "/?:*\"<>|";

/// The path with "\" appended unless it already ends with one.
std::string AddTrailingBackslash(std::string_view path);

/// Removes one trailing "\" from `path`; true when there was one.
bool StripTrailingBackslash(std::string& path);

/// True when a backslash-separated component of `path` is "." or "..", which
/// would lead out of the folder the path seems to name.
bool HasDotComponent(std::string_view path);

/// A drive-letter path with its "." components dropped and each ".." taking
/// the component before it away, never above the drive root, as the host
/// would go; other texts come back unchanged. A trailing backslash stays.
std::string ResolveDotComponents(std::string_view path);

/// True when `newName` (relative to its target folder; it may hold sub-folders
/// and one trailing folder mark) can be given to an entry: it is not empty,
/// and no component is empty, "." or "..", or holds an invalid character.
bool IsAcceptableNewName(std::string_view newName);

}  // namespace kestrel::text
