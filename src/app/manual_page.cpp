#include "app/manual_page.h"

#include <string_view>

#include "app/command_line.h"
#include "app/version.h"

namespace kestrel::app {
namespace {

// Text as roff prints it: a backslash is an escape and a minus sign is a
// hyphen unless marked, and a line may not start with a control character.
std::string Roff(std::string_view text) {
    std::string out;
    if (text.starts_with('.') || text.starts_with('\'')) {
        out += "\\&";
    }
    for (char c : text) {
        if (c == '\\') {
            out += "\\e";
        } else if (c == '-') {
            out += "\\-";
        } else {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

std::string ManualPage() {
    std::string page = ".TH KESTREL 1 \"\" \"Kestrel " + std::string(kVersion) +
                       "\" \"User Commands\"\n"
                       ".SH NAME\n"
                       "kestrel \\- rename many files and folders at once\n"
                       ".SH SYNOPSIS\n"
                       ".B kestrel\n"
                       "[\\fIparameter\\fR ...]\n"
                       ".SH DESCRIPTION\n"
                       "Kestrel lists the files of a working folder beside a live preview of the "
                       "names a chosen set of rename operations would give them, and renames, "
                       "moves or copies them when asked. Without parameters it opens its window "
                       "on the last working folder.\n"
                       ".PP\n"
                       "Keywords are recognised in any letter case; values keep the case in which "
                       "they are typed. A value may be a drive-letter path such as "
                       "\\fBC:\\ePhotos\\fR or a native one such as \\fB/home/me/Photos\\fR; "
                       "put a value with spaces in double quotes. The command line renames only "
                       "with \\fBDOIT\\fR, after its exports; \\fBUNDO\\fR takes the newest "
                       "commit back, also one of an earlier run.\n"
                       ".SH PARAMETERS\n";
    for (const ParameterHelp& parameter : ParameterTable()) {
        page += ".TP\n.B " + Roff(parameter.syntax) + "\n" + Roff(parameter.description) + "\n";
    }
    page +=
        ".SH EXIT STATUS\n"
        ".TP\n.B 0\neverything asked for was done\n"
        ".TP\n.B 1\nan export or the print\\-out failed; with \\fBDOIT\\fR or \\fBUNDO\\fR, "
        "an entry could not be renamed or brought back, or there was nothing to undo\n"
        ".TP\n.B 2\nthe command line has errors, each reported on standard error\n"
        ".SH FILES\n"
        ".TP\n.I ~/.config/kestrel/machine.db, ~/.config/kestrel/user.db\n"
        "the settings and templates (\\fB$XDG_CONFIG_HOME/kestrel\\fR when that is set)\n"
        ".TP\n.I ~/.local/share/kestrel/\n"
        "the default case rules (\\fICase Rules/Default.csr\\fR), the default exports "
        "(\\fIExport/\\fR, \\fIFile List.txt\\fR) and downloaded updaters "
        "(\\fB$XDG_DATA_HOME/kestrel\\fR when that is set)\n"
        ".TP\n.I ~/.local/state/kestrel/\n"
        "the journal of a rename in progress (\\fB$XDG_STATE_HOME/kestrel\\fR when that is set); "
        "a journal left by an interrupted rename is offered for undoing at the next start of "
        "the window, and taken back by \\fBUNDO\\fR; \\fIundo\\-log\\fR keeps the eight "
        "newest commits for \\fBUNDO\\fR and \\(lqUndo the Do!\\(rq (mode 0600)\n";
    return page;
}

}  // namespace kestrel::app
