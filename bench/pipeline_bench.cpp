// Names through the pipeline: the preview recomputes up to 32,767 of them
// after every keystroke in an option field.
#include <benchmark/benchmark.h>

#include <unicode/regex.h>
#include <unicode/unistr.h>
#include "statistics.h"

#include <memory>
#include <string>
#include <vector>

#include "engine/name_pipeline.h"

namespace {

using kestrel::engine::NameContext;
using kestrel::engine::NamePipeline;
using kestrel::engine::NameResult;
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
        // As the preview makes them: into one result, reused from name to name.
        NameResult result;
        for (int i = 0; i < kRows; ++i) {
            const NameContext context{"C:\\Work\\Photos\\x", kRows, i};
            pipeline.Process(names[static_cast<std::size_t>(i)], context, result);
            benchmark::DoNotOptimize(result.name.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void Pipeline_FactoryOptions(benchmark::State& state) {
    RunPipeline(state, RenameOptions{}, {});
}
BENCHMARK(Pipeline_FactoryOptions)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Pipeline/FactoryOptions")
    ->Unit(benchmark::kMillisecond);

void Pipeline_HeavyOptions(benchmark::State& state) {
    RunPipeline(state, HeavyOptions(), FiftyRules());
}
BENCHMARK(Pipeline_HeavyOptions)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Pipeline/HeavyOptions")
    ->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

constexpr const char* kDatePattern = R"((\d{4})-(\d\d)-(\d\d))";
constexpr const char* kDateReplacement = "$3.$2.$1";

std::vector<std::string> DatedNames() {
    const char* stems[] = {"IMG ", "Holiday ", "Scan ", "Report "};
    const char* extensions[] = {".jpg", ".png", ".pdf", ".docx"};
    std::vector<std::string> names;
    names.reserve(kRows);
    for (int i = 0; i < kRows; ++i) {
        const std::string month = std::to_string(101 + i % 12).substr(1);
        const std::string day = std::to_string(101 + i % 28).substr(1);
        names.push_back(stems[i % 4] + std::to_string(1990 + i % 35) + "-" + month + "-" + day +
                        " " + std::to_string(i) + extensions[(i / 4) % 4]);
    }
    return names;
}

// Only the search, so that the figure is the regular expression's.
RenameOptions RegexOptions(const char* pattern, const char* replacement) {
    RenameOptions o;
    o.chkUnderscore = o.chkPercent20 = o.chkForceSingleSpaces = 0;
    o.cboCaseHandling = 0;
    o.cboCaseRules = 0;
    o.chkSearchReplace = o.chkRegex = 1;
    o.txtSearch = pattern;
    o.txtReplace = replacement;
    return o;
}

void RunNames(benchmark::State& state, const RenameOptions& options,
              const std::vector<std::string>& names) {
    for (auto _ : state) {
        const NamePipeline pipeline(options, {}, [] { return 0.5; });
        // As the preview makes them: into one result, reused from name to name.
        NameResult result;
        for (int i = 0; i < kRows; ++i) {
            const NameContext context{"C:\\Work\\Photos\\x", kRows, i};
            pipeline.Process(names[static_cast<std::size_t>(i)], context, result);
            benchmark::DoNotOptimize(result.name.data());
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void Pipeline_RegexReplace(benchmark::State& state) {
    RunNames(state, RegexOptions(kDatePattern, kDateReplacement), DatedNames());
}
BENCHMARK(Pipeline_RegexReplace)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Pipeline/RegexReplace")
    ->Unit(benchmark::kMillisecond);

// The floor: ICU's own replaceAll on the same names, already in UTF-16, with
// nothing else of the pipeline around it.
void Floor_IcuReplaceAll(benchmark::State& state) {
    std::vector<icu::UnicodeString> names;
    for (const std::string& name : DatedNames()) {
        names.push_back(icu::UnicodeString::fromUTF8(name));
    }
    UErrorCode status = U_ZERO_ERROR;
    UParseError where{};
    const std::unique_ptr<icu::RegexPattern> pattern(icu::RegexPattern::compile(
        icu::UnicodeString::fromUTF8(kDatePattern), UREGEX_CASE_INSENSITIVE, where, status));
    const std::unique_ptr<icu::RegexMatcher> matcher(pattern->matcher(status));
    const icu::UnicodeString replacement = icu::UnicodeString::fromUTF8(kDateReplacement);
    for (auto _ : state) {
        for (const icu::UnicodeString& name : names) {
            matcher->reset(name);
            benchmark::DoNotOptimize(matcher->replaceAll(replacement, status));
        }
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(Floor_IcuReplaceAll)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Floor/IcuReplaceAll")
    ->Unit(benchmark::kMillisecond);

// The worst a pattern can do: exponential backtracking on every name of a full
// list. Each name runs out of steps until the pass stops trying the pattern.
void Pipeline_RegexBacktracking(benchmark::State& state) {
    const std::vector<std::string> names(kRows, std::string(40, 'a') + "b.txt");
    RunNames(state, RegexOptions("(a+)+$", "x"), names);
}
BENCHMARK(Pipeline_RegexBacktracking)
    ->Apply(kestrel::bench::MinAndMax)
    ->Name("Pipeline/RegexBacktracking")
    ->Unit(benchmark::kMillisecond);

}  // namespace
