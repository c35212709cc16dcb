#pragma once

#include <string>
#include <string_view>

#include "text/translation.h"

// The filter pattern decides which rows of a listing start out selected (or are
// listed at all). It is compiled once per listing and then asked once per row,
// so matching must stay linear-ish in the name and never backtrack
// exponentially, whatever the user typed.
namespace kestrel::lists {

/// Case-sensitive wildcard match of a whole text: "*" any run (also empty),
/// "?" one character, "#" one ASCII digit, "[abc]" / "[!abc]" one character in
/// / not in the list, "a-z" a range inside brackets, "[[]" a literal "[".
/// An unclosed "[" is a literal "["; "[]" matches no character and "[!]" any
/// one; a reversed range such as "z-a" contains nothing.
bool WildcardMatch(std::u32string_view text, std::u32string_view pattern);

/// True when every "[" that opens a list is closed again. A "[" next to
/// another "[" (the one after it for the first character, the one before it
/// elsewhere) does not count, so "[[]" may stand for a literal "[".
bool CheckFilterBrackets(std::string_view text);

/// In English; shown as text::Tr gives it.
inline constexpr std::string_view kFilterBracketMessage =
    N_("You cannot have a [ outside a range.  Please use [[] to specify a single [.  See the "
       "help file for more information.");

class FilterPattern {
  public:
    /// The pattern's base is the text before its first ".", its extension the
    /// text after its last "." (empty when it has no "."), so "*.tar.gz" reads
    /// as base "*" and extension "gz".
    explicit FilterPattern(std::string_view pattern);

    /// The name splits at its last "."; base and extension must both match,
    /// and an empty pattern part matches only an empty part of the name.
    bool Matches(std::string_view filename) const;

  private:
    std::u32string base_;
    std::u32string extension_;
};

}  // namespace kestrel::lists
