// Reading <taken> for 10,000 small JPEGs, beside what a user would run
// instead over the same files in one process (exiv2's and ExifTool's command
// lines, Debian packages exiv2 and libimage-exiftool-perl), and a preview of
// those files once their values are kept, beside the same preview without a
// tag. Every figure is taken with a warm page cache; the reading starts from
// an empty cache of values each time.
#include <benchmark/benchmark.h>

#include "statistics.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench_support.h"
#include "lists/tag_cache.h"
#include "platform/library_tag_reader.h"

namespace {

constexpr int kPhotos = 10000;
constexpr std::string_view kSampleDate = "2001:02:03 04:05:06";

std::string Name(int i) {
    return "IMG_" + std::to_string(10000 + i) + ".jpg";
}

// 10,000 photos made from the sample photo (whose EXIF ExifTool wrote), each
// with its own date taken, written in place of the sample's.
class Photos {
  public:
    Photos() : folder_(0) {
        std::ifstream in(std::string(KESTREL_TAG_SAMPLES) + "/photo.jpg", std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        const std::size_t date = bytes.find(kSampleDate);
        if (date == std::string::npos || folder_.Root().empty()) {
            return;
        }
        for (int i = 0; i < kPhotos; ++i) {
            std::string stamped = bytes;
            const std::string day = std::to_string(101 + i % 28).substr(1);
            const std::string minute = std::to_string(100 + i % 60).substr(1);
            stamped.replace(date, kSampleDate.size(),
                            std::to_string(1990 + i % 30) + ":02:" + day + " 04:" + minute + ":06");
            std::ofstream(folder_.Root() + "/" + Name(i), std::ios::binary) << stamped;
        }
        ready_ = true;
    }
    bool Ready() const { return ready_; }
    const std::string& Root() const { return folder_.Root(); }

  private:
    kestrel::bench::FileFolder folder_;
    bool ready_ = false;
};

const Photos& Folder() {
    static const Photos photos;
    return photos;
}

class Quiet : public kestrel::lists::TagReadObserver {
  public:
    void Started(int) override {}
    void Progress(int) override {}
    bool ContinueAfter(int) override { return true; }
    int QuestionStep() const override { return kPhotos; }
};

class Files : public kestrel::lists::RowFiles {
  public:
    std::string PathOf(std::size_t row) const override {
        return "T:\\" + Name(static_cast<int>(row));
    }
    std::string HostPathOf(const std::string& path) const override {
        return Folder().Root() + "/" + path.substr(3);
    }
};

void Tags_ReadTaken(benchmark::State& state) {
    if (!Folder().Ready()) {
        state.SkipWithError("the sample photo was not found");
        return;
    }
    std::vector<std::size_t> rows(kPhotos);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i] = i;
    }
    const kestrel::platform::LibraryTagReader reader;
    const Files files;
    Quiet quiet;
    for (auto _ : state) {
        kestrel::lists::TagCache cache;
        cache.NewListing(kPhotos);
        cache.Fill(reader, rows, files, kestrel::platform::kTakenTag, quiet);
        if (cache.Find(kPhotos - 1, kestrel::platform::kTakenTag)->entries[0].value.empty()) {
            state.SkipWithError("a photo's date was not read");
        }
    }
    state.SetItemsProcessed(state.iterations() * kPhotos);
}
BENCHMARK(Tags_ReadTaken)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Tags/ReadTaken")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// One process over every photo, its output thrown away.
void RunTool(benchmark::State& state, const char* tool, const std::string& command) {
    if (!Folder().Ready()) {
        state.SkipWithError("the sample photo was not found");
        return;
    }
    if (std::system((std::string("command -v ") + tool + " > /dev/null").c_str()) != 0) {
        state.SkipWithError((std::string(tool) + " is not installed").c_str());
        return;
    }
    const std::string line = "cd '" + Folder().Root() + "' && " + command + " > /dev/null";
    for (auto _ : state) {
        if (std::system(line.c_str()) != 0) {
            state.SkipWithError((std::string(tool) + " failed").c_str());
        }
    }
    state.SetItemsProcessed(state.iterations() * kPhotos);
}

void Floor_Exiv2(benchmark::State& state) {
    RunTool(state, "exiv2", "exiv2 -g Exif.Photo.DateTimeOriginal -Pv IMG_*.jpg");
}
BENCHMARK(Floor_Exiv2)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Floor/Exiv2CommandLine")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void Floor_ExifTool(benchmark::State& state) {
    RunTool(state, "exiftool", "exiftool -s3 -DateTimeOriginal IMG_*.jpg");
}
BENCHMARK(Floor_ExifTool)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Floor/ExifToolCommandLine")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);

// A keystroke's preview of the 10,000 photos, every check on: with a date
// tag whose values were read by an earlier preview, and with the same text
// typed out.
void Preview_Photos(benchmark::State& state, const char* insert) {
    if (!Folder().Ready()) {
        state.SkipWithError("the sample photo was not found");
        return;
    }
    kestrel::bench::SilentUi ui;
    kestrel::bench::FolderWorkspace place(Folder().Root(), ui);
    kestrel::app::Workspace& workspace = place.Get();
    workspace.options.chkInsertStart = 1;
    workspace.options.txtInsertStart = insert;
    place.List();
    for (auto _ : state) {
        workspace.RefreshTargetList();
        benchmark::DoNotOptimize(workspace.TargetFileList().data());
    }
    if (workspace.RenameCounter() != kPhotos || workspace.ErrorCount() != 0) {
        state.SkipWithError("the preview did not name every photo");
    }
    state.SetItemsProcessed(state.iterations() * kPhotos);
}
BENCHMARK_CAPTURE(Preview_Photos, tagged, "<taken> ")
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Preview/PhotosWithKeptDates")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Preview_Photos, typed, "2001-02-03 ")
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Preview/PhotosWithTheDateTyped")
    ->Unit(benchmark::kMillisecond);

}  // namespace
