#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <functional>
#include <iosfwd>
#include <random>
#include "app/command_line.h"
#include "app/ui.h"
#include "app/workspace.h"
#include "commit/undo_store.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"
#include "settings/settings_store.h"

// The program as a whole: start-up (paths, store, sound table, the command
// line with its template, folder, case rules and exports), and the orderly
// shutdown. The window, when there is one, is built on top of it and reaches
// the Workspace through it.
namespace kestrel::app {

/// What start-up found out about where the program lives.
struct ProgramPlace {
    std::string executablePath;  // host path of the running program
    std::string configFolder;    // where machine.db and user.db live
    /// Host path of the user's data folder (case rules, exports, downloads);
    /// empty: the program folder.
    std::string dataFolder;
    /// Host path of the user's home folder; empty: none is known.
    std::string homeFolder;
};

/// How start-up ended: run the window, or exit with this status.
struct StartResult {
    bool runWindow = false;
    int exitStatus = 0;
};

class Application {
  public:
    /// Errors of a run without a window go to `errors` (standard error).
    /// Commits keep their journals in `stateFolder`; with none, they keep none.
    Application(const ProgramPlace& place, Ui& ui, const platform::Clock& clock,
                std::ostream& errors, std::string stateFolder = {});

    /// Start-up up to and including the command line. In window mode the
    /// caller then asks the first-run question, places and shows the window
    /// (FinishWindowStart does the non-window part of that).
    StartResult Start(const std::vector<std::string>& arguments, bool windowMode);
    /// Start on a command-line text, split as SplitCommandLine splits it.
    StartResult Start(std::string_view commandLine, bool windowMode);

    /// The part of a window start before the window is placed: the first-run
    /// question, then the start location to place the window by.
    int FinishWindowStart();
    /// The first listing, once the window is placed: fills both lists.
    void RunFirstListing();
    /// Offers to undo what a commit or undo that was cut short left behind.
    void RecoverInterruptedOperations();

    /// Remembers the working folder, the window position (twips; pass a
    /// negative value when there is no window) and, by preference, the whole
    /// state as the default template.
    void Shutdown(int windowLeft, int windowTop);

    /// Where exports to "-" and the preview go; standard output unless set.
    void SetStandardOutput(std::ostream& output) { output_ = &output; }

    Workspace& workspace() { return *workspace_; }
    settings::SettingsStore& store() { return store_; }
    platform::PosixFileSystem& fileSystem() { return fileSystem_; }

    const std::string& ProgramFolder() const { return folders_.program; }
    const std::string& DataFolder() const { return folders_.data; }
    const std::string& ExportFolder() const { return exportFolder_; }
    const std::vector<std::string>& CaseRuleFiles() const { return caseRuleFiles_; }

  private:
    StartResult RunCommandLine(const CommandLine& line, bool windowMode);
    /// Steps 1 to 11 of a valid command line; the exit status of what they did.
    int ApplyCommandLine(const CommandLine& line, bool windowMode);
    /// One export after a fresh listing; false when it could not be written.
    bool ExportAfterRefresh(exchange::ExportFormat format, const std::string& file,
                            bool windowMode);
    bool PrintAfterRefresh(bool windowMode);
    // The command line's preview, commit and undo (command_line_commit.cpp).
    /// An export whose file is "-": its bytes on standard output.
    bool ExportToStandardOutput(exchange::ExportFormat format, bool windowMode);
    /// PREVIEW: the preview's lines, to `file` or, when empty or "-", standard output.
    bool WritePreview(const std::string& file, bool windowMode);
    /// DOIT: 0 when every entry was renamed, else 1.
    int CommitFromCommandLine();
    /// UNDO: interrupted operations are undone first and count as the undo;
    /// else the newest level kept. 0 when every entry came back, else 1.
    int UndoFromCommandLine();
    /// Reports an entry a commit or an undo could not take on standard error.
    void ReportEntryFailure(const platform::FileError& error, const std::string& path);
    /// Lists the entries given alone on the command line; names in a box (or
    /// on standard error) each that cannot be listed.
    void ListGivenEntries(const std::vector<std::string>& typed, bool windowMode);
    void ListForOutput();
    /// True for success; otherwise tells the user (a box in window mode,
    /// standard error without one) and returns false.
    bool ReportOutputError(const platform::FileError& error, exchange::OutputActivity activity,
                           std::string_view target, bool windowMode);
    /// True when a batch file left no entry out; otherwise says how many it
    /// did (a box in window mode, standard error without one).
    bool ReportLeftOut(std::size_t leftOut, bool windowMode);
    void ReportSyntaxError(const std::string& errorText, bool windowMode);
    void LocateFolders(const ProgramPlace& place);
    /// The data folder's default case-rule file; one the program brings
    /// along is copied there the first time it is missing.
    std::string DefaultCaseRuleFile();
    /// A folder or file value as typed: native paths become program paths.
    std::string ProgramPath(std::string_view typed) const;
    /// A typed folder as stored on disk: letter case of each component, "."
    /// and ".." resolved, capital drive letter; empty when it does not exist.
    std::string ExpandedFolder(std::string_view typed);

    Ui& ui_;
    std::ostream& errors_;
    std::mt19937 random_;
    platform::PosixFileSystem fileSystem_;
    settings::SettingsStore store_;
    std::unique_ptr<Workspace> workspace_;
    ProgramFolders folders_;
    std::string exportFolder_;
    std::vector<std::string> caseRuleFiles_;
    std::string stateFolder_;
    commit::UndoStore undoStore_;
    std::ostream* output_;
    /// Entries the command line's commit or undo could not take.
    std::size_t entryFailures_ = 0;
    /// Interrupted operations UNDO found and undid at the start.
    std::size_t undoneAtStart_ = 0;
};

}  // namespace kestrel::app
