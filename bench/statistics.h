#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

namespace kestrel::bench {

/// With --benchmark_repetitions, each benchmark reports the fastest and the
/// slowest repetition beside the library's mean and median.
inline void MinAndMax(benchmark::internal::Benchmark* benchmark) {
    benchmark
        ->ComputeStatistics(
            "min",
            [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); })
        ->ComputeStatistics("max", [](const std::vector<double>& v) {
            return *std::max_element(v.begin(), v.end());
        });
}

}  // namespace kestrel::bench
