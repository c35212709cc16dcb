#include "platform/file_attributes.h"

#include <algorithm>
#include <charconv>

#include "text/unicode_text.h"

namespace kestrel::platform {
namespace {

constexpr int kDosBitsKept = kAttrReadOnly | kAttrHidden | kAttrSystem | kAttrArchive;

}  // namespace

std::optional<int> ParseDosAttributes(std::string_view value) {
    while (!value.empty() && value.back() == '\0') {
        value.remove_suffix(1);
    }
    if (!value.starts_with("0x") && !value.starts_with("0X")) {
        return std::nullopt;
    }
    value.remove_prefix(2);
    unsigned bits = 0;
    const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), bits, 16);
    if (error != std::errc() || end != value.data() + value.size()) {
        return std::nullopt;
    }
    return static_cast<int>(bits & kDosBitsKept);
}

int AttributesOf(std::string_view name, const struct stat& info, std::optional<int> dosBits) {
    const bool isFolder = S_ISDIR(info.st_mode);
    const bool isRegular = S_ISREG(info.st_mode);
    int attributes = 0;
    if ((info.st_mode & S_IWUSR) == 0) {
        attributes |= kAttrReadOnly;
    }
    if (name.starts_with('.') && name != "." && name != "..") {
        attributes |= kAttrHidden;
    }
    if (!isFolder && !isRegular) {
        attributes |= kAttrSystem;
    }
    if (isFolder) {
        attributes |= kAttrFolder;
    }
    if (dosBits) {
        attributes |= *dosBits & (kAttrHidden | kAttrSystem | kAttrArchive);
    } else if (isRegular) {
        attributes |= kAttrArchive;
    }
    return attributes;
}

std::string ProgramNameFromHost(std::string_view hostName) {
    std::string out;
    ProgramNameFromHostInto(hostName, out);
    return out;
}

void ProgramNameFromHostInto(std::string_view hostName, std::string& out) {
    out.assign(hostName);
    // Most names are ASCII, and ASCII is valid UTF-8 without decoding it.
    const bool ascii = std::all_of(hostName.begin(), hostName.end(),
                                   [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (!ascii && !text::IsValidUtf8(hostName)) {
        // The decoder turns each invalid byte into U+FFFD, one per byte.
        std::u32string codePoints = text::ToCodePoints(hostName);
        std::replace(codePoints.begin(), codePoints.end(), char32_t{0xFFFD}, U'?');
        text::ToUtf8Into(codePoints, out);
    }
    std::replace(out.begin(), out.end(), '\\', '?');
}

}  // namespace kestrel::platform
