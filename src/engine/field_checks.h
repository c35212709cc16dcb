#pragma once

#include <string>
#include <string_view>

// The checks run when the user leaves an option field. Each returns the exact
// message to show, in the user's language, or empty text when the value is
// accepted. Values are read
// as numbers with the leading-number rule, so text that is no number counts 0.
namespace kestrel::engine {

/// Either swap area box; `other` is the text of the other box.
std::string CheckSwapArea(std::string_view area, std::string_view other);
std::string CheckSwapSep(std::string_view text);
std::string CheckPathSpliceLevels(std::string_view text);
std::string CheckEliminateChars(std::string_view text);
std::string CheckEliminatePosition(std::string_view text);
std::string CheckInsertMiddlePosition(std::string_view text);
std::string CheckUNL(std::string_view text);
std::string CheckAutonumberStep(std::string_view text);
/// The search text while "Regular expression" is ticked: the pattern must compile.
std::string CheckSearchPattern(std::string_view text);
/// Text typed into the autonumber box (list choices always pass). When it is
/// refused, the box is set to "Auto".
std::string CheckAutonumberText(std::string_view text);

}  // namespace kestrel::engine
