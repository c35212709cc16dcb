#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/command_buttons.h"
#include "app/path_presenter.h"
#include "app/ui.h"
#include "commit/commit_journal.h"
#include "commit/undo_log.h"
#include "commit/undo_store.h"
#include "engine/case_handling.h"
#include "engine/case_rule_list.h"
#include "engine/name_pipeline.h"
#include "engine/rename_options.h"
#include "exchange/export_formats.h"
#include "lists/given_entries.h"
#include "lists/list_entry.h"
#include "lists/preview.h"
#include "lists/tag_cache.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/tag_reader.h"
#include "settings/preferences.h"
#include "settings/settings_store.h"
#include "settings/sound_table.h"

// What the main window holds, without the window: the rename options, the two
// folder texts, the source rows and folder table, the preview and its messages,
// the counters and flags. Its methods are the window's commands; they reach the
// screen only through the Ui interface, so the command line and the tests run
// the same commands without a display.
namespace kestrel::commit {
class OrderedSteps;
class StepOrder;
struct StepAtHand;
}  // namespace kestrel::commit

namespace kestrel::app {

/// Where the program's own files are and where it keeps the user's, in
/// program form with a trailing backslash.
struct ProgramFolders {
    /// The program's folder; an installed one may not be writable, so it
    /// holds only what the program reads (the manual).
    std::string program;
    /// The user's data folder: case rules, default exports, downloads.
    std::string data;
    /// The user's home folder, where a template without a folder opens.
    std::string home;
};

class Workspace {
  public:
    Workspace(platform::FileSystem& fileSystem, Ui& ui, const platform::Clock& clock,
              engine::RandomUnit random);

    // The state the window's controls edit.
    engine::RenameOptions options;
    settings::Preferences preferences;
    settings::SoundTable sounds;
    std::string txtSourceDir;
    std::string txtDestDir;
    /// Set while the program itself changes controls: no refresh runs meanwhile.
    bool busyFlag = false;
    /// Set around a listing that must run even with "Auto refresh" off.
    bool updateFlag = false;
    /// Location code shown by the unexpected-error report.
    int area = 0;
    /// Seconds since midnight at which the current long operation started; -1 unset.
    double operationStartTime = -1;

    /// Which list a listing export or a print-out is about (the print button
    /// pressed last in the window; the source list otherwise).
    exchange::ExportList exportListIndex = exchange::ExportList::Source;
    /// The case rules; the pipeline applies the ticked ones in list order.
    engine::CaseRuleList caseRules;
    /// "Save all settings as the default template on program exit" (checked
    /// until the user clears it in the Preferences window).
    bool chkSaveTemplate = true;

    const std::vector<lists::ListEntry>& SourceFileList() const { return sourceRows_; }
    /// 1-based in the design: folder index f is FolderTable()[f - 1].
    const std::vector<std::string>& FolderTable() const { return folderTable_; }
    const std::vector<std::string>& TargetFileList() const { return preview_.targets; }
    /// Each row's message in the user's language, as the window shows it.
    std::string_view ErrorMessage(std::size_t row) const { return preview_.ShownMessage(row); }
    /// The same messages in English, as the preview lines write them.
    std::string_view EnglishErrorMessage(std::size_t row) const {
        return preview_.EnglishMessage(row);
    }
    /// Every row's message in English, as the preview lines write them.
    std::vector<std::string> EnglishErrorMessages() const;
    bool TargetFlagged(std::size_t row) const { return preview_.Flagged(row); }
    int RenameCounter() const { return preview_.renameCounter; }
    int ErrorCount() const { return preview_.errorCount; }
    /// Why the last preview left every name as it was (a search pattern that
    /// does not compile), or empty text.
    const std::string& PreviewWarning() const { return previewWarning_; }
    Answer InterruptAnswer() const { return interruptAnswer_; }
    /// The widest display text seen by the listings, for the scroll extent.
    const std::string& WidestText() const { return widestText_; }

    /// Where the tags of the inserted and replacement texts are read: the
    /// libraries' reader, unless a test gives another (which must outlive
    /// the Workspace's use of it).
    void SetTagReader(const platform::TagReader& reader);
    /// The value each tag has for the file of source row `row`, in the
    /// order of engine::AllTags(), as a tag without a format puts it into a
    /// name; empty where the file has none. Reads the one file afresh.
    std::array<std::string, engine::kTagCount> RowTagTexts(std::size_t row);

    /// Selection of source rows, as the window's list reports it.
    void SetSelected(std::size_t row, bool selected);
    void SelectAll(bool selected);
    /// A source row renamed on its own: its text changes, the folder is not read again.
    void SetSourceText(std::size_t row, std::string text);

    /// Re-reads the working folder into the source list and recomputes the preview.
    void RefreshSourceList();
    /// Lists exactly these entries (program paths) from now on, instead of a
    /// whole folder: the working and target folders become the folder that
    /// holds them all. Any other working folder returns to folder listings.
    /// Does not refresh.
    void ListGivenEntries(std::vector<std::string> paths);
    /// True while the source list holds given entries rather than a folder.
    bool ListsGivenEntries() const { return given_ && given_->workingFolder == txtSourceDir; }
    /// Recomputes the target list from the source rows and the options.
    void RefreshTargetList();
    /// Puts the source rows in the order "Sort" and "Descending" ask for and
    /// recomputes the preview. The folder is read again only when the order
    /// compares dates or sizes the last listing did not read; the dates
    /// taken are read from the files the first time they are needed.
    void SortSourceList();
    /// The message for a filter text that cannot be used, or empty text.
    static std::string CheckFilterField(std::string_view filterText);

    /// "&Do It!": carries out the previewed renames, moves or copies.
    void DoIt();
    /// "&Undo the Do!": brings back every entry of the newest commit.
    void Undo();
    /// The folder browser's "Consolidate files": every entry goes straight into
    /// the target folder.
    bool consolidateFiles = false;
    /// 1 after start, 5 while an entry is processed or after Ignore, 4 after
    /// Retry, 3 after Abort.
    int CommitState() const { return commitState_; }
    const commit::UndoLog& UndoHistory() const { return undoLog_; }
    /// Where commits and undos keep their journals; without one they keep none.
    void AttachJournal(commit::JournalPlace place) { journalPlace_ = std::move(place); }
    /// Where the undo log is kept between runs (it must outlive the Workspace's
    /// use of it): its levels are the ones to undo from now on, and every
    /// commit adds its own.
    void AttachUndoStore(commit::UndoStore* store);

    /// An entry a commit or an undo could not take, with the error and the
    /// entry's path (its old path in a commit, its new one in an undo).
    using FailureSink = std::function<void(const platform::FileError&, const std::string& path)>;
    /// Set when nobody can be asked: each entry "Do It!" cannot take is told
    /// here instead of asked about, and the commit goes on as after "Ignore";
    /// an undo tells here each entry it could not bring back.
    void SetFailureSink(FailureSink sink) { failureSink_ = std::move(sink); }

    void DisableButtons();
    void EnableButtons();
    const CommandButtons& Buttons() const { return buttons_; }
    int UndoLevel() const { return undoLog_.Level(); }

    /// Where the report ends the program (the app closes everything); tests
    /// record it instead.
    void SetCloseAllHandler(std::function<void()> closeAll) { closeAll_ = std::move(closeAll); }
    /// The report for a failure no command handled: shows it, then closes all.
    void ReportUnexpectedError(const std::exception& error, std::string_view data);

    /// Templates live in `store`; `folders` say where the program's files are.
    void AttachSettings(settings::SettingsStore& store, ProgramFolders folders);
    /// The program's folder, with its trailing backslash, as AttachSettings named it.
    const std::string& ProgramFolder() const { return folders_.program; }
    /// Where the user's case rules, exports and downloads are written.
    const std::string& DataFolder() const { return folders_.data; }
    /// The store AttachSettings named; null before.
    settings::SettingsStore* Settings() const { return store_; }
    /// Applies template `number` to the options, folders and preferences; 1 when
    /// it was present, 0 (nothing changed) otherwise. Does not refresh. A
    /// working folder that had to be mended is written back unless
    /// `storeMendedFolder` is false (a load whose run may yet be refused).
    int LoadTemplate(int number, bool storeMendedFolder = true);
    /// Stores the current state as template `number` named `name`.
    void SaveTemplate(int number, std::string_view name);
    /// The working folder as the last template load applied it.
    const std::string& WorkingFolder() const { return workingFolder_; }

    /// Reads a case-rule file into the rules (conflict mode 0, 1 or 2); 1 when read.
    int ReadCaseRules(std::string_view path, int mode);

    struct ExportResult {
        platform::FileError error;
        std::string file;  // the file that failed, when one did
        /// Batch entries left out because a "ren" line could not carry them.
        std::size_t leftOut = 0;
    };
    /// Writes the lists in `format` to `fileName` (a batch file also gets its
    /// ".undo.bat" companion, a shell script its ".undo.sh"); listings are of
    /// the source or the target list.
    ExportResult ExportLists(exchange::ExportFormat format, std::string_view fileName,
                             exchange::ExportList list);
    /// The bytes ExportLists would write to `fileName` (for a batch file or a
    /// script, the rename file alone), for a file that is standard output.
    std::string ExportBytes(exchange::ExportFormat format, std::string_view fileName,
                            exchange::ExportList list);
    /// The disk steps "Do It!" would take now if every one succeeded, in the
    /// order it would take them, temporary names included.
    std::vector<commit::UndoEntry> PlannedSteps();

    /// The drive letters, so that paths can be shown as this computer writes them.
    void AttachDrives(const platform::DriveTable* drives) { drives_ = drives; }
    /// The drive letters AttachDrives named; null before.
    const platform::DriveTable* Drives() const { return drives_; }
    /// Where a path becomes text for the user, in the style the preferences ask.
    PathPresenter Paths() const {
        return PathPresenter(drives_, static_cast<PathStyle>(preferences.pathStyle));
    }

    platform::FileSystem& FileSystem() { return fileSystem_; }
    Ui& Window() { return ui_; }
    const platform::Clock& Clock() const { return clock_; }

  private:
    /// What decides the new names of a preview; a commit whose basis differs
    /// from the last preview's computes the preview again first, so that it
    /// never commits what the window does not show.
    struct PreviewBasis {
        engine::RenameOptions options;
        std::string sourceDir;
        std::string destDir;
        std::vector<std::string> caseRules;
        bool operator==(const PreviewBasis&) const = default;
    };
    PreviewBasis CurrentPreviewBasis() const;

    void ListSource();
    /// Sorts the rows as the options ask, reading the dates taken if the
    /// order compares them.
    void OrderRows();
    /// Each row's date taken, or its modification date, as text that sorts
    /// as the date does.
    std::vector<std::string> TakenDates();
    void ComputeTargets();
    /// Reads what the tags of `pipeline` need of the selected rows (with the
    /// progress bar and the interrupt question) and gives each row its
    /// values; no values at all when the texts name no tag.
    std::vector<const engine::TagValues*> ReadRowTags(const engine::NamePipeline& pipeline);
    void ReportSummary(double elapsedSeconds);
    void PlayIfDue(settings::SoundEvent event, double elapsedSeconds);
    double Now() const { return clock_.SecondsSinceMidnight(); }
    // The commit's loop and its undo (workspace_commit.cpp).
    struct CommitRun;
    void CommitRows(CommitRun& run);
    /// True when the user asked to run the entry again.
    bool CommitRow(CommitRun& run, std::size_t row);
    /// The Abort/Retry/Ignore question about a failed entry; true for Retry.
    bool AskAboutFailure(const platform::FileError& error, std::string_view name,
                         std::string_view newName);
    /// A commit whose entries depend on each other, in the planned order of
    /// its steps.
    void CommitInOrder(CommitRun& run, const commit::StepOrder& order);
    /// True when the user asked to take the step again (`retried`).
    bool CommitStep(CommitRun& run, commit::OrderedSteps& steps, std::size_t step, bool retried);
    platform::FileError TakeStep(CommitRun& run, commit::OrderedSteps& steps, std::size_t step,
                                 commit::StepAtHand& at);
    /// False, with the commit aborted, when the journal cannot be written and
    /// the user does not go on without it.
    bool AnnounceSteps(CommitRun& run, const commit::OrderedSteps& steps, std::size_t step);
    void RestoreNewestLevel();
    /// Keeps the commit's level on disk, with what stands under each new path.
    void KeepNewestLevel();
    /// Tells the failure sink, when there is one; true when it was told.
    bool ToldFailure(const platform::FileError& error, const std::string& path);
    /// The given entries under the paths a commit (or its undo) gave them.
    void StopWatchingListedFolders();
    void FollowGivenEntries(const std::vector<commit::UndoEntry>& steps, bool undone);

    platform::FileSystem& fileSystem_;
    const platform::DriveTable* drives_ = nullptr;
    Ui& ui_;
    const platform::Clock& clock_;
    engine::RandomUnit random_;
    std::function<void()> closeAll_;

    std::vector<lists::ListEntry> sourceRows_;
    std::vector<std::string> folderTable_;
    /// The last listing read each row's modification time and size.
    bool stampsRead_ = false;
    /// What the last listing read of each folder, for the existing-target check,
    /// kept while nothing in the folder changes.
    lists::ListedNames listedNames_;
    /// The entries a file manager handed over, while they are what is listed.
    std::optional<lists::GivenEntries> given_;
    lists::Preview preview_;
    /// The tag values each row's name was made with in the last preview, so
    /// that the commit makes exactly the names shown.
    std::vector<const engine::TagValues*> rowTags_;
    lists::TagCache tagCache_;
    std::unique_ptr<platform::TagReader> ownTagReader_;
    const platform::TagReader* tagReader_ = nullptr;
    std::string previewWarning_;
    PreviewBasis previewBasis_;
    std::string widestText_;
    Answer interruptAnswer_ = Answer::No;
    CommandButtons buttons_;
    settings::SettingsStore* store_ = nullptr;
    ProgramFolders folders_;
    std::string workingFolder_;
    commit::UndoLog undoLog_;
    commit::JournalPlace journalPlace_;
    commit::UndoStore* undoStore_ = nullptr;
    FailureSink failureSink_;
    int commitState_ = 1;
};

}  // namespace kestrel::app
