#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "engine/tag_text.h"
#include "text/translation.h"

// Search and replace with a regular expression in ICU's syntax. The pattern is
// compiled once and then applied to name after name. Each name may take a
// bounded number of match steps, and a pass stops trying a pattern that has
// run out of them on too many names, so that a pattern that backtracks
// without end cannot hang a preview of thousands of rows.
namespace kestrel::engine {

inline constexpr std::string_view kPatternTooSlow =
    N_("The search pattern took too long on this name");
inline constexpr std::string_view kPatternGaveUp =
    N_("The search pattern took too long on too many names; this one was not searched");

class RegexReplace {
  public:
    /// `replacement` may hold $0 to $9 and ${name} for the groups, \$ for a
    /// dollar and \\ for one backslash; every other character is itself.
    RegexReplace(std::u32string_view pattern, std::u32string_view replacement, bool caseSensitive,
                 bool firstOnly);
    /// The replacement as literal pieces and tags; each tag takes the text
    /// Apply is given for it, as it is, with no "$" or "\\" read in it.
    RegexReplace(std::u32string_view pattern, std::span<const TextPart> replacement,
                 bool caseSensitive, bool firstOnly);
    ~RegexReplace();
    RegexReplace(RegexReplace&&) noexcept;
    RegexReplace& operator=(RegexReplace&&) noexcept;

    /// "The search text is not a valid regular expression: ..." when the
    /// pattern does not compile (then Apply changes nothing), else empty.
    const std::string& Error() const { return error_; }

    enum class Outcome { Done, TooSlow, GaveUp };
    /// Replaces the matches in `text`, keeping at most `limit` characters;
    /// `fields` holds the text of each tag of the replacement. Unless Done,
    /// `text` is left as it was. Not for two threads at once: the matcher and
    /// the count of slow names belong to one pass.
    Outcome Apply(std::u32string& text, std::size_t limit,
                  std::span<const std::u32string> fields = {}) const;

  private:
    struct Compiled;
    std::unique_ptr<Compiled> compiled_;
    std::string error_;
};

}  // namespace kestrel::engine
