// Peak memory of a full update of a 64 MiB image (64 KiB flash write requests) in a child
// process: the resident high-water mark (VmHWM) once the virtual watch with its 64 MiB of
// flash exists (the baseline) and after the update (the peak). The watch is not part of the
// tool, so the goal applies to the growth over the baseline: at most twice the image plus
// 16 MiB.

#include <benchmark/benchmark.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>

#include "Linux_UniqueFd.h"
#include "UpdateWorkerHarness.h"

namespace {

constexpr std::size_t kFlash = 64 * 1024 * 1024 - 512 * 1024;
constexpr std::size_t kBlock = 256 * 1024;

std::size_t HighWaterKiB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stoul(line.substr(6));
        }
    }
    return 0;
}

struct Figures {
    std::size_t imageBytes = 0;
    std::size_t baselineKiB = 0;
    std::size_t peakKiB = 0;
    int ok = 0;
};

// Runs in the child: nothing but the watch and the update in this address space.
Figures MeasureInChild() {
    Figures figures;
    watchsim::WatchConfig config = updatebench::BenchWatchConfig();
    config.flashSize = 64 * 1024 * 1024;
    watchsim::VirtualWatch watch(config);
    figures.baselineKiB = HighWaterKiB();
    {
        const auto image = updatebench::MakeImage(kFlash, 64 * 1024, kBlock);
        figures.imageBytes = image.size();
        // The image file's bytes stand in memory once here, as the tool holds them once
        // after reading the file.
        figures.ok = updatebench::RunUpdate(watch, image) ? 1 : 0;
    }
    figures.peakKiB = HighWaterKiB();
    return figures;
}

void BM_UpdatePeakMemory(benchmark::State& state) {
    Figures figures;
    for (auto _ : state) {
        int fds[2];
        if (::pipe(fds) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        common::Linux_UniqueFd readEnd(fds[0]);
        common::Linux_UniqueFd writeEnd(fds[1]);
        const pid_t child = ::fork();
        if (child == 0) {
            readEnd.Reset();
            const Figures measured = MeasureInChild();
            const auto written = ::write(writeEnd.Get(), &measured, sizeof measured);
            ::_exit(written == static_cast<ssize_t>(sizeof measured) ? 0 : 1);
        }
        writeEnd.Reset();  // the read below ends when the child has gone
        const auto got = ::read(readEnd.Get(), &figures, sizeof figures);
        readEnd.Reset();
        int status = 0;
        ::waitpid(child, &status, 0);
        if (got != static_cast<ssize_t>(sizeof figures) || figures.ok != 1) {
            state.SkipWithError("the update in the child failed");
            return;
        }
    }
    const double mib = 1024.0;
    const double imageMiB = static_cast<double>(figures.imageBytes) / (1024.0 * 1024.0);
    state.counters["image_MiB"] = imageMiB;
    state.counters["baseline_MiB"] = static_cast<double>(figures.baselineKiB) / mib;
    state.counters["peak_MiB"] = static_cast<double>(figures.peakKiB) / mib;
    state.counters["growth_MiB"] = static_cast<double>(figures.peakKiB - figures.baselineKiB) / mib;
    state.counters["bound_MiB"] = 2 * imageMiB + 16;
}
BENCHMARK(BM_UpdatePeakMemory)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
