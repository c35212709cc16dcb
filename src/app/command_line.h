#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The parameter language of the command line: tokens split at spaces (a
// quoted space does not split), keywords recognised in any letter case, values
// kept as typed. Parsing decides what each token asks for; the effects are
// carried out afterwards, in a fixed order, by the start-up code.
namespace kestrel::app {

/// A file value that names standard output instead of a file.
inline constexpr std::string_view kStandardOutput = "-";

struct CommandLineDefaults {
    std::string dataFolder;    // the user's data folder, ending with a backslash
    std::string exportFolder;  // dataFolder + "Export\"
};

/// What parsing needs to ask the outside world.
struct CommandLineProbes {
    /// Loads template n at once; false when it is not present.
    std::function<bool(int)> loadTemplate;
    /// True when the (program or native) path names an existing folder.
    std::function<bool(std::string_view)> isFolder;
    /// True when a file or folder of that name exists.
    std::function<bool(std::string_view)> pathExists;
};

struct CommandLine {
    bool noWindow = false;
    int templateNumber = 0;
    std::optional<std::string> folder;
    /// Paths given alone beyond one folder: the entries to list, exactly as
    /// given (files and folders, from one folder or several).
    std::vector<std::string> entries;
    std::vector<std::string> caseRuleFiles;  // empty: the default file
    std::optional<std::string> batchFile;
    std::optional<std::string> commaFile;
    std::optional<std::string> tabFile;
    std::optional<std::string> listFile;
    /// "SH": the shell script of the renames and its ".undo.sh".
    std::optional<std::string> shellFile;
    /// "PREVIEW": where the preview's lines go; empty text is standard output.
    std::optional<std::string> previewFile;
    /// "DOIT": commit after the exports, as "Do It!" does.
    bool doIt = false;
    /// "UNDO": take back the newest commit kept on disk.
    bool undo = false;
    bool recurse = false;
    std::optional<std::string> copyTarget;  // present with "COPY"; may be empty
    bool print = false;
    bool reset = false;
    bool help = false;     // --help, -h, /?
    bool version = false;  // --version
    /// --install-file-manager-actions, --remove-file-manager-actions
    bool installActions = false;
    bool removeActions = false;
    /// "Unknown or incomplete parameter: ..." and "Multiple instances not
    /// allowed: ..." lines in the user's language, each ended by CR LF; empty
    /// when the line is valid.
    std::string errorText;
};

/// Parses the program's arguments, one token each, as the shell or the
/// desktop handed them over: a value keeps every character, quotes included.
CommandLine ParseArguments(const std::vector<std::string>& arguments,
                           const CommandLineDefaults& defaults, const CommandLineProbes& probes);

/// The arguments of a command-line text: split at spaces, a quoted space not
/// splitting ("FOLDER:\"C:\My Files\"").
std::vector<std::string> SplitCommandLine(std::string_view line);

/// ParseArguments on SplitCommandLine(line).
CommandLine ParseCommandLine(std::string_view line, const CommandLineDefaults& defaults,
                             const CommandLineProbes& probes);

/// One parameter as --help and the manual page describe it, in English: the
/// manual page is English, and --help translates the description.
struct ParameterHelp {
    std::string_view syntax;       // "FOLDER:path", the same in every language
    std::string_view description;  // "working folder (...)"
};

/// Every parameter, in the order --help lists them: the one description both
/// --help and the manual page are made from.
std::span<const ParameterHelp> ParameterTable();

/// One line per parameter, for --help, in the user's language.
std::string UsageText();

}  // namespace kestrel::app
