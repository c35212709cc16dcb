#include "app/command_line.h"

#include <algorithm>
#include <array>

#include "engine/name_text.h"
#include "text/numbers.h"
#include "text/program_path.h"
#include "text/translation.h"
#include "text/unicode_text.h"

namespace kestrel::app {
namespace {

enum Keyword : std::size_t {
    kNoWindow,
    kTemplate,
    kFolder,
    kCaseRules,
    kBatch,
    kRecurse,
    kCopy,
    kPrint,
    kComma,
    kTab,
    kList,
    kReset,
    kShell,
    kPreview,
    kDoIt,
    kUndo,
    kKeywordCount
};

std::string WithoutQuotes(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c != '"') {
            out.push_back(c);
        }
    }
    return out;
}

// "BAT" alone takes its default; "BAT:file" names the file. Anything else
// after the keyword ("BATX") also counts as the bare keyword.
std::string FileValue(std::string_view token, std::size_t keywordLength,
                      const std::string& defaultFile) {
    if (token.size() > keywordLength && token[keywordLength] == ':') {
        std::string file = WithoutQuotes(token.substr(keywordLength + 1));
        text::StripTrailingBackslash(file);
        return file;
    }
    return defaultFile;
}

bool IsWholeNumber(std::string_view text) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// A host path ("/home/me", "~/Photos") or a drive-letter path ("D:\\Photos").
bool LooksLikePath(std::string_view token) {
    const std::string path = WithoutQuotes(token);
    if (path.starts_with('/') || path.starts_with('~')) {
        return true;
    }
    const bool letter =
        !path.empty() && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
    return letter && path.size() >= 3 && path[1] == ':' && path[2] == '\\';
}

class Parser {
  public:
    Parser(const CommandLineDefaults& defaults, const CommandLineProbes& probes)
        : defaults_(defaults), probes_(probes) {}

    CommandLine Parse(const std::vector<std::string>& tokens) {
        for (const std::string& token : tokens) {
            ParseToken(token);
        }
        TakeBarePaths();
        return std::move(result_);
    }

  private:
    void ParseToken(const std::string& token) {
        const std::string upper = text::ToUpper(token);
        if (upper == "--HELP" || upper == "-H" || upper == "/?") {
            result_.help = true;
            return;
        }
        if (upper == "--VERSION") {
            result_.version = true;
            return;
        }
        if (upper == "--INSTALL-FILE-MANAGER-ACTIONS") {
            result_.installActions = true;
            return;
        }
        if (upper == "--REMOVE-FILE-MANAGER-ACTIONS") {
            result_.removeActions = true;
            return;
        }
        bool handled = false;
        std::vector<Keyword> matched;
        // A token may pass several tests ('TABLE.CSR'); each runs in its order.
        const auto test = [&](Keyword keyword, bool passes, bool accepted) {
            if (!passes) {
                return;
            }
            if (accepted) {
                handled = true;
                matched.push_back(keyword);
            }
        };
        test(kNoWindow, upper == "NO-WINDOW", upper == "NO-WINDOW" && SetFlag(result_.noWindow));
        if (upper.starts_with("TEMPLATE:")) {
            test(kTemplate, true, Template(upper.substr(9)));
        }
        if (upper.starts_with("FOLDER:")) {
            // Paths given alone before it already chose what to list.
            test(kFolder, true, Folder(token.substr(7)) || !barePaths_.empty());
            if (!barePaths_.empty()) {
                counts_[kFolder] = 1;
            }
        }
        if (upper.ends_with(".CSR")) {
            test(kCaseRules, true, CaseRuleFile(token));
        }
        if (upper.starts_with("BAT")) {
            result_.batchFile = FileValue(token, 3, defaults_.exportFolder + "Batch.bat");
            test(kBatch, true, true);
        }
        test(kRecurse, upper == "RECURSE", upper == "RECURSE" && SetFlag(result_.recurse));
        if (upper.starts_with("COPY")) {
            result_.copyTarget = (token.size() > 4 && token[4] == ':') ? token.substr(5) : "";
            test(kCopy, true, true);
        }
        test(kPrint, upper == "PRINT", upper == "PRINT" && SetFlag(result_.print));
        if (upper.starts_with("CSV")) {
            result_.commaFile = FileValue(token, 3, defaults_.exportFolder + "Comma separated.csv");
            test(kComma, true, true);
        }
        if (upper.starts_with("TAB")) {
            result_.tabFile = FileValue(token, 3, defaults_.exportFolder + "TAB delimited.csv");
            test(kTab, true, true);
        }
        if (upper.starts_with("LIST")) {
            result_.listFile = FileValue(token, 4, defaults_.dataFolder + "File List.txt");
            test(kList, true, true);
        }
        test(kReset, upper.starts_with("RESET"),
             upper.starts_with("RESET") && SetFlag(result_.reset));
        // The newer keywords are the whole token or the keyword and a colon,
        // so that no token the older ones accept ('SHOTS.CSR') takes on a
        // second meaning.
        if (upper == "SH" || upper.starts_with("SH:")) {
            result_.shellFile = FileValue(token, 2, defaults_.exportFolder + "Rename.sh");
            test(kShell, true, true);
        }
        if (upper == "PREVIEW" || upper.starts_with("PREVIEW:")) {
            result_.previewFile = FileValue(token, 7, "");
            test(kPreview, true, true);
        }
        test(kDoIt, upper == "DOIT", upper == "DOIT" && SetFlag(result_.doIt));
        test(kUndo, upper == "UNDO", upper == "UNDO" && SetFlag(result_.undo));
        if (result_.doIt && result_.undo && (upper == "DOIT" || upper == "UNDO")) {
            // Which of the two comes first would be a guess.
            // TRANSLATORS: DOIT and UNDO are keywords of the command line.
            AddError(text::Tr("Not allowed together: DOIT and UNDO"));
        }

        // A file manager hands over the selected paths alone: one folder is
        // the working folder, anything else the entries to list.
        if (!handled && LooksLikePath(token)) {
            if (result_.folder) {
                AddError(MultipleInstances(token));
            } else {
                barePaths_.push_back(token);
            }
            return;
        }
        if (!handled) {
            AddError(UnknownParameter(token));
        }
        for (Keyword keyword : matched) {
            // Case-rule files may be given several times; nothing else may.
            if (++counts_[keyword] > 1 && keyword != kCaseRules) {
                AddError(MultipleInstances(token));
                break;
            }
        }
    }

    void TakeBarePaths() {
        if (barePaths_.size() == 1) {
            const std::string& path = barePaths_.front();
            if (Folder(path)) {
                return;
            }
            // One path alone that is not a folder is a file to list; one that
            // is not there is a mistyped parameter, as ever.
            if (!probes_.pathExists || !probes_.pathExists(path)) {
                AddError(UnknownParameter(path));
                return;
            }
        }
        // Several paths: each is named by the start-up when it cannot be
        // listed, and the rest are opened, rather than one bad name failing all.
        result_.entries = std::move(barePaths_);
    }

    // Each error is a line of its own.
    void AddError(std::string_view line) {
        result_.errorText += line;
        result_.errorText += "\r\n";
    }

    static std::string UnknownParameter(std::string_view token) {
        // TRANSLATORS: {1} is the parameter as it was typed.
        return text::Fill(text::Tr("Unknown or incomplete parameter: {1}"), {token});
    }

    static std::string MultipleInstances(std::string_view token) {
        // TRANSLATORS: {1} is the parameter given once too often.
        return text::Fill(text::Tr("Multiple instances not allowed: {1}"), {token});
    }

    static bool SetFlag(bool& flag) {
        flag = true;
        return true;
    }

    bool Template(std::string_view value) {
        // A value that is no whole number names no template.
        if (!IsWholeNumber(value)) {
            return false;
        }
        const int number = static_cast<int>(text::WholeNumber(value));
        result_.templateNumber = number;
        return probes_.loadTemplate ? probes_.loadTemplate(number) : number == 0;
    }

    bool Folder(std::string_view value) {
        // As given first: a folder name may hold a quote.
        for (std::string folder : {std::string(value), WithoutQuotes(value)}) {
            folder = text::AddTrailingBackslash(folder);
            if (probes_.isFolder && probes_.isFolder(folder)) {
                result_.folder = std::move(folder);
                return true;
            }
        }
        return false;
    }

    bool CaseRuleFile(std::string_view token) {
        std::string path = WithoutQuotes(token);
        if (!probes_.pathExists || !probes_.pathExists(path)) {
            return false;
        }
        result_.caseRuleFiles.push_back(std::move(path));
        return true;
    }

    const CommandLineDefaults& defaults_;
    const CommandLineProbes& probes_;
    CommandLine result_;
    std::array<int, kKeywordCount> counts_{};
    std::vector<std::string> barePaths_;
};

}  // namespace

CommandLine ParseArguments(const std::vector<std::string>& arguments,
                           const CommandLineDefaults& defaults, const CommandLineProbes& probes) {
    return Parser(defaults, probes).Parse(arguments);
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    return line.empty() ? std::vector<std::string>() : engine::SplitFields(line, " ", '"');
}

CommandLine ParseCommandLine(std::string_view line, const CommandLineDefaults& defaults,
                             const CommandLineProbes& probes) {
    return ParseArguments(SplitCommandLine(line), defaults, probes);
}

std::span<const ParameterHelp> ParameterTable() {
    // The descriptions stay English here: the manual page is made from this
    // table in English, and --help translates each as it prints it.
    static constexpr ParameterHelp kTable[] = {
        // TRANSLATORS: this and the next are the descriptions --help gives of
        // the command line's parameters; keywords in capitals (FOLDER:path,
        // DOIT, TAB) and file names stay as they are.
        {"NO-WINDOW", N_("run without a window and exit when done")},
        {"TEMPLATE:n", N_("load template number n (0 to 255) instead of the default")},
        {"FOLDER:path", N_("working folder (/home/me/Photos, or C:\\home\\me\\Photos)")},
        {"path ...", N_("one folder alone is the working folder, as FOLDER:path; files and "
                        "folders given alone are listed and nothing else")},
        {"file.csr", N_("read this case-rule file instead of the default (repeatable)")},
        {"RECURSE", N_("include all sub-folders")},
        {"COPY[:folder]", N_("copy rather than rename, into folder")},
        {"BAT[:file]", N_("write a rename batch file and its .undo.bat")},
        {"CSV[:file]", N_("write the file list as comma-separated values")},
        {"TAB[:file]", N_("write the file list as tab-delimited text")},
        {"LIST[:file]", N_("write the file list, one name per line")},
        {"SH[:file]", N_("write a shell script of the renames and its .undo.sh")},
        {"PREVIEW[:file]",
         N_("write the preview, a line per renamed row: name, TAB, new name, TAB, message")},
        {"DOIT", N_("rename, after the exports, as \"Do It!\" does")},
        {"UNDO", N_("take back the newest rename, also one of an earlier run")},
        {"PRINT", N_("print the file list on the default printer")},
        {"-", N_("as a file (LIST:-, CSV:-, TAB:-, BAT:-, SH:-) writes to standard output")},
        {"RESET", N_("discard the default template before loading")},
        {"--help, -h, /?", N_("list the parameters")},
        {"--version", N_("show the version")},
        {"--install-file-manager-actions",
         N_("add \"Rename with Kestrel\" to Files (Nautilus) and Thunar for this user")},
        {"--remove-file-manager-actions", N_("take those entries away again")},
    };
    return kTable;
}

std::string UsageText() {
    constexpr std::size_t kSyntaxWidth = 19;
    // The parameters' syntax is the command line's own and stays as it is.
    // TRANSLATORS: "kestrel" is the program's command and stays as it is.
    std::string usage = text::Tr("Usage: kestrel [parameter ...]");
    usage += '\n';
    usage += text::Tr("Without parameters Kestrel opens its window on the last working folder.");
    usage += "\n\n";
    for (const ParameterHelp& parameter : ParameterTable()) {
        usage += "  ";
        usage += parameter.syntax;
        if (parameter.syntax.size() >= kSyntaxWidth) {
            // Too long for the column: the description goes under it.
            usage += '\n';
            usage.append(kSyntaxWidth + 2, ' ');
        } else {
            usage.append(kSyntaxWidth - parameter.syntax.size(), ' ');
        }
        usage += text::Tr(parameter.description.data());
        usage += '\n';
    }
    return usage;
}

}  // namespace kestrel::app
