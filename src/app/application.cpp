#include "app/application.h"

#include <iostream>
#include <ostream>
#include <utility>

#include "app/journal_recovery.h"
#include "app/version.h"
#include "exchange/print_list.h"
#include "lists/position_picking.h"
#include "platform/lp_print_job.h"
#include "platform/path_tools.h"
#include "settings/drive_mapping.h"
#include "settings/key_paths.h"
#include "settings/sound_table.h"
#include "text/program_path.h"
#include "text/translation.h"
#include "text/unicode_text.h"
#include "update/updater_leftovers.h"

namespace kestrel::app {
namespace {

using settings::Scope;

constexpr std::int32_t kFirstRunBelowBuild = 235;
constexpr std::string_view kExecutableName = "kestrel";

std::string HostFolderOf(const std::string& hostPath) {
    const std::size_t slash = hostPath.rfind('/');
    return slash == std::string::npos ? std::string("/") : hostPath.substr(0, slash + 1);
}

std::string CrLfToLf(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c != '\r') {
            out.push_back(c);
        }
    }
    return out;
}

}  // namespace

Application::Application(const ProgramPlace& place, Ui& ui, const platform::Clock& clock,
                         std::ostream& errors, std::string stateFolder)
    : ui_(ui),
      errors_(errors),
      random_(static_cast<std::mt19937::result_type>(clock.SecondsSinceMidnight() * 1000.0)),
      store_(place.configFolder),
      stateFolder_(std::move(stateFolder)),
      undoStore_(stateFolder_),
      output_(&std::cout) {
    settings::LoadDriveTable(store_, fileSystem_.Drives());
    workspace_ = std::make_unique<Workspace>(fileSystem_, ui_, clock, [this] {
        return std::uniform_real_distribution<double>(0.0, 1.0)(random_);
    });
    LocateFolders(place);
    workspace_->AttachSettings(store_, folders_);
    workspace_->AttachJournal({stateFolder_, &fileSystem_.Drives()});
    workspace_->AttachDrives(&fileSystem_.Drives());
    workspace_->AttachUndoStore(&undoStore_);
}

void Application::LocateFolders(const ProgramPlace& place) {
    // The installer records the program folder; a copy run from elsewhere
    // finds itself through its own path instead.
    std::string& program = folders_.program;
    program = text::AddTrailingBackslash(
        ProgramPath(store_.ReadText(Scope::Machine, settings::kRootKey, "App Path", "")));
    if (!platform::PathExists(fileSystem_, program + std::string(kExecutableName))) {
        const std::string folder =
            fileSystem_.Drives().ToProgramPath(HostFolderOf(place.executablePath));
        const std::string expanded = platform::ExpandPathName(fileSystem_, folder);
        program = text::AddTrailingBackslash(expanded.empty() ? folder : expanded);
    }
    // An installed program folder is not the user's to write: what Kestrel
    // writes by itself goes to the user's data folder.
    const std::string data = fileSystem_.Drives().FolderInputToProgram(place.dataFolder);
    folders_.data = data.empty() || data.starts_with('/') ? program : data;
    const std::string home = fileSystem_.Drives().FolderInputToProgram(place.homeFolder);
    folders_.home = home.starts_with('/') ? std::string() : home;
    exportFolder_ = folders_.data + "Export\\";
    caseRuleFiles_ = {DefaultCaseRuleFile()};
}

std::string Application::DefaultCaseRuleFile() {
    const std::string own = folders_.data + "Case Rules\\Default.csr";
    if (folders_.data == folders_.program || platform::PathExists(fileSystem_, own)) {
        return own;
    }
    // Beside the program, or in the installation's shared files, as the manual.
    const std::string parent = lists::ParentFolder(folders_.program);
    for (const std::string& shipped :
         {folders_.program + "Case Rules\\Default.csr",
          parent.empty() ? std::string() : parent + "share\\kestrel\\Case Rules\\Default.csr"}) {
        if (!shipped.empty() && fileSystem_.IsReadableFile(shipped)) {
            platform::MakeFolderTree(fileSystem_, own);
            fileSystem_.Copy(shipped, own);
            break;
        }
    }
    return own;
}

std::string Application::ProgramPath(std::string_view typed) const {
    if (typed.starts_with('/') || typed.starts_with("~/") || typed == "~") {
        std::string path = fileSystem_.Drives().FolderInputToProgram(typed);
        if (!typed.ends_with('/')) {
            text::StripTrailingBackslash(path);
        }
        return path;
    }
    return std::string(typed);
}

std::string Application::ExpandedFolder(std::string_view typed) {
    return platform::ExpandPathName(fileSystem_, ProgramPath(typed));
}

StartResult Application::Start(std::string_view commandLine, bool windowMode) {
    return Start(SplitCommandLine(commandLine), windowMode);
}

StartResult Application::Start(const std::vector<std::string>& arguments, bool windowMode) {
    Workspace& ws = *workspace_;
    ws.busyFlag = true;
    ws.sounds = settings::ReadSoundTable(store_);
    // Saving preferences writes the start location too; read it first so that
    // a run without the window does not reset it.
    settings::LoadStartupLocation(store_, ws.preferences);

    CommandLineProbes probes;
    // The command line may still turn out wrong; nothing is written until it is known good.
    probes.loadTemplate = [&ws](int number) { return ws.LoadTemplate(number, false) == 1; };
    probes.isFolder = [this](std::string_view path) {
        const std::string folder = ExpandedFolder(path);
        return !folder.empty() && fileSystem_.IsFolder(folder);
    };
    probes.pathExists = [this](std::string_view path) {
        return platform::PathExists(fileSystem_, ProgramPath(path));
    };
    const CommandLine line = ParseArguments(arguments, {folders_.data, exportFolder_}, probes);
    ws.busyFlag = false;

    if (line.help || line.version) {
        return {false, 0};
    }
    // A commit or an undo from the command line runs without the window.
    const bool window = windowMode && !line.noWindow && !line.doIt && !line.undo;
    if (!line.errorText.empty()) {
        // Nothing is saved: the state now is what a mistyped line made of it
        // (a template it loaded, options no template filled), and saving it
        // would overwrite the user's default template with it.
        ReportSyntaxError(line.errorText, window);
        return {false, 2};
    }
    if (window) {
        // Only the window downloads updaters; a command-line run has no
        // business with what one left.
        update::RemoveUpdaterLeftovers(fileSystem_, folders_.data);
    } else if (line.undo) {
        // Asked to undo: what a killed run left is the first thing to take back.
        undoneAtStart_ = UndoInterruptedOperations(stateFolder_, errors_, entryFailures_);
    } else {
        // Nobody can be asked; the next start of the window will ask.
        ReportInterruptedOperations(stateFolder_, errors_);
    }
    const int status = ApplyCommandLine(line, window);
    if (window) {
        return {true, status};
    }
    Shutdown(-1, -1);
    return {false, status};
}

void Application::ReportSyntaxError(const std::string& errorText, bool windowMode) {
    if (windowMode) {
        ui_.Ask(errorText, text::Tr("Syntax error"), Buttons::Ok, Icon::Critical);
    } else {
        errors_ << CrLfToLf(errorText);
        errors_.flush();
    }
}

int Application::ApplyCommandLine(const CommandLine& line, bool windowMode) {
    Workspace& ws = *workspace_;
    if (line.reset) {
        store_.DeleteKey(Scope::Machine, settings::TemplateKey(0));
    }
    ws.LoadTemplate(line.templateNumber);
    if (line.folder) {
        ws.txtSourceDir = text::AddTrailingBackslash(ExpandedFolder(*line.folder));
        ws.txtDestDir = ws.txtSourceDir;
    }
    if (!line.entries.empty()) {
        ListGivenEntries(line.entries, windowMode);
    }
    if (!line.caseRuleFiles.empty()) {
        caseRuleFiles_.clear();
        for (const std::string& file : line.caseRuleFiles) {
            caseRuleFiles_.push_back(ProgramPath(file));
        }
    }
    for (const std::string& file : caseRuleFiles_) {
        ws.ReadCaseRules(file, engine::kConflictKeepExisting);
    }
    if (line.recurse) {
        engine::SetRecurse(ws.options, 1);
    }
    if (line.copyTarget) {
        // A folder text ends with a backslash: new names are joined onto it.
        const std::string target = ProgramPath(*line.copyTarget);
        ws.txtDestDir = target.empty() ? target : text::AddTrailingBackslash(target);
        ws.options.chkCopy = 1;
    }

    bool ok = true;
    const std::pair<const std::optional<std::string>*, exchange::ExportFormat> exports[] = {
        {&line.batchFile, exchange::ExportFormat::Batch},
        {&line.commaFile, exchange::ExportFormat::Comma},
        {&line.tabFile, exchange::ExportFormat::Tab},
        {&line.listFile, exchange::ExportFormat::Listing},
        {&line.shellFile, exchange::ExportFormat::Shell},
    };
    for (const auto& [file, format] : exports) {
        if (!file->has_value()) {
            continue;
        }
        ok = (**file == kStandardOutput
                  ? ExportToStandardOutput(format, windowMode)
                  : ExportAfterRefresh(format, ProgramPath(**file), windowMode)) &&
             ok;
    }
    if (line.previewFile) {
        ok = WritePreview(*line.previewFile, windowMode) && ok;
    }
    if (line.print) {
        ok = PrintAfterRefresh(windowMode) && ok;
    }
    // The outputs were written all the same, with every name as it was: a
    // warning, which leaves the exit status alone. The window shows it in
    // its status bar instead.
    if (!windowMode && !ws.PreviewWarning().empty()) {
        errors_ << ws.PreviewWarning() << "\n";
        errors_.flush();
    }
    // The exports describe the folder before the renames; a run whose record
    // of them could not be written does not rename.
    if (line.doIt && !ok) {
        errors_ << text::Tr("Nothing was renamed, because an output above could not be written.")
                << "\n";
        errors_.flush();
    } else if (line.doIt) {
        ok = CommitFromCommandLine() == 0;
    }
    if (line.undo) {
        ok = UndoFromCommandLine() == 0 && ok;
    }
    return ok ? 0 : 1;
}

void Application::ListGivenEntries(const std::vector<std::string>& typed, bool windowMode) {
    std::vector<std::string> paths;
    std::string unlisted;
    for (const std::string& given : typed) {
        const char* reason = nullptr;
        std::string path;
        if (!text::IsValidUtf8(given)) {
            // Kestrel's names are text; these bytes cannot be shown or renamed as one.
            // TRANSLATORS: this and the next two follow an entry's name and a
            // colon, saying why it cannot be listed.
            reason = text::Tr("its name is not UTF-8 text");
        } else if (given.starts_with('/') && given.find('\\') != std::string::npos) {
            reason = text::Tr("its name holds a backslash, which Kestrel takes for a folder mark");
        } else {
            path = ProgramPath(given);
            if (!platform::PathExists(fileSystem_, path)) {
                reason = text::Tr("it is not there");
            }
        }
        if (reason == nullptr) {
            paths.push_back(std::move(path));
        } else {
            unlisted += (windowMode ? "\r" : "") + given + ": " + reason + (windowMode ? "" : "\n");
        }
    }
    if (!unlisted.empty()) {
        if (windowMode) {
            ui_.Ask(text::Tr("Kestrel cannot list these entries:") + ("\r" + unlisted),
                    kProgramTitle, Buttons::Ok, Icon::Exclamation);
        } else {
            errors_ << text::Tr("Kestrel cannot list these entries:") << "\n" << unlisted;
            errors_.flush();
        }
    }
    if (!paths.empty()) {
        workspace_->ListGivenEntries(std::move(paths));
    }
}

void Application::ListForOutput() {
    // Exports and print-outs describe the folder as it is now, whatever "Auto
    // refresh" says.
    Workspace& ws = *workspace_;
    ws.updateFlag = true;
    ws.RefreshSourceList();
    ws.updateFlag = false;
}

bool Application::ReportOutputError(const platform::FileError& error,
                                    exchange::OutputActivity activity, std::string_view target,
                                    bool windowMode) {
    if (error.Ok()) {
        return true;
    }
    // Without a printing system there is nothing to number: say what is missing.
    // The description is in the user's language, as the print job made it.
    if (error.description == text::Tr(platform::kNoPrintingSystem.data())) {
        if (windowMode) {
            ui_.Ask(error.description, kProgramTitle, Buttons::Ok, Icon::Exclamation);
        } else {
            errors_ << error.description << "\n";
            errors_.flush();
        }
        return false;
    }
    const std::string shown = workspace_->Paths().Path(target);
    if (windowMode) {
        ui_.Ask(exchange::OutputErrorText(error, activity, shown), kProgramTitle, Buttons::Ok,
                Icon::Exclamation);
    } else {
        errors_ << platform::NumberedError(error) << "\n" << shown << "\n";
        errors_.flush();
    }
    return false;
}

bool Application::ExportAfterRefresh(exchange::ExportFormat format, const std::string& file,
                                     bool windowMode) {
    ListForOutput();
    if (file.starts_with(folders_.data)) {
        platform::MakeFolderTree(fileSystem_, file);
    }
    Workspace& ws = *workspace_;
    const Workspace::ExportResult result = ws.ExportLists(format, file, ws.exportListIndex);
    if (!ReportOutputError(result.error, exchange::OutputActivity::Writing, result.file,
                           windowMode)) {
        return false;
    }
    return ReportLeftOut(result.leftOut, windowMode);
}

bool Application::ReportLeftOut(std::size_t leftOut, bool windowMode) {
    if (leftOut == 0) {
        return true;
    }
    const std::string text = exchange::LeftOutOfBatchText(leftOut);
    if (windowMode) {
        ui_.Ask(text, kProgramTitle, Buttons::Ok, Icon::Exclamation);
    } else {
        errors_ << text << "\n";
        errors_.flush();
    }
    return false;
}

bool Application::PrintAfterRefresh(bool windowMode) {
    ListForOutput();
    Workspace& ws = *workspace_;
    platform::LpPrintJob job;
    const platform::FileError error = exchange::PrintList(
        // cboPrint starts on the list of ExportListIndex; one copy without the dialog.
        job, static_cast<exchange::PrintChoice>(ws.exportListIndex), 1,
        {ws.txtSourceDir, ws.txtDestDir, ws.SourceFileList(), ws.TargetFileList()});
    return ReportOutputError(error, exchange::OutputActivity::PrintingTo, "lp", windowMode);
}

int Application::FinishWindowStart() {
    Workspace& ws = *workspace_;
    if (store_.ReadNumber(Scope::Machine, settings::kSettingsKey, "Build", 0) <
        kFirstRunBelowBuild) {
        std::string question = text::Tr(
            "Kestrel can download updates from the Internet automatically when it is run.");
        question += "   \r\r";
        question += text::Tr(
            "Would you like to enable this feature now?  (You can change it later in Preferences)");
        question += "  ";
        const Answer answer =
            ui_.Ask(question, text::Tr("Internet Update"), Buttons::YesNo, Icon::Question);
        ws.preferences.autoUpdate = answer == Answer::Yes ? 1 : 0;
        store_.WriteNumber(Scope::Machine, settings::kSettingsKey, "Build", kBuildNumber);
    }
    settings::LoadStartupLocation(store_, ws.preferences);
    return ws.preferences.startupLocation;
}

void Application::RecoverInterruptedOperations() {
    app::RecoverInterruptedOperations(stateFolder_, ui_,
                                      workspace_ ? workspace_->Paths().Style() : PathStyle::Host);
}

void Application::RunFirstListing() {
    workspace_->busyFlag = false;
    workspace_->RefreshSourceList();
}

void Application::Shutdown(int windowLeft, int windowTop) {
    Workspace& ws = *workspace_;
    if (ws.txtSourceDir != ws.WorkingFolder()) {
        store_.WriteText(Scope::Machine, settings::TemplateKey(0), "Working Folder",
                         ws.txtSourceDir);
    }
    if (windowLeft >= 0 && windowTop >= 0) {
        store_.WriteNumber(Scope::Machine, settings::kSettingsKey, "Window Position X", windowLeft);
        store_.WriteNumber(Scope::Machine, settings::kSettingsKey, "Window Position Y", windowTop);
    }
    if (ws.chkSaveTemplate) {
        ws.SaveTemplate(0, "{No Name}");
    }
}

}  // namespace kestrel::app
