// How fast the in-process watch takes and answers report traffic: the cost the simulator adds
// to every test above the transport.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "VirtualWatch.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The output reports of one request block, report number first.
std::vector<Bytes> Frame(const Bytes& block, std::size_t reportLength) {
    const std::size_t room = reportLength - 3;
    const std::size_t count = (block.size() + room - 1) / room;
    std::vector<Bytes> reports;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t chunk = std::min(room, block.size() - i * room);
        Bytes report(reportLength, 0);
        report[1] = static_cast<std::uint8_t>((count == 1       ? 0xC0
                                               : i == 0         ? 0x80
                                               : i + 1 == count ? 0x40
                                                                : 0) |
                                              (chunk >> 8));
        report[2] = static_cast<std::uint8_t>(chunk & 0xFF);
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(i * room), chunk,
                    report.begin() + 3);
        reports.push_back(std::move(report));
    }
    return reports;
}

Bytes Request(std::uint8_t code, const Bytes& payload) {
    Bytes block{code};
    for (int shift = 0; shift < 32; shift += 8) {
        block.push_back(static_cast<std::uint8_t>((payload.size() >> shift) & 0xFF));
    }
    block.insert(block.end(), payload.begin(), payload.end());
    return block;
}

void Deliver(watchsim::VirtualWatch& watch, const std::vector<Bytes>& reports) {
    for (const Bytes& report : reports) {
        watch.WriteReport(report);
    }
    Bytes reply;
    while (watch.ReadReport(reply) == watchsim::ReadOutcome::Report) {
        benchmark::DoNotOptimize(reply.data());
    }
}

// A 512 KiB flash write (one request of about 8,500 reports) and its reply.
void BM_FlashWrite512KiB(benchmark::State& state) {
    watchsim::VirtualWatch watch;
    watch.Open();
    Bytes payload{0x00, 0x00, 0x08, 0x00, 0x00, 0x00, 0x08, 0x00};  // address 0x80000, 512 KiB
    payload.resize(8 + 512 * 1024, 0xA5);
    const auto reports = Frame(Request(0x41, payload), watch.OutputReportLength());
    for (auto _ : state) {
        Deliver(watch, reports);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(reports.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(payload.size()));
}
BENCHMARK(BM_FlashWrite512KiB)->Unit(benchmark::kMillisecond);

// One handshake: a single report each way.
void BM_Handshake(benchmark::State& state) {
    watchsim::VirtualWatch watch;
    watch.Open();
    const auto reports = Frame(Request(0x00, {}), watch.OutputReportLength());
    for (auto _ : state) {
        Deliver(watch, reports);
    }
}
BENCHMARK(BM_Handshake);

}  // namespace

BENCHMARK_MAIN();
