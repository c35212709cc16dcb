// "Do It" and "Undo" on a full list: 32,767 files in one folder, every name
// changed, and a commit that shifts every name by one. Each is measured beside the floor it cannot
// beat, a bare loop of no-replace renames over the same files. The journaled commit keeps its
// journal under $TMPDIR, on the same disk as the files.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <unistd.h>
#include "statistics.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/headless_ui.h"
#include "app/workspace.h"
#include "engine/rename_options.h"
#include "lists/list_entry.h"
#include "platform/clock.h"
#include "platform/posix_file_system.h"

namespace {

using kestrel::app::Workspace;

constexpr int kFiles = kestrel::lists::kMaxListRows;
constexpr char kLetter = 'T';

std::string FileName(int i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%05d.dat", i);
    return name;
}

// A fresh host folder holding kFiles empty files, removed again at the end.
class FileFolder {
  public:
    FileFolder() {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern =
            std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/kestrel-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) != nullptr) {
            root_ = pattern;
        }
        for (int i = 0; i < kFiles && !root_.empty(); ++i) {
            const int fd = ::open((root_ + "/" + FileName(i)).c_str(),
                                  O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0644);
            if (fd >= 0) {
                ::close(fd);
            }
        }
    }
    FileFolder(const FileFolder&) = delete;
    FileFolder& operator=(const FileFolder&) = delete;
    ~FileFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    bool Valid() const { return !root_.empty(); }
    const std::string& Root() const { return root_; }

  private:
    std::string root_;
};

// How the names change: an autonumber appended to each name, or each file
// taking the name of the next (f00000.dat becomes f00001.dat, and so on), so
// that every rename waits for the one after it.
enum class Renaming { AppendNumber, ShiftByOne };

// A Workspace over the folder with a window that never asks anyone, listing
// every file selected.
class CommitBench {
  public:
    CommitBench(const FileFolder& folder, bool refreshAfter, bool journal,
                Renaming renaming = Renaming::AppendNumber)
        : ui_(input_, output_, false), workspace_(fileSystem_, ui_, clock_, [] { return 0.5; }) {
        fileSystem_.Drives().Map(kLetter, folder.Root());
        if (journal) {
            workspace_.AttachJournal({folder.Root() + ".state", &fileSystem_.Drives()});
        }
        workspace_.txtSourceDir = std::string{kLetter, ':', '\\'};
        workspace_.txtDestDir = workspace_.txtSourceDir;
        kestrel::engine::RenameOptions& o = workspace_.options;
        o.cboCaseHandling = 0;
        o.cboCaseRules = kestrel::engine::kCaseRulesOff;
        o.cboFilter = kestrel::engine::kViewAndSelectAll;
        if (renaming == Renaming::ShiftByOne) {
            o.chkReplaceWholeName = 1;
            o.chkInsertStart = 1;
            o.txtInsertStart = "f?";
            o.cboAutonumber = "5";
        } else {
            o.chkInsertEnd = 1;
            o.txtInsertEnd = " ?";
            o.cboAutonumber = "Auto";
        }
        workspace_.preferences.autoResetOptions = 0;
        workspace_.preferences.hideLists = 0;
        // Without automatic refresh the closing refresh does not read the
        // folder again, leaving the commit's own work to be measured.
        workspace_.preferences.autoRefresh = refreshAfter ? 1 : 0;
        workspace_.updateFlag = true;
        workspace_.RefreshSourceList();
        workspace_.updateFlag = false;
    }

    Workspace& Get() { return workspace_; }

  private:
    std::istringstream input_;
    std::ostringstream output_;
    kestrel::platform::PosixFileSystem fileSystem_;
    kestrel::app::HeadlessUi ui_;
    kestrel::platform::SystemClock clock_;
    Workspace workspace_;
};

void ReportRows(benchmark::State& state) {
    state.SetItemsProcessed(state.iterations() * kFiles);
}

// Folder and Workspace of the running iteration: made and dropped while the
// timer is paused, so that neither the set-up nor the clean-up is measured.
struct Round {
    std::unique_ptr<CommitBench> bench;
    std::unique_ptr<FileFolder> folder;

    Workspace& Start(bool refreshAfter, bool journal = false,
                     Renaming renaming = Renaming::AppendNumber) {
        bench.reset();
        if (folder) {
            std::error_code ignored;
            std::filesystem::remove_all(folder->Root() + ".state", ignored);
        }
        folder = std::make_unique<FileFolder>();
        bench = std::make_unique<CommitBench>(*folder, refreshAfter, journal, renaming);
        return bench->Get();
    }
    ~Round() {
        if (folder) {
            std::error_code ignored;
            std::filesystem::remove_all(folder->Root() + ".state", ignored);
        }
    }
};

void Commit_RenameInPlace(benchmark::State& state) {
    const bool refreshAfter = state.range(0) != 0;
    const bool journal = state.range(1) != 0;
    Round round;
    for (auto _ : state) {
        state.PauseTiming();
        if (round.bench &&
            round.bench->Get().UndoHistory().Newest().size() != static_cast<std::size_t>(kFiles)) {
            state.SkipWithError("not every file was renamed");
        }
        Workspace& workspace = round.Start(refreshAfter, journal);
        state.ResumeTiming();
        workspace.DoIt();
    }
    ReportRows(state);
}
BENCHMARK(Commit_RenameInPlace)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Commit/RenameInPlace")
    ->ArgNames({"refresh", "journal"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

// The same files shifted by one: the commit plans the order of its steps,
// last file first, and that plan must cost next to nothing beside the renames.
void Commit_ShiftByOne(benchmark::State& state) {
    const bool refreshAfter = state.range(0) != 0;
    const bool journal = state.range(1) != 0;
    Round round;
    for (auto _ : state) {
        state.PauseTiming();
        if (round.bench && !std::filesystem::exists(round.folder->Root() + "/f32767.dat")) {
            state.SkipWithError("the last file was not shifted");
        }
        Workspace& workspace = round.Start(refreshAfter, journal, Renaming::ShiftByOne);
        if (workspace.ErrorCount() != 0) {
            state.SkipWithError("the preview flags a shifted name");
        }
        state.ResumeTiming();
        workspace.DoIt();
    }
    if (!std::filesystem::exists(round.folder->Root() + "/f32767.dat")) {
        state.SkipWithError("the last file was not shifted");
    }
    ReportRows(state);
}
BENCHMARK(Commit_ShiftByOne)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Commit/ShiftByOne")
    ->ArgNames({"refresh", "journal"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void Undo_RenameBack(benchmark::State& state) {
    const bool refreshAfter = state.range(0) != 0;
    const bool journal = state.range(1) != 0;
    Round round;
    for (auto _ : state) {
        state.PauseTiming();
        Workspace& workspace = round.Start(refreshAfter, journal);
        workspace.DoIt();
        state.ResumeTiming();
        workspace.Undo();
    }
    if (!std::filesystem::exists(round.folder->Root() + "/" + FileName(kFiles - 1))) {
        state.SkipWithError("the undo did not bring the files back");
    }
    ReportRows(state);
}
BENCHMARK(Undo_RenameBack)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Undo/RenameBack")
    ->ArgNames({"refresh", "journal"})
    ->Args({1, 0})
    ->Args({0, 0})
    ->Args({0, 1})
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

void Floor_RenameLoop(benchmark::State& state) {
    std::unique_ptr<FileFolder> folder;
    std::vector<std::string> from;
    std::vector<std::string> to;
    for (auto _ : state) {
        state.PauseTiming();
        folder.reset();
        folder = std::make_unique<FileFolder>();
        from.clear();
        to.clear();
        for (int i = 0; i < kFiles; ++i) {
            from.push_back(folder->Root() + "/" + FileName(i));
            to.push_back(folder->Root() + "/" + FileName(i) + " " + std::to_string(i + 1));
        }
        state.ResumeTiming();
        for (std::size_t i = 0; i < from.size(); ++i) {
            if (::renameat2(AT_FDCWD, from[i].c_str(), AT_FDCWD, to[i].c_str(), RENAME_NOREPLACE) !=
                0) {
                state.SkipWithError("rename failed");
                break;
            }
        }
    }
    ReportRows(state);
}
BENCHMARK(Floor_RenameLoop)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Floor/RenameLoop")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace
