#pragma once

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace kestrel::support {

/// The parts of `text` between `separator`s, empty ones left out, so that a
/// table row can give a list as one text: Words("a b  c") is {"a", "b", "c"}.
inline std::vector<std::string> Words(std::string_view text, char separator = ' ') {
    std::vector<std::string> words;
    for (std::size_t start = 0; start <= text.size();) {
        const std::size_t end = std::min(text.find(separator, start), text.size());
        if (end > start) {
            words.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return words;
}

}  // namespace kestrel::support
