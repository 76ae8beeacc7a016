// Faults planted by plan, seen from the host's side of the reports.
#include <gtest/gtest.h>

#include <chrono>

#include "VirtualWatch.h"
#include "WatchTestSupport.h"

namespace watchsim {
namespace {

using namespace std::chrono_literals;
using testing::Bytes;
using testing::Concat;
using testing::DataClass;
using testing::Exchange;
using testing::Le;

Bytes SetPayload(std::uint16_t id) {
    return Concat(DataClass(id, 0x00, Le({{0, 2}, {0, 4}, {2, 4}})), {1, 2});
}

Bytes SizePayload(std::uint16_t id) {
    return DataClass(id, 0x41, Le({{0, 2}}));
}

// What the host makes of one exchange: the reply code, or why there is none.
std::string Outcome(HostPort& port, std::uint8_t code, const Bytes& payload) {
    std::string why;
    const auto reply = Exchange(port, code, payload, &why);
    if (!reply) {
        return why;
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%02X", reply->code);
    std::string result = text;
    if (reply->code == 0xF0 && reply->body.size() == 2) {
        std::snprintf(text, sizeof(text), " %04X", reply->body[0] | (reply->body[1] << 8));
        result += text;
    } else if ((reply->code == 0x20 || reply->code == 0x21) && !reply->body.empty()) {
        std::snprintf(text, sizeof(text), " status %d", reply->body[0]);
        result += text;
    }
    return result;
}

TEST(WatchFaults, FireOnTheCountedRequestsOnly) {
    struct Step {
        std::uint8_t code;
        Bytes payload;
        std::string expected;
    };
    struct Case {
        const char* plan;
        std::vector<Step> steps;
    };
    const Case cases[] = {
        {"set#3:error=0x0005",
         {{0x21, SetPayload(0x1600), "21 status 0"},
          {0x21, SetPayload(0x1604), "21 status 0"},
          {0x21, SetPayload(0x1611), "F0 0005"},
          {0x21, SetPayload(0x1611), "21 status 0"}}},
        {"size@0x1200#1-2:silent",
         {{0x20, SizePayload(0x1300), "20 status 0"},
          {0x20, SizePayload(0x1200), "silent"},
          {0x20, SizePayload(0x1200), "silent"},
          {0x20, SizePayload(0x1200), "20 status 0"}}},
        {"version:code=0x41", {{0x00, {}, "41"}, {0x01, {}, "01"}}},
        {"size#2-:status=3",
         {{0x20, SizePayload(0x1200), "20 status 0"},
          {0x20, SizePayload(0x1200), "20 status 3"},
          {0x20, SizePayload(0x1100), "20 status 3"}}},
        {"any#2:zerolen", {{0x00, {}, "00"}, {0x00, {}, "zero length"}}},
        {"disconnect:nostart", {{0x00, {}, "00"}, {0x01, {}, "no start flag"}}},
        {"any:error=0x0102, any:silent", {{0x01, {}, "F0 0102"}}},  // first rule that fires wins
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.plan);
        VirtualWatch watch;
        watch.AddFaults(c.plan);
        ASSERT_TRUE(watch.Open());
        for (const Step& step : c.steps) {
            EXPECT_EQ(Outcome(watch, step.code, step.payload), step.expected);
            watch.Close();  // a host resyncs by reopening
            ASSERT_TRUE(watch.Open());
        }
    }
}

TEST(WatchFaults, ErrorAndSilenceLeaveTheRequestUndone) {
    VirtualWatch watch;
    watch.AddFaults("set@0x1600#1:silent, set@0x1600#2:error=9");
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(Outcome(watch, 0x21, SetPayload(0x1600)), "silent");
    EXPECT_EQ(Outcome(watch, 0x21, SetPayload(0x1600)), "F0 0009");
    EXPECT_FALSE(watch.SettingsBlock(0x1600));
    EXPECT_EQ(Outcome(watch, 0x21, SetPayload(0x1600)), "21 status 0");
    EXPECT_EQ(watch.SettingsBlock(0x1600), (Bytes{1, 2}));
}

TEST(WatchFaults, ShortRecordsComeOneByteUnderTheirMinimum) {
    VirtualWatch watch;
    watch.AddFaults("size@0x1200:short, get@0x2010:short");
    ASSERT_TRUE(watch.Open());
    const auto firmware = testing::ReadRecord(watch, 0x1200);
    ASSERT_TRUE(firmware);
    EXPECT_EQ(firmware->size(), 15u);
    const auto clock =
        Exchange(watch, 0x20, DataClass(0x2010, 0x00, Le({{0, 2}, {0, 4}, {32, 4}})));
    ASSERT_TRUE(clock);
    EXPECT_EQ(clock->body.size(), 14u + 31u);  // echo says 32, data holds 31
}

TEST(WatchFaults, DropAfterReportsLeavesTheBusUntilTheDelayEnds) {
    auto clock = std::make_shared<ManualClock>();
    VirtualWatch watch({}, clock);
    watch.AddFaults("read#1:drop=2");
    ASSERT_TRUE(watch.Open());
    ASSERT_TRUE(testing::SendRequest(watch, 0x40, Le({{0, 4}, {200, 4}})));  // 4 reports due
    Bytes report;
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Report);
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Report);
    EXPECT_EQ(watch.ReadReport(report), ReadOutcome::Gone);
    EXPECT_FALSE(watch.Present());
    EXPECT_FALSE(watch.RebootPending());  // a drop, not a reboot
    clock->Advance(1s);
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(Outcome(watch, 0x40, Le({{0, 4}, {4, 4}})), "40");
    EXPECT_EQ(watch.RebootCount(), 0u);

    watch.AddFaults("version:drop=0");
    EXPECT_EQ(Outcome(watch, 0x00, {}), "gone");
}

// A reset in the middle of a write keeps half of it and comes back with the firmware it had;
// a cable taken out keeps the watch away whatever time passes.
TEST(WatchFaults, InterruptedWritesAndUnpluggedCable) {
    auto clock = std::make_shared<ManualClock>();
    VirtualWatch watch({}, clock);
    watch.AddFaults("write#1:reboot, set@0x1600#1:reboot, erase#1:reboot, cmd30#1:unplug");
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(Outcome(watch, 0x41, Le({{0x10, 4}, {4, 4}, {0x04030201, 4}})), "gone");
    EXPECT_FALSE(watch.Present());
    EXPECT_FALSE(watch.RebootPending());  // back with the firmware it had
    EXPECT_EQ(watch.Flash(0x10, 4), (Bytes{1, 2, 0xFF, 0xFF}));
    clock->Advance(1s);
    ASSERT_TRUE(watch.Open());
    const Bytes data{'a', 'b', 'c', 'd'};
    EXPECT_EQ(
        Outcome(watch, 0x21, Concat(DataClass(0x1600, 0x00, Le({{0, 2}, {0, 4}, {4, 4}})), data)),
        "gone");
    EXPECT_EQ(watch.SettingsBlock(0x1600), (Bytes{'a', 'b'}));
    clock->Advance(1s);
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(Outcome(watch, 0x42, Le({{0, 2}})), "gone");  // an erase is not begun
    EXPECT_EQ(watch.Flash(0x10, 2), (Bytes{1, 2}));
    clock->Advance(1s);
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(Outcome(watch, 0x30, {}), "gone");
    clock->Advance(1h);
    EXPECT_FALSE(watch.Present());
    EXPECT_FALSE(watch.Open());
    EXPECT_EQ(watch.FirmwareVersion(), "01.20");
}

TEST(WatchFaults, SilentBareCommandDoesNotReboot) {
    VirtualWatch watch;
    watch.AddFaults("cmd30:silent");
    ASSERT_TRUE(watch.Open());
    EXPECT_EQ(Outcome(watch, 0x30, {}), "silent");
    EXPECT_TRUE(watch.Present());
    EXPECT_FALSE(watch.RebootPending());
}

TEST(WatchFaults, OpenFaultsRefuseOrChangeTheHardwareText) {
    VirtualWatch watch;
    watch.AddFaults("open#1:busy, open#3-:hwtext=ORNA-HWREV1-712E");
    EXPECT_FALSE(watch.Open());
    ASSERT_TRUE(watch.Open());
    auto hardware = testing::ReadRecord(watch, 0x1300);
    EXPECT_EQ(std::string(hardware->begin() + 2, hardware->begin() + 18), "ORNA-HWREV1-612E");
    watch.Close();
    ASSERT_TRUE(watch.Open());
    hardware = testing::ReadRecord(watch, 0x1300);
    EXPECT_EQ(std::string(hardware->begin() + 2, hardware->begin() + 18), "ORNA-HWREV1-712E");

    watch.ClearFaults();
    watch.Close();
    ASSERT_TRUE(watch.Open());
    hardware = testing::ReadRecord(watch, 0x1300);
    EXPECT_EQ(std::string(hardware->begin() + 2, hardware->begin() + 18), "ORNA-HWREV1-612E");
}

TEST(WatchFaults, LatencyFromTheSpec) {
    auto clock = std::make_shared<ManualClock>();
    VirtualWatch watch({}, clock);
    watch.AddFaults("latency=1000");
    ASSERT_TRUE(watch.Open());
    ASSERT_TRUE(Exchange(watch, 0x00));
    EXPECT_EQ(clock->Now(), 2ms);
}

}  // namespace
}  // namespace watchsim
