// A full update (512 KiB flash section written in 4 KiB requests, a 256 KiB 0x1600 block)
// against a virtual watch that paces every report on a 1 ms grid, as a full-speed USB link
// does. The bound is the link's: one report per millisecond, counting every report both ways.
// Goal: the update takes at most 1.02 times the bound.

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>

#include "UpdateWorkerHarness.h"

namespace {

void BM_FullUpdatePaced(benchmark::State& state) {
    const auto image = updatebench::MakeImage(512 * 1024, 4096, 256 * 1024);
    double seconds = 0;
    double boundSeconds = 0;
    updatebench::Traffic traffic;
    for (auto _ : state) {
        watchsim::WatchConfig config = updatebench::BenchWatchConfig();
        config.reportLatency = std::chrono::milliseconds(1);
        watchsim::VirtualWatch watch(config, std::make_shared<updatebench::GridPacedClock>());
        const auto start = std::chrono::steady_clock::now();
        if (!updatebench::RunUpdate(watch, image, &traffic)) {
            state.SkipWithError("the update failed");
            return;
        }
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(elapsed.count());
        seconds += elapsed.count();
        boundSeconds += static_cast<double>(traffic.Total()) * 1e-3;
    }
    state.counters["reports_to_watch"] = static_cast<double>(traffic.toWatch);
    state.counters["reports_from_watch"] = static_cast<double>(traffic.fromWatch);
    state.counters["bound_s"] = static_cast<double>(traffic.Total()) * 1e-3;
    state.counters["ratio_to_bound"] = boundSeconds > 0 ? seconds / boundSeconds : 0;
}
BENCHMARK(BM_FullUpdatePaced)
    ->UseManualTime()
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->Repetitions(3);

// The same update with no pacing: what our side costs per report on its own.
void BM_FullUpdateUnpaced(benchmark::State& state) {
    const auto image = updatebench::MakeImage(512 * 1024, 4096, 256 * 1024);
    updatebench::Traffic traffic;
    for (auto _ : state) {
        watchsim::VirtualWatch watch(updatebench::BenchWatchConfig());
        if (!updatebench::RunUpdate(watch, image, &traffic)) {
            state.SkipWithError("the update failed");
            return;
        }
    }
    state.counters["reports"] = benchmark::Counter(
        static_cast<double>(traffic.Total()) * static_cast<double>(state.iterations()),
        benchmark::Counter::kIsRate);
}
BENCHMARK(BM_FullUpdateUnpaced)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
