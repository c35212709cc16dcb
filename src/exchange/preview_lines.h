#pragma once

#include <string>
#include <vector>

// The preview as a terminal and a script read it: one line per row the
// preview renames, current name TAB new name TAB the row's check message
// (empty when it passed), names as the lists show them, LF line ends.
namespace kestrel::exchange {

/// `sources` and `targets` are the rows' texts as shown. A control character
/// inside a name is written "\xHH", so that each row stays one line of
/// three fields.
std::string PreviewLines(const std::vector<std::string>& sources,
                         const std::vector<std::string>& targets,
                         const std::vector<std::string>& messages);

}  // namespace kestrel::exchange
