#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "text/translation.h"

// Renaming files from lists of old and new names kept in text files: one file
// holding source and target names alternately, or a file of source names and
// a file of target names. Independent of the main window's lists and options.
namespace kestrel::exchange {

/// The entries of both delimiter boxes, in order, in English; a box may show
/// them in the user's language (text::Tr), and DelimiterOf knows both.
inline constexpr std::array<std::string_view, 4> kDelimiterItems = {
    // TRANSLATORS: this and the next three are the entries of the delimiter
    // boxes, what stands between names in a list: a TAB, a comma, a line end
    // (carriage return) and a carriage return with a line feed.
    N_("Tab"),
    N_("Comma"),
    N_("Return"),
    N_("CR+LF"),
};
/// The custom delimiter question, in English; shown as text::Tr gives it.
inline constexpr std::string_view kCustomDelimiterTitle = N_("Custom Delimiter");
inline constexpr std::string_view kCustomDelimiterPrompt =
    N_("Enter the ASCII value of the delimiter character you wish to use (0-255)");

/// A list file longer than this is refused rather than read: no list of
/// names a person means to rename comes near it.
inline constexpr std::size_t kMaxImportFileBytes = 8 * 1024 * 1024;
/// One run handles at most this many pairs, as many as the main window lists.
inline constexpr int kMaxImportPairs = 32767;
/// "&Preview" shows at most this many pairs.
inline constexpr int kImportSampleSize = 10;

/// The delimiter a box text stands for: TAB, a comma, a carriage return, CR
/// LF, "Custom Char (N)" the character of code N in the Windows-1252 code
/// page, and any other typed text itself. The entries and "Custom Char (N)"
/// are understood in English and in the user's language.
std::string DelimiterOf(std::string_view boxText);

/// An answer to the custom delimiter question as a code; nullopt unless it
/// is a whole number from 0 to 255.
std::optional<int> CustomDelimiterCode(std::string_view answer);
/// "Custom Char (44)", in the user's language.
std::string CustomDelimiterText(int code);

/// The texts of the Import tab's boxes, as typed.
struct ImportRequest {
    std::string sourceList;  // txtSourceList
    std::string targetList;  // txtTargetList; empty when one file holds both
    std::string sourceFolder;
    std::string targetFolder;
    std::string firstDelimiter;   // cbo1stDelimiter
    std::string secondDelimiter;  // cbo2ndDelimiter
};

/// Receives each status line as it is made, in the user's language, so that a
/// window can show it at once.
using StatusSink = std::function<void(std::string_view line)>;

/// "&Preview": "Import data sample:" and up to kImportSampleSize lines
/// 'Rename "a" to "b"' with the names as read.
void PreviewImport(platform::FileSystem& fileSystem, const ImportRequest& request,
                   const StatusSink& status);

struct ImportCounts {
    int successes = 0;
    int errors = 0;
};

/// "&Rename these files": renames each pair, reporting a line per pair and a
/// closing summary. Relative names are joined onto their folder. Nothing is
/// ever replaced, and a new name no entry may have is refused with 52 before
/// anything is renamed. A source that is not found is tried again without
/// its trailing blanks and control characters, one at a time.
ImportCounts RunImport(platform::FileSystem& fileSystem, const ImportRequest& request,
                       const StatusSink& status);

}  // namespace kestrel::exchange
