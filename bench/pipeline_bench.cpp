// Names through the pipeline: the preview recomputes up to 32,767 of them
// after every keystroke in an option field.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/name_pipeline.h"

namespace {

using kestrel::engine::NameContext;
using kestrel::engine::NamePipeline;
using kestrel::engine::RenameOptions;

constexpr int kRows = 32767;

std::vector<std::string> SampleNames() {
    const char* stems[] = {"IMG_",          "holiday photo - beach - ",
                           "Track ",        "my_dvd%20rip ",
                           "Ünïcödé Über ", "Report FINAL "};
    const char* extensions[] = {".jpg", ".JPG", ".mp3", ".txt", ".tar.gz", ".docx"};
    std::vector<std::string> names;
    names.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        names.push_back(stems[i % 6] + std::to_string(i) + extensions[(i / 6) % 6]);
    }
    return names;
}

std::vector<std::string> FiftyRules() {
    std::vector<std::string> rules;
    const char* words[] = {"DVD", "CD", "McDonald", "NASA", "USA", "HD", "MP3", "TV", "UK", "PDF"};
    for (int i = 0; i < 50; ++i) {
        rules.push_back(std::string(words[i % 10]) + (i < 10 ? "" : std::to_string(i)));
    }
    return rules;
}

RenameOptions HeavyOptions() {
    RenameOptions o;
    o.chkSwapSep = 1;
    o.txtSwapArea = {"1", "3"};
    o.chkCrop = 1;
    o.txtEliminatePosition = "2";
    o.txtEliminateChars = "2";
    o.chkSearchReplace = 1;
    o.txtSearch = "photo";
    o.txtReplace = "picture";
    o.chkInsertStart = 1;
    o.txtInsertStart = "? ";
    o.chkInsertEnd = 1;
    o.txtInsertEnd = " *";
    o.cboAutonumber = "Auto";
    o.chkUNL = 1;
    o.txtUNL = "6";
    o.cboCaseHandling = 1;  // Initial Caps
    o.cboCaseRules = 3;     // name and extension
    o.chkForceSingleSpaces = 1;
    return o;
}

void RunPipeline(benchmark::State& state, const RenameOptions& options,
                 const std::vector<std::string>& rules) {
    const std::vector<std::string> names = SampleNames();
    for (auto _ : state) {
        const NamePipeline pipeline(options, rules, [] { return 0.5; });
        for (int i = 0; i < kRows; ++i) {
            const NameContext context{"C:\\Work\\Photos\\x", kRows, i};
            benchmark::DoNotOptimize(
                pipeline.Process(names[static_cast<std::size_t>(i)], context).name);
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void Pipeline_FactoryOptions(benchmark::State& state) {
    RunPipeline(state, RenameOptions{}, {});
}
BENCHMARK(Pipeline_FactoryOptions)->Name("Pipeline/FactoryOptions")->Unit(benchmark::kMillisecond);

void Pipeline_HeavyOptions(benchmark::State& state) {
    RunPipeline(state, HeavyOptions(), FiftyRules());
}
BENCHMARK(Pipeline_HeavyOptions)->Name("Pipeline/HeavyOptions")->Unit(benchmark::kMillisecond);

}  // namespace
