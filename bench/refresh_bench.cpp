// A full refresh of a folder of 32,767 files (listing, sorting, preview with
// every check), against the floor of merely reading the folder and stating
// each entry, in the same run. With the factory rules the listing needs no
// metadata call per entry; a read-only rule brings it back.
#include <benchmark/benchmark.h>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include "statistics.h"

#include <array>

#include "bench_support.h"

namespace {

using kestrel::bench::FileFolder;

constexpr int kFiles = 32767;

const FileFolder& Folder() {
    static const FileFolder folder(kFiles);
    return folder;
}

void Floor_ReadDirStat(benchmark::State& state) {
    const std::string& root = Folder().Root();
    for (auto _ : state) {
        DIR* dir = ::opendir(root.c_str());
        int count = 0;
        for (dirent* entry = ::readdir(dir); entry != nullptr; entry = ::readdir(dir)) {
            struct stat info {};
            count += ::fstatat(::dirfd(dir), entry->d_name, &info, 0) == 0 ? 1 : 0;
        }
        ::closedir(dir);
        benchmark::DoNotOptimize(count);
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(Floor_ReadDirStat)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Floor/ReadDirStat")
    ->Unit(benchmark::kMillisecond);

// The bare read of the folder's entries, without a call per entry: what
// any listing costs at least.
void Floor_ReadDir(benchmark::State& state) {
    const std::string& root = Folder().Root();
    std::array<char, 64 * 1024> buffer{};
    for (auto _ : state) {
        const int fd = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        long total = 0;
        for (long got = 0;
             (got = ::syscall(SYS_getdents64, fd, buffer.data(), buffer.size())) > 0;) {
            total += got;
        }
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(Floor_ReadDir)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Floor/ReadDir")
    ->Unit(benchmark::kMillisecond);

// `readOnlyRule` sets the one attribute rule that needs each entry's metadata.
void Refresh_ListAndPreview(benchmark::State& state, bool readOnlyRule) {
    kestrel::bench::SilentUi ui;
    kestrel::bench::FolderWorkspace place(Folder().Root(), ui);
    kestrel::app::Workspace& workspace = place.Get();
    workspace.options.chkInsertEnd = 1;
    workspace.options.txtInsertEnd = " ?";
    workspace.options.cboAutonumber = "Auto";
    if (readOnlyRule) {
        workspace.options.chkRbit = kestrel::engine::kAttributeFilter;
    }
    for (auto _ : state) {
        place.List();
        benchmark::DoNotOptimize(workspace.TargetFileList().data());
    }
    if (workspace.RenameCounter() != kFiles) {
        state.SkipWithError("the option set did not change every name");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK_CAPTURE(Refresh_ListAndPreview, factory, false)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Refresh/ListAndPreview")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Refresh_ListAndPreview, readOnly, true)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Refresh/ListAndPreviewWithReadOnlyRule")
    ->Unit(benchmark::kMillisecond);

// What one keystroke in an option field costs at 32,767 rows: the preview
// alone, with every check, on a list read once. The existing-target check
// trusts the names the listing read while nothing in the folder changes.
void Preview_RecomputeAfterOptionChange(benchmark::State& state) {
    kestrel::bench::SilentUi ui;
    kestrel::bench::FolderWorkspace place(Folder().Root(), ui);
    kestrel::app::Workspace& workspace = place.Get();
    workspace.options.chkInsertStart = 1;
    place.List();
    bool odd = false;
    for (auto _ : state) {
        odd = !odd;
        workspace.options.txtInsertStart = odd ? "x" : "y";
        workspace.RefreshTargetList();
        benchmark::DoNotOptimize(workspace.TargetFileList().data());
    }
    if (workspace.RenameCounter() != kFiles) {
        state.SkipWithError("the option set did not change every name");
    }
    state.SetItemsProcessed(state.iterations() * kFiles);
}
BENCHMARK(Preview_RecomputeAfterOptionChange)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Preview/RecomputeAfterOptionChange")
    ->Unit(benchmark::kMillisecond);

}  // namespace
