#include "exchange/preview_lines.h"

#include <algorithm>

namespace kestrel::exchange {
namespace {

void AppendShown(std::string& out, std::string_view text) {
    constexpr char kHex[] = "0123456789ABCDEF";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            out += "\\x";
            out.push_back(kHex[byte >> 4]);
            out.push_back(kHex[byte & 0xF]);
        } else {
            out.push_back(c);
        }
    }
}

}  // namespace

std::string PreviewLines(const std::vector<std::string>& sources,
                         const std::vector<std::string>& targets,
                         const std::vector<std::string>& messages) {
    std::string out;
    const std::size_t count = std::min(sources.size(), targets.size());
    for (std::size_t i = 0; i < count; ++i) {
        // The preview leaves empty the rows it does not rename.
        if (targets[i].empty()) {
            continue;
        }
        AppendShown(out, sources[i]);
        out.push_back('\t');
        AppendShown(out, targets[i]);
        out.push_back('\t');
        if (i < messages.size()) {
            AppendShown(out, messages[i]);
        }
        out.push_back('\n');
    }
    return out;
}

}  // namespace kestrel::exchange
