// The Workspace's commands that read and write settings and files: templates,
// case-rule files and exports.
#include "app/case_rule_files.h"
#include "app/workspace.h"
#include "exchange/shell_script.h"
#include "settings/templates.h"

namespace kestrel::app {
namespace {

// The script names entries by their paths on this host, so that it runs from
// any folder.
std::vector<exchange::ScriptStep> ScriptSteps(Workspace& workspace) {
    std::vector<exchange::ScriptStep> steps;
    for (const commit::UndoEntry& step : workspace.PlannedSteps()) {
        const auto host = [&workspace](const std::string& path) {
            if (workspace.Drives() != nullptr) {
                if (auto hostPath = workspace.Drives()->ToHostPath(path)) {
                    return *hostPath;
                }
            }
            return workspace.FileSystem().HostPathOf(path);
        };
        steps.push_back({host(step.oldPath), host(step.newPath),
                         step.kind == commit::StepKind::Copy,
                         step.kind == commit::StepKind::FolderTree});
    }
    return steps;
}

}  // namespace

void Workspace::AttachSettings(settings::SettingsStore& store, ProgramFolders folders) {
    store_ = &store;
    folders_ = std::move(folders);
}

int Workspace::LoadTemplate(int number, bool storeMendedFolder) {
    if (store_ == nullptr) {
        return 0;
    }
    // The controls change below; none of their handlers may refresh meanwhile.
    const bool wasBusy = busyFlag;
    busyFlag = true;
    const settings::TemplateLoad load =
        settings::LoadTemplate(*store_, fileSystem_, number, folders_.home, options, preferences);
    if (storeMendedFolder) {
        settings::StoreMendedFolder(*store_, number, load);
    }
    if (load.loaded) {
        workingFolder_ = load.workingFolder;
        txtSourceDir = load.workingFolder;
        txtDestDir = load.workingFolder;
    }
    busyFlag = wasBusy;
    return load.loaded ? 1 : 0;
}

void Workspace::SaveTemplate(int number, std::string_view name) {
    if (store_ != nullptr) {
        settings::SaveTemplate(*store_, number, name, options, txtSourceDir, preferences,
                               chkSaveTemplate);
    }
}

int Workspace::ReadCaseRules(std::string_view path, int mode) {
    DisableButtons();
    const int read = app::ReadCaseRules(fileSystem_, ui_, caseRules, path, mode);
    EnableButtons();
    return read;
}

Workspace::ExportResult Workspace::ExportLists(exchange::ExportFormat format,
                                               std::string_view fileName,
                                               exchange::ExportList list) {
    const std::string file(fileName);
    ui_.SetPointer(Pointer::Busy);
    ExportResult result;
    if (format == exchange::ExportFormat::Shell) {
        const exchange::ShellScripts scripts =
            exchange::ShellScriptBytes(fileName, ScriptSteps(*this));
        result.file = file;
        result.error = fileSystem_.WriteFileReplacing(file, scripts.renameBytes);
        if (result.error.Ok()) {
            result.error = fileSystem_.MakeExecutable(file);
        }
        if (result.error.Ok()) {
            result.file = exchange::UndoScriptName(file);
            result.error = fileSystem_.WriteFileReplacing(result.file, scripts.undoBytes);
        }
        if (result.error.Ok()) {
            result.error = fileSystem_.MakeExecutable(result.file);
        }
    } else if (format == exchange::ExportFormat::Batch) {
        const exchange::BatchFiles bytes =
            exchange::BatchBytes(fileName, sourceRows_, preview_.targets);
        result.leftOut = bytes.leftOut;
        result.error = fileSystem_.WriteFileReplacing(file, bytes.renameBytes);
        result.file = file;
        if (result.error.Ok()) {
            result.file = exchange::UndoBatchName(file);
            result.error = fileSystem_.WriteFileReplacing(result.file, bytes.undoBytes);
        }
    } else {
        const bool source = list == exchange::ExportList::Source;
        std::vector<std::string> sourceTexts;
        if (source) {
            sourceTexts.reserve(sourceRows_.size());
            for (const lists::ListEntry& entry : sourceRows_) {
                sourceTexts.push_back(entry.text);
            }
        }
        const std::string bytes =
            exchange::ListingBytes(format, source ? txtSourceDir : txtDestDir,
                                   source ? sourceTexts : preview_.targets, source);
        result.error = fileSystem_.WriteFileReplacing(file, bytes);
        result.file = file;
    }
    if (result.error.Ok()) {
        result.file.clear();
    }
    ui_.SetPointer(Pointer::Normal);
    return result;
}

std::string Workspace::ExportBytes(exchange::ExportFormat format, std::string_view fileName,
                                   exchange::ExportList list) {
    switch (format) {
        case exchange::ExportFormat::Shell:
            return exchange::ShellScriptBytes(fileName, ScriptSteps(*this)).renameBytes;
        case exchange::ExportFormat::Batch:
            return exchange::BatchBytes(fileName, sourceRows_, preview_.targets).renameBytes;
        default:
            break;
    }
    const bool source = list == exchange::ExportList::Source;
    std::vector<std::string> sourceTexts;
    for (const lists::ListEntry& entry : sourceRows_) {
        sourceTexts.push_back(entry.text);
    }
    return exchange::ListingBytes(format, source ? txtSourceDir : txtDestDir,
                                  source ? sourceTexts : preview_.targets, source);
}

}  // namespace kestrel::app
