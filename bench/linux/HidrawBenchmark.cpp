// Report traffic through the kernel: a virtual watch served as a hidraw node by a FUSE mount,
// driven by the hidraw backend as the tool drives a real watch.
//
//   BM_ReportRoundTrip       one request report out, one reply report back (the handshake);
//                            the cost of the kernel round trip, informational
//   BM_FlashWrite512KiB      one 512 KiB flash write while the watch takes 1 ms per report;
//                            `ratio` is the time taken over (reports moved x 1 ms)
//     /frame_grid            reports complete on a 1 ms grid, as on a full-speed USB link:
//                            the host keeps up when the ratio stays at or below 1.02
//     /relative_sleep        the simulator's own pacing, a 1 ms sleep per report; the
//                            sleep's overshoot adds to every report (informational)
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "HidrawMount.h"
#include "Linux_USB_DeviceIdentifier.h"
#include "Linux_USB_HID_DeviceReaderWriter.h"
#include "ORNA_Communication.h"

namespace {

using namespace ArmillonDevice;
using Bytes = std::vector<std::uint8_t>;
using Clock = std::chrono::steady_clock;

std::unique_ptr<testing::HidrawMount> Mount(benchmark::State& state, watchsim::WatchConfig config,
                                            std::shared_ptr<watchsim::Clock> clock = nullptr) {
    std::string whyNot;
    auto mount = testing::HidrawMount::Create({config}, whyNot, std::move(clock));
    if (!mount) {
        state.SkipWithError(whyNot.c_str());
    }
    return mount;
}

std::unique_ptr<DeviceIdentifier> NodeOf(const testing::HidrawMount& mount) {
    return std::make_unique<Linux_USB_DeviceIdentifier>(mount.NodePath(0).c_str(), 0x3A7C, 0x0A51);
}

void BM_ReportRoundTrip(benchmark::State& state) {
    const auto mount = Mount(state, {});
    if (!mount) {
        return;
    }
    const auto node = NodeOf(*mount);
    Linux_USB_HID_DeviceReaderWriter transport;
    if (transport.Open(node.get()).IsError()) {
        state.SkipWithError("cannot open the node");
        return;
    }
    const Bytes handshake{0x00, 0x00, 0x00, 0x00, 0x00};  // command 0x00, no payload
    Bytes reply(13);                                      // code, length, four words
    for (auto _ : state) {
        if (transport.Write(handshake).IsError() || transport.Read(reply, nullptr).IsError()) {
            state.SkipWithError("transfer failed");
            break;
        }
    }
    state.counters["reports/s"] = benchmark::Counter(2.0 * static_cast<double>(state.iterations()),
                                                     benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReportRoundTrip)->UseRealTime();

constexpr auto kPerReport = std::chrono::milliseconds(1);

// Real time, with every pause ending on the next point of a fixed grid of the pause's length
// (a report handed over in one frame completes at the start of the next); a late caller does
// not push the grid on.
class FrameGridClock final : public watchsim::Clock {
  public:
    Duration Now() const override { return std::chrono::steady_clock::now() - start_; }
    void SleepFor(Duration duration) override {
        if (duration <= Duration::zero()) {
            return;
        }
        const auto frames = Now() / duration + 1;
        std::this_thread::sleep_until(start_ + frames * duration);
    }

  private:
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

enum class Pacing { FrameGrid, RelativeSleep };

void BM_FlashWrite512KiB(benchmark::State& state, Pacing pacing) {
    watchsim::WatchConfig config;
    config.reportLatency = kPerReport;
    std::shared_ptr<watchsim::Clock> clock;
    if (pacing == Pacing::FrameGrid) {
        clock = std::make_shared<FrameGridClock>();
    } else {
        clock = std::make_shared<watchsim::SteadyClock>();
    }
    const auto mount = Mount(state, config, clock);
    if (!mount) {
        return;
    }
    std::atomic<std::size_t> reports{0};
    mount->Watch(0).SetTrace([&](watchsim::TraceDirection, std::span<const std::uint8_t>) {
        reports.fetch_add(1, std::memory_order_relaxed);
    });
    ORNA_Communication connection(std::make_unique<ORNA_Device>(
        NodeOf(*mount), std::make_unique<Linux_USB_HID_DeviceReaderWriter>()));
    if (connection.Open().IsError()) {
        state.SkipWithError("handshake failed");
        return;
    }
    const Bytes image(512 * 1024, 0xA5);
    std::chrono::duration<double> taken{0};
    std::size_t moved = 0;
    for (auto _ : state) {
        reports = 0;
        const auto start = Clock::now();
        const auto result =
            connection.FlashWrite(0, static_cast<std::uint32_t>(image.size()), image.data());
        const std::chrono::duration<double> elapsed = Clock::now() - start;
        if (result.IsError()) {
            state.SkipWithError("flash write failed");
            break;
        }
        state.SetIterationTime(elapsed.count());
        taken += elapsed;
        moved += reports;
    }
    connection.Close();
    state.counters["reports"] = static_cast<double>(moved) /
                                static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
    state.counters["ratio"] =
        taken / (static_cast<double>(moved) * std::chrono::duration<double>(kPerReport));
}
BENCHMARK_CAPTURE(BM_FlashWrite512KiB, frame_grid, Pacing::FrameGrid)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_FlashWrite512KiB, relative_sleep, Pacing::RelativeSleep)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(3)
    ->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
