// The orders of the source list at its largest: 32,767 names sorted with
// numbers by value beside today's order of the same names, and a listing by
// modification date beside the floor of reading the folder and stating each
// entry (Floor/ReadDirStat, in the refresh benchmarks of this run).
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/stat.h>
#include "statistics.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "engine/rename_options.h"
#include "lists/list_order.h"
#include "lists/source_listing.h"
#include "platform/posix_file_system.h"

namespace {

using kestrel::lists::ListEntry;

constexpr int kRows = 32767;

// Names as cameras, scanners and people write them, in the scattered order a
// folder read returns them.
std::vector<ListEntry> ReadRows() {
    const char* stems[] = {"IMG_",       "DSC0",          "holiday photo - beach - ",
                           "Track ",     "Scan 2019-05-", "Ünïcödé Über ",
                           "Report v1.", "clip"};
    const char* extensions[] = {".jpg", ".JPG", ".mp3", ".txt", ".pdf", ".mov"};
    std::vector<ListEntry> rows(kRows);
    for (int i = 0; i < kRows; ++i) {
        rows[i].text = stems[i % 8] + std::to_string(i * 7 % 10007) + extensions[(i / 8) % 6];
    }
    std::shuffle(rows.begin(), rows.end(), std::mt19937(29));
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].readOrder = static_cast<std::uint32_t>(i);
    }
    return rows;
}

void SortNames(benchmark::State& state, int order) {
    const std::vector<ListEntry> read = ReadRows();
    for (auto _ : state) {
        state.PauseTiming();
        std::vector<ListEntry> rows = read;
        state.ResumeTiming();
        kestrel::lists::SortRows(rows, order, false);
        benchmark::DoNotOptimize(rows.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(SortNames, byName, kestrel::engine::kSortByName)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Sort/ByName")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(SortNames, natural, kestrel::engine::kSortNatural)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Sort/NumbersByValue")
    ->Unit(benchmark::kMillisecond);

class Unobserved : public kestrel::lists::ListingObserver {
  public:
    void EntryStarted(int) override {}
    bool ContinueAfter(int) override { return true; }
};

// Files with dates as scattered as a card of photos copied in any order.
class DatedFiles {
  public:
    DatedFiles() {
        std::mt19937 random(7);
        for (int i = 0; i < kRows; ++i) {
            const std::string path = folder_.Root() + "/IMG_" + std::to_string(i) + ".jpg";
            const timespec when = {static_cast<time_t>(1'000'000'000 + random() % 100'000'000), 0};
            const timespec times[2] = {when, when};
            ::utimensat(AT_FDCWD, path.c_str(), times, 0);
        }
    }
    const std::string& Root() const { return folder_.Root(); }

  private:
    kestrel::bench::FileFolder folder_{kRows};
};

const DatedFiles& DatedFolder() {
    static const DatedFiles folder;
    return folder;
}

// The listing alone, as a change of folder runs it, in the order asked.
void ListFolder(benchmark::State& state, int order) {
    kestrel::platform::PosixFileSystem fileSystem;
    fileSystem.Drives().Map('T', DatedFolder().Root());
    kestrel::engine::RenameOptions options;
    options.cboFilter = kestrel::engine::kViewAndSelectAll;
    options.cboSort = order;
    Unobserved observer;
    std::size_t rows = 0;
    for (auto _ : state) {
        const kestrel::lists::SourceListing listing =
            kestrel::lists::ReadSourceList(fileSystem, options, "T:\\", observer);
        rows = listing.rows.size();
        benchmark::DoNotOptimize(listing.rows.data());
    }
    if (rows != static_cast<std::size_t>(kRows)) {
        state.SkipWithError("the folder did not list every file");
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK_CAPTURE(ListFolder, byName, kestrel::engine::kSortByName)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Listing/ByName")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(ListFolder, byModified, kestrel::engine::kSortByModified)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Listing/ByModifiedDate")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
