#pragma once

#include <string>
#include <string_view>
#include <vector>

// Reading text files that may come from the old desktop: lines end in CR LF,
// LF or CR, and a line is either UTF-8 or in the Windows-1252 code page.
// Kestrel writes UTF-8, so a line that is valid UTF-8 is taken as such.
namespace kestrel::text {

/// The code point of one Windows-1252 byte. The five bytes the code page
/// leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 control of
/// the same number, so that no byte is lost.
char32_t Windows1252ToCodePoint(unsigned char byte);

/// Every byte read as Windows-1252, converted to UTF-8.
std::string DecodeWindows1252(std::string_view bytes);

/// A line that is valid UTF-8 as it is; any other line read as Windows-1252.
std::string DecodeTextLine(std::string_view bytes);

/// Splits at CR LF, lone LF or lone CR. A last line without a line end still
/// counts; a line end at the very end of the text starts no further line, so
/// an empty text has no lines and "\r\n" has one empty line.
std::vector<std::string_view> SplitLines(std::string_view bytes);

/// The bytes after a leading UTF-8 byte order mark, or all of them.
std::string_view SkipByteOrderMark(std::string_view bytes);

/// The lines of a text file as UTF-8: a leading byte order mark is skipped,
/// and each line is decoded on its own, so a file edited with tools of both
/// kinds still reads.
std::vector<std::string> DecodeTextLines(std::string_view fileBytes);

}  // namespace kestrel::text
