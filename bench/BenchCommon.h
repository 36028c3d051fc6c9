#pragma once

#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace tavrel::bench {

// Removes the composers kept for the save benchmark; before the application object goes.
void ReleaseComposers();

// On a shared machine the least of the repetitions is the best guess at the real cost.
inline void WithMinimum(benchmark::internal::Benchmark* b) {
    b->ComputeStatistics(
        "min", [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); });
}

// The message counts of the scans: cost must grow linearly across them.
inline void MessageCounts(benchmark::internal::Benchmark* b) {
    b->Arg(100)->Arg(1000)->Arg(10000);
    b->Unit(benchmark::kMillisecond);
    WithMinimum(b);
}

inline void SingleFile(benchmark::internal::Benchmark* b) {
    b->Unit(benchmark::kMicrosecond);
    WithMinimum(b);
}

// Time per message file, as a counter beside the total.
inline void CountPerFile(benchmark::State& state, int files) {
    state.counters["per_file"] = benchmark::Counter(
        files, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

} // namespace tavrel::bench
