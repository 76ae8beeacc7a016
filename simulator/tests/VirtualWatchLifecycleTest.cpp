// Presence, opening, the reboot after the bare commands, pacing and the bus of watches.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "VirtualWatch.h"
#include "WatchBus.h"
#include "WatchTestSupport.h"

namespace watchsim {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::Concat;
using testing::DataClass;
using testing::Exchange;
using testing::Le;

// A firmware block as large as the model needs, carrying the version text where it belongs.
Bytes FirmwareBlock(std::uint32_t versionOffset, const std::string& version) {
    Bytes block(versionOffset + 6, 0x5A);
    std::copy(version.begin(), version.end(), block.begin() + versionOffset);
    return block;
}

void WriteBlock(HostPort& port, std::uint16_t id, const Bytes& block) {
    const auto size = static_cast<std::uint32_t>(block.size());
    const auto reply =
        Exchange(port, 0x21, Concat(DataClass(id, 0x00, Le({{0, 2}, {0, 4}, {size, 4}})), block));
    ASSERT_TRUE(reply);
    ASSERT_EQ(reply->code, 0x21);
}

TEST(WatchReboot, BareCommandsRebootWithTheVersionOfTheLastFirmwareBlock) {
    struct Case {
        std::uint8_t command;
        std::uint16_t block;
        std::string hardwareText;
        std::uint32_t versionOffset;
    };
    const Case cases[] = {
        {0x30, 0x1600, "ORNA-HWREV1-612E", 0x7FFFA},
        {0x31, 0x1601, "ORNA-HWREV1-422E", 0x7FFFA},
        {0x32, 0x1600, "ORNA-HWREV1-812E", 0x3FFFA},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.hardwareText);
        auto clock = std::make_shared<ManualClock>();
        WatchConfig config;
        config.hardwareText = c.hardwareText;
        VirtualWatch watch(config, clock);
        ASSERT_TRUE(watch.Open());
        WriteBlock(watch, c.block, FirmwareBlock(c.versionOffset, "01.30"));

        const auto reply = Exchange(watch, c.command);
        ASSERT_TRUE(reply);
        EXPECT_EQ(reply->code, c.command);
        EXPECT_TRUE(reply->body.empty());

        // The watch has dropped the connection and stays away for the reboot delay.
        Bytes report;
        EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Gone);
        EXPECT_FALSE(watch.WriteReport(Bytes(65, 0)));
        EXPECT_FALSE(watch.IsOpen());
        EXPECT_TRUE(watch.RebootPending());
        clock->Advance(999ms);
        EXPECT_FALSE(watch.Present());
        EXPECT_FALSE(watch.Open());
        clock->Advance(1ms);
        EXPECT_TRUE(watch.Present());
        EXPECT_EQ(watch.RebootCount(), 1u);
        EXPECT_EQ(watch.FirmwareVersion(), "01.30");

        // A second run finds the new version in the firmware record.
        ASSERT_TRUE(watch.Open());
        const auto firmware = testing::ReadRecord(watch, 0x1200);
        ASSERT_TRUE(firmware);
        EXPECT_EQ(Bytes(firmware->begin(), firmware->begin() + 5),
                  (Bytes{'0', '1', '.', '3', '0'}));
    }
}

TEST(WatchReboot, KeepsItsVersionWhenNoReadableBlockWasWritten) {
    auto clock = std::make_shared<ManualClock>();
    VirtualWatch watch({}, clock);
    ASSERT_TRUE(watch.Open());
    WriteBlock(watch, 0x1600, FirmwareBlock(0x7FFFA, "01.3\x01"));  // not printable
    ASSERT_TRUE(Exchange(watch, 0x30));
    clock->Advance(1s);
    EXPECT_EQ(watch.FirmwareVersion(), "01.20");

    ASSERT_TRUE(watch.Open());
    WriteBlock(watch, 0x1600, Bytes(0x7FFFA + 4, '1'));  // too short for a version
    ASSERT_TRUE(Exchange(watch, 0x31));
    clock->Advance(1s);
    EXPECT_EQ(watch.FirmwareVersion(), "01.20");
    EXPECT_EQ(watch.RebootCount(), 2u);
}

TEST(WatchReboot, HappensEvenWhenTheHostClosesBeforeReadingTheReply) {
    auto clock = std::make_shared<ManualClock>();
    VirtualWatch watch({}, clock);
    ASSERT_TRUE(watch.Open());
    ASSERT_TRUE(testing::SendRequest(watch, 0x32, {}));
    watch.Close();
    EXPECT_FALSE(watch.Present());
    clock->Advance(1s);
    EXPECT_TRUE(watch.Present());
    EXPECT_EQ(watch.RebootCount(), 1u);
}

TEST(WatchPresence, UnplugKillsTheHandleAndPlugBringsTheWatchBack) {
    VirtualWatch watch;
    std::atomic<int> calls{0};
    watch.SetListener([&] { ++calls; });
    ASSERT_TRUE(watch.Open());
    const auto generation = watch.Generation();
    ASSERT_TRUE(testing::SendRequest(watch, 0x00, {}));  // reply queued, never read
    EXPECT_GE(calls.load(), 1);

    watch.Unplug();
    EXPECT_FALSE(watch.Present());
    EXPECT_FALSE(watch.IsOpen());
    EXPECT_NE(watch.Generation(), generation);
    Bytes report;
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Gone);
    EXPECT_FALSE(watch.Open());

    const int before = calls.load();
    watch.Plug();
    EXPECT_GT(calls.load(), before);
    EXPECT_TRUE(watch.Present());
    EXPECT_FALSE(watch.IsOpen());  // the old handle stays dead
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Silent);  // nothing left from before
    EXPECT_TRUE(Exchange(watch, 0x00));
}

TEST(WatchPresence, HeldByAnotherProgramRefusesToOpen) {
    VirtualWatch watch;
    watch.SetHeldByOtherProgram(true);
    EXPECT_TRUE(watch.Present());
    EXPECT_FALSE(watch.Open());
    watch.SetHeldByOtherProgram(false);
    EXPECT_TRUE(watch.Open());
    EXPECT_TRUE(watch.Open());  // already open
}

TEST(WatchPorts, RefuseReportsThatDoNotFitAndClosedHandles) {
    VirtualWatch watch;
    EXPECT_FALSE(watch.WriteReport(Bytes(65, 0)));  // not open
    Bytes report;
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Gone);
    ASSERT_TRUE(watch.Open());
    EXPECT_FALSE(watch.WriteReport(Bytes(66, 0)));
    EXPECT_FALSE(watch.WriteReport(Bytes{}));
    Bytes numbered(65, 0);
    numbered[0] = 1;
    EXPECT_FALSE(watch.WriteReport(numbered));
    // A short report is taken as if zero-padded, as the kernel does.
    EXPECT_TRUE(watch.WriteReport(Bytes{0x00, 0xC0, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00}));
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Report);
}

TEST(WatchPorts, ReportLengthFollowsTheConfiguration) {
    WatchConfig config;
    config.reportLength = 32;
    VirtualWatch watch(config);
    EXPECT_EQ(watch.InputReportLength(), 33u);
    EXPECT_EQ(watch.OutputReportLength(), 33u);
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(testing::ReadRecord(watch, 0x1100)->size(), 48u);

    for (const std::size_t bad : {std::size_t{2}, std::size_t{514}}) {
        config.reportLength = bad;
        EXPECT_THROW(VirtualWatch{config}, std::invalid_argument);
    }
}

TEST(WatchPacing, EachReportTakesTheLatencyInVirtualTime) {
    auto clock = std::make_shared<ManualClock>();
    WatchConfig config;
    config.reportLatency = 1ms;
    VirtualWatch watch(config, clock);
    ASSERT_TRUE(watch.Open());
    // 200 payload bytes + 5 header bytes: 4 reports out; the 8-byte reply: 1 report back.
    ASSERT_TRUE(Exchange(watch, 0x41, Concat(Le({{0, 4}, {192, 4}}), Bytes(192, 0))));
    EXPECT_EQ(clock->Now(), 5ms);
    watch.SetReportLatency(0ms);
    ASSERT_TRUE(Exchange(watch, 0x00));
    EXPECT_EQ(clock->Now(), 5ms);
}

TEST(WatchBus, ListsThePresentWatchesInOrder) {
    WatchBus bus;
    EXPECT_TRUE(bus.PresentPorts().empty());
    VirtualWatch& first = bus.Add();
    WatchConfig later;
    later.plugged = false;
    later.vendorId = 0x1234;
    VirtualWatch& second = bus.Add(later);
    EXPECT_EQ(bus.PresentPorts(), std::vector<HostPort*>{&first});
    second.Plug();
    EXPECT_EQ(bus.PresentPorts(), (std::vector<HostPort*>{&first, &second}));
    EXPECT_EQ(bus.PresentPorts()[1]->VendorId(), 0x1234);

    // One clock for all: a reboot ends when the bus's clock says so.
    ASSERT_TRUE(first.Open());
    ASSERT_TRUE(Exchange(first, 0x30));
    EXPECT_EQ(bus.PresentPorts(), std::vector<HostPort*>{&second});
    bus.Advance(first.Config().rebootDelay);
    EXPECT_EQ(bus.PresentPorts().size(), 2u);
}

TEST(WatchClock, CanBeAdvancedFromAnotherThreadWhileTheHostTalks) {
    auto clock = std::make_shared<ManualClock>();
    VirtualWatch watch({}, clock);
    ASSERT_TRUE(watch.Open());
    std::atomic<bool> stop{false};
    std::thread ticker([&] {
        while (!stop) {
            clock->Advance(1ms);
            (void)watch.Present();
        }
    });
    for (int i = 0; i < 200; ++i) {
        ASSERT_TRUE(testing::ReadRecord(watch, 0x2010));
    }
    stop = true;
    ticker.join();
}

}  // namespace
}  // namespace watchsim
