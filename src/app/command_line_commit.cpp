// What the command line does beyond the exports: the preview and exports on
// standard output, and "Do It!" and "Undo the Do!" without a window, each
// entry that fails reported on standard error instead of asked about.
#include <ostream>

#include "app/application.h"
#include "exchange/preview_lines.h"
#include "text/translation.h"

namespace kestrel::app {

bool Application::ExportToStandardOutput(exchange::ExportFormat format, bool windowMode) {
    ListForOutput();
    Workspace& ws = *workspace_;
    std::string bytes;
    std::size_t leftOut = 0;
    if (format == exchange::ExportFormat::Batch) {
        const exchange::BatchFiles files = exchange::BatchBytes(
            std::string(kStandardOutput), ws.SourceFileList(), ws.TargetFileList());
        bytes = files.renameBytes;
        leftOut = files.leftOut;
    } else {
        bytes = ws.ExportBytes(format, kStandardOutput, ws.exportListIndex);
    }
    output_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    output_->flush();
    if (!*output_) {
        return ReportOutputError(platform::FileError::Make(platform::kDeviceIoError),
                                 exchange::OutputActivity::Writing, "-", windowMode);
    }
    return ReportLeftOut(leftOut, windowMode);
}

bool Application::WritePreview(const std::string& file, bool windowMode) {
    ListForOutput();
    Workspace& ws = *workspace_;
    const PathPresenter paths = ws.Paths();
    const bool fullPath = ws.options.cboPathDisplay == 2;
    // Names as the lists show them.
    std::vector<std::string> sources;
    std::vector<std::string> targets;
    sources.reserve(ws.SourceFileList().size());
    targets.reserve(ws.TargetFileList().size());
    for (const lists::ListEntry& entry : ws.SourceFileList()) {
        sources.push_back(paths.Row(entry.text, fullPath));
    }
    for (const std::string& target : ws.TargetFileList()) {
        targets.push_back(target.empty() ? target : paths.Row(target, fullPath));
    }
    const std::string bytes = exchange::PreviewLines(sources, targets, ws.EnglishErrorMessages());
    if (file.empty() || file == kStandardOutput) {
        output_->write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        output_->flush();
        return *output_ ? true
                        : ReportOutputError(platform::FileError::Make(platform::kDeviceIoError),
                                            exchange::OutputActivity::Writing, "-", windowMode);
    }
    const std::string path = ProgramPath(file);
    return ReportOutputError(fileSystem_.WriteFileReplacing(path, bytes),
                             exchange::OutputActivity::Writing, path, windowMode);
}

void Application::ReportEntryFailure(const platform::FileError& error, const std::string& path) {
    ++entryFailures_;
    errors_ << platform::NumberedError(error) << "\n" << workspace_->Paths().Path(path) << "\n";
    errors_.flush();
}

int Application::CommitFromCommandLine() {
    Workspace& ws = *workspace_;
    // The names are the ones the exports were made of: the folder as it is now.
    ListForOutput();
    const std::size_t before = entryFailures_;
    ws.SetFailureSink([this](const platform::FileError& error, const std::string& path) {
        ReportEntryFailure(error, path);
    });
    ws.DoIt();
    ws.SetFailureSink({});
    // Abort is the answer when the journal cannot be written and nobody is
    // there to say to go on without it: entries were left undone.
    const bool aborted = ws.CommitState() == 3;
    return entryFailures_ == before && !aborted ? 0 : 1;
}

int Application::UndoFromCommandLine() {
    Workspace& ws = *workspace_;
    if (undoneAtStart_ > 0) {
        return entryFailures_ == 0 ? 0 : 1;
    }
    if (ws.UndoLevel() == 0) {
        errors_ << text::Tr("There is nothing to undo.") << "\n";
        errors_.flush();
        return 1;
    }
    const std::size_t before = entryFailures_;
    ws.SetFailureSink([this](const platform::FileError& error, const std::string& path) {
        ReportEntryFailure(error, path);
    });
    ws.Undo();
    ws.SetFailureSink({});
    return entryFailures_ == before ? 0 : 1;
}

}  // namespace kestrel::app
