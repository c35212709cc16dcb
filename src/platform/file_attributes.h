#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

// The attribute bits a listing reports, and how they are read from a host
// entry: its mode bits, its name and the Samba "user.DOSATTRIB" attribute.
namespace kestrel::platform {

inline constexpr int kAttrReadOnly = 1;
inline constexpr int kAttrHidden = 2;
inline constexpr int kAttrSystem = 4;
inline constexpr int kAttrFolder = 16;
inline constexpr int kAttrArchive = 32;

/// The name of the Samba extended attribute that carries stored DOS bits.
inline constexpr const char* kDosAttributeName = "user.DOSATTRIB";

/// Reads the text form of user.DOSATTRIB ("0x20", possibly NUL-terminated);
/// nullopt for anything else, such as Samba's binary form.
std::optional<int> ParseDosAttributes(std::string_view value);

/// The attribute bits of an entry called `name` whose metadata (links already
/// followed, or the link itself when it is dangling) is `info`. `dosBits`
/// holds the parsed user.DOSATTRIB when the entry has one.
int AttributesOf(std::string_view name, const struct stat& info, std::optional<int> dosBits);

/// A host name as program text: each byte that is not valid UTF-8, and each
/// backslash, becomes "?" (a name with "?" is one the program passes over).
std::string ProgramNameFromHost(std::string_view hostName);
/// ProgramNameFromHost into `out`, reusing its room.
void ProgramNameFromHostInto(std::string_view hostName, std::string& out);

}  // namespace kestrel::platform
