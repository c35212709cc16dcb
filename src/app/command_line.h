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
    std::vector<std::string> caseRuleFiles;  // empty: the default file
    std::optional<std::string> batchFile;
    std::optional<std::string> commaFile;
    std::optional<std::string> tabFile;
    std::optional<std::string> listFile;
    bool recurse = false;
    std::optional<std::string> copyTarget;  // present with "COPY"; may be empty
    bool print = false;
    bool reset = false;
    bool help = false;     // --help, -h, /?
    bool version = false;  // --version
    /// "Unknown or incomplete parameter: ..." and "Multiple instances not
    /// allowed: ..." lines, each ended by CR LF; empty when the line is valid.
    std::string errorText;
};

CommandLine ParseCommandLine(std::string_view line, const CommandLineDefaults& defaults,
                             const CommandLineProbes& probes);

/// Joins argv[1..] back into the command-line text the parser reads, quoting
/// arguments that hold a space so that they stay one token.
std::string JoinArguments(int argc, const char* const* argv);

/// One parameter as --help and the manual page describe it.
struct ParameterHelp {
    std::string_view syntax;       // "FOLDER:path"
    std::string_view description;  // "working folder (...)"
};

/// Every parameter, in the order --help lists them: the one description both
/// --help and the manual page are made from.
std::span<const ParameterHelp> ParameterTable();

/// One line per parameter, for --help.
std::string UsageText();

}  // namespace kestrel::app
