#pragma once

// Figures given as ratios to memcpy of the same number of bytes, timed in the same run, so
// that they compare across machines.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <vector>

using BenchClock = std::chrono::steady_clock;

inline double seconds(BenchClock::duration d) {
    return std::chrono::duration<double>(d).count();
}

// Seconds one memcpy of `bytes` takes, the best of several.
inline double memcpySeconds(size_t bytes) {
    std::vector<char> from(bytes, 1), to(bytes, 0);
    double best = 1e9;
    for (int i = 0; i < 20; ++i) {
        const auto start = BenchClock::now();
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
        best = std::min(best, seconds(BenchClock::now() - start));
    }
    return best;
}

// Runs `work` as the benchmark's body, timing it, and reports its mean time per run as a
// ratio to memcpy of `bytes` (above 1: slower than memcpy).
template <class Work>
void timed(benchmark::State& state, size_t bytes, Work work) {
    double total = 0;
    for (auto _ : state) {
        const auto start = BenchClock::now();
        work();
        total += seconds(BenchClock::now() - start);
    }
    const double copy = memcpySeconds(bytes);
    const double mean = total / double(state.iterations());
    state.counters["memcpy_ms"] = copy * 1e3;
    state.counters["x_memcpy"] = mean / copy;
}

// Seconds one memcpy of `bytes` takes on average over `runs` copies in a row, as a copy
// that is repeated (a repaint) takes it.
inline double meanMemcpySeconds(size_t bytes, int runs) {
    std::vector<char> from(bytes, 1), to(bytes, 0);
    const auto start = BenchClock::now();
    for (int i = 0; i < runs; ++i) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    return seconds(BenchClock::now() - start) / runs;
}
