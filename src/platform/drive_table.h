#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// Kestrel writes paths with a drive letter and backslashes ('T:\Photos\a.jpg');
// the drive table says which host folder each letter stands for. Only the
// platform layer converts between the two forms.
namespace kestrel::platform {

class DriveTable {
  public:
    /// A table with C: mapped to the host root "/".
    DriveTable();

    /// Maps a letter (A-Z, either case) to an absolute host folder ("~/" is
    /// expanded from $HOME). False, and the table unchanged, for a letter
    /// outside A-Z or a folder that is not absolute.
    bool Map(char letter, std::string hostFolder);
    void Unmap(char letter);
    bool IsMapped(char letter) const;
    /// The host folder of a letter, without a trailing slash ("/" for the root).
    std::optional<std::string> HostFolder(char letter) const;

    /// 'X:\a\b' -> host folder of X + "/a/b"; 'X:' and 'X:\' -> the host folder.
    /// A text starting with "/" or "~/" is a host path already and comes back
    /// as given ("~" expanded). Nullopt for an unmapped letter or any other text.
    std::optional<std::string> ToHostPath(std::string_view programPath) const;

    /// The program form of an absolute host path, under the letter whose folder
    /// is the longest prefix of it ('/home/me/Photos' -> 'C:\home\me\Photos').
    /// Empty when no mapped folder contains the path.
    std::string ToProgramPath(std::string_view hostPath) const;

    /// What folder boxes and command-line values do with a typed folder: a
    /// host path becomes its program form, and the result ends with one
    /// backslash. Letter case stays as typed; a host path outside every mapped
    /// folder and an empty text come back unchanged.
    std::string FolderInputToProgram(std::string_view typed) const;

  private:
    static std::optional<std::size_t> LetterIndex(char letter);

    // Empty text = letter not mapped.
    std::array<std::string, 26> folders_;
};

/// Expands a leading "~" or "~/" from $HOME and folds repeated slashes; other
/// texts pass unchanged. Nullopt when the text needs $HOME and it is unset.
std::optional<std::string> NormalizeHostPath(std::string_view hostPath);

}  // namespace kestrel::platform
