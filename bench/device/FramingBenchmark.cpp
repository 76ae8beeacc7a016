// Report framing through an in-memory loopback: how many reports per second the framing
// turns out and takes apart, and a whole flash write request framed and delivered.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <vector>

#include "BasicCommunication.h"
#include "HostPort.h"
#include "ORNA_Communication.h"
#include "VirtualWatch.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace {

using namespace ArmillonDevice;
using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kReportLength = 65;
constexpr std::size_t kRoom = kReportLength - 3;

// Takes every output report and serves a fixed set of input reports over and over.
class LoopbackPort : public watchsim::HostPort {
  public:
    std::uint16_t VendorId() const override { return 0x3A7C; }
    std::uint16_t ProductId() const override { return 0x0A51; }
    bool Present() const override { return true; }
    std::size_t InputReportLength() const override { return kReportLength; }
    std::size_t OutputReportLength() const override { return kReportLength; }
    bool Open() override { return open_ = true; }
    void Close() override { open_ = false; }
    bool IsOpen() const override { return open_; }
    bool WriteReport(std::span<const std::uint8_t> report) override {
        std::memcpy(last_, report.data(), std::min(report.size(), sizeof last_));
        ++written;
        return true;
    }
    watchsim::ReadOutcome ReadReport(std::vector<std::uint8_t>& report) override {
        report = input[next_];
        next_ = (next_ + 1) % input.size();
        return watchsim::ReadOutcome::Report;
    }

    std::vector<Bytes> input;
    std::size_t written = 0;

  private:
    bool open_ = false;
    std::uint8_t last_[kReportLength]{};
    std::size_t next_ = 0;
};

// One message of `reports` full reports, as the device would send it.
std::vector<Bytes> Message(std::size_t reports) {
    std::vector<Bytes> message;
    for (std::size_t i = 0; i < reports; ++i) {
        Bytes report(kReportLength, static_cast<std::uint8_t>(i));
        report[0] = 0;
        report[1] = static_cast<std::uint8_t>((i == 0 ? 0x80 : 0) | (i + 1 == reports ? 0x40 : 0));
        report[2] = kRoom;
        message.push_back(std::move(report));
    }
    return message;
}

void BM_FramingWrite(benchmark::State& state) {
    const auto reports = static_cast<std::size_t>(state.range(0));
    LoopbackPort port;
    VirtualWatch_DeviceIdentifier identity(&port);
    VirtualWatch_HID_DeviceReaderWriter transport;
    transport.Open(&identity);
    const Bytes block(reports * kRoom, 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(transport.Write(block));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(port.written));
    state.counters["ns_per_report"] =
        benchmark::Counter(static_cast<double>(port.written),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FramingWrite)->Arg(1)->Arg(100);

// The same with a write listener attached that publishes a running count through an atomic,
// as the update's progress does: what hearing every report costs the writer.
void BM_FramingWriteWithListener(benchmark::State& state) {
    struct Counting : IWriteProgressListener {
        void OnWritten(std::uint32_t payloadLength) override {
            heard += payloadLength;
            published.store(heard, std::memory_order_relaxed);
        }
        std::uint64_t heard = 0;
        std::atomic<std::uint64_t> published{0};
    } listener;
    const auto reports = static_cast<std::size_t>(state.range(0));
    LoopbackPort port;
    VirtualWatch_DeviceIdentifier identity(&port);
    VirtualWatch_HID_DeviceReaderWriter transport;
    transport.Open(&identity);
    transport.SetWriteListener(&listener);
    const Bytes block(reports * kRoom, 0x5A);
    for (auto _ : state) {
        benchmark::DoNotOptimize(transport.Write(block));
    }
    benchmark::DoNotOptimize(listener.published.load());
    state.SetItemsProcessed(static_cast<std::int64_t>(port.written));
    state.counters["ns_per_report"] =
        benchmark::Counter(static_cast<double>(port.written),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FramingWriteWithListener)->Arg(1)->Arg(100);

void BM_FramingRead(benchmark::State& state) {
    const auto reports = static_cast<std::size_t>(state.range(0));
    LoopbackPort port;
    port.input = Message(reports);
    VirtualWatch_DeviceIdentifier identity(&port);
    VirtualWatch_HID_DeviceReaderWriter transport;
    transport.Open(&identity);
    Bytes buffer(reports * kRoom);
    for (auto _ : state) {
        benchmark::DoNotOptimize(transport.Read(buffer, nullptr));
    }
    const auto total =
        static_cast<std::int64_t>(state.iterations()) * static_cast<std::int64_t>(reports);
    state.SetItemsProcessed(total);
    state.counters["ns_per_report"] = benchmark::Counter(
        static_cast<double>(total), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_FramingRead)->Arg(1)->Arg(100);

// A 512 KiB flash write request framed and sent, and its acknowledgement read back, over
// the loopback (the device's side costs nothing here).
void BM_FlashWriteRequestLoopback(benchmark::State& state) {
    auto port = std::make_unique<LoopbackPort>();
    port->input = {Bytes{0x00, 0xC0, 0x05, 0x41, 0x00, 0x00, 0x00, 0x00}};
    port->input[0].resize(kReportLength, 0);
    ORNA_Communication connection(
        std::make_unique<ORNA_Device>(std::make_unique<VirtualWatch_DeviceIdentifier>(port.get()),
                                      std::make_unique<VirtualWatch_HID_DeviceReaderWriter>()));
    connection.GetDevice()->Open();  // the transport only; the loopback knows no handshake
    const Bytes image(512 * 1024, 0xA5);
    for (auto _ : state) {
        const auto result =
            connection.FlashWrite(0x8000, static_cast<std::uint32_t>(image.size()), image.data());
        if (result.IsError()) {
            state.SkipWithError("flash write failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(image.size()));
}
BENCHMARK(BM_FlashWriteRequestLoopback)->Unit(benchmark::kMillisecond);

// The same request framed, delivered to the in-process watch, reassembled and written to its
// flash, and the watch's acknowledgement read back.
void BM_FlashWriteToVirtualWatch(benchmark::State& state) {
    watchsim::VirtualWatch watch;
    ORNA_Communication connection(
        std::make_unique<ORNA_Device>(std::make_unique<VirtualWatch_DeviceIdentifier>(&watch),
                                      std::make_unique<VirtualWatch_HID_DeviceReaderWriter>()));
    if (connection.Open().IsError()) {
        state.SkipWithError("the watch did not open");
        return;
    }
    const Bytes image(512 * 1024, 0xA5);
    for (auto _ : state) {
        const auto result =
            connection.FlashWrite(0x8000, static_cast<std::uint32_t>(image.size()), image.data());
        if (result.IsError()) {
            state.SkipWithError("flash write failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(image.size()));
}
BENCHMARK(BM_FlashWriteToVirtualWatch)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
