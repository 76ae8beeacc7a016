// When the watch clock is written: the three modes and the one-day rule on UTC calendar
// times.
#include <gtest/gtest.h>

#include <chrono>

#include "CTalvenComm.h"
#include "DeviceClockSynchronization.h"
#include "FakeTrainingDataCreator.h"
#include "VirtualWatch_HidPlatform.h"

namespace {

using namespace std::chrono;
using ArmillonDevice::testing::FakeTrainingDataCreator;

struct CalendarTime {
    int year;
    unsigned month;
    unsigned day;
    unsigned hour;
    unsigned minute = 0;
    unsigned second = 0;
};

sys_seconds Moment(const CalendarTime& t) {
    return sys_days{year{t.year} / month{t.month} / day{t.day}} + hours{t.hour} +
           minutes{t.minute} + seconds{t.second};
}

SSystemTime Calendar(const CalendarTime& t) {
    SSystemTime s;
    s.year = static_cast<std::uint16_t>(t.year);
    s.month = static_cast<std::uint16_t>(t.month);
    s.day = static_cast<std::uint16_t>(t.day);
    s.hour = static_cast<std::uint16_t>(t.hour);
    s.minute = static_cast<std::uint16_t>(t.minute);
    s.second = static_cast<std::uint16_t>(t.second);
    return s;
}

class DeviceClockSynchronizationTest : public ::testing::Test {
  protected:
    // The watch's date and time, without the day of week the PC record brings along.
    SSystemTime DeviceCalendar() const {
        SSystemTime t = fake->deviceTime;
        t.dayOfWeek = 0;
        return t;
    }

    DeviceClockSynchronizationTest() {
        auto creator = std::make_unique<FakeTrainingDataCreator>();
        fake = creator.get();
        facade.AttachCreator(std::move(creator));
    }

    ArmillonDevice::VirtualWatch_HidPlatform platform;
    CTalvenComm facade{platform};
    FakeTrainingDataCreator* fake = nullptr;
};

TEST_F(DeviceClockSynchronizationTest, TheModeDecidesWhetherTheClockIsReadOrWritten) {
    const CalendarTime pc{2025, 6, 1, 8};
    fake->deviceTime = Calendar({2025, 6, 1, 8});  // in line: the rule would not write

    SynchronizeDeviceClock(facade, -1, Moment(pc));
    EXPECT_TRUE(fake->calls.empty());

    SynchronizeDeviceClock(facade, 1, Moment(pc));
    EXPECT_EQ(fake->calls.size(), 1u);
    EXPECT_EQ(fake->CountOf("SetTime"), 1);
    EXPECT_EQ(DeviceCalendar(), Calendar(pc));
}

TEST_F(DeviceClockSynchronizationTest, DefaultModeWritesOnlyAClockADayOrMoreBehind) {
    struct Case {
        const char* what;
        CalendarTime pc;
        CalendarTime device;
        bool written;
    };
    const Case cases[] = {
        {"exactly one day behind", {2025, 6, 2, 8}, {2025, 6, 1, 8}, true},
        {"one second less", {2025, 6, 2, 7, 59, 59}, {2025, 6, 1, 8}, false},
        {"in line", {2025, 6, 1, 8}, {2025, 6, 1, 8}, false},
        {"a year ahead", {2025, 6, 1, 8}, {2026, 6, 1, 8}, false},
        {"two hours behind across a month end", {2025, 2, 1, 1}, {2025, 1, 31, 23}, false},
        {"one day ahead across a month end", {2025, 1, 31, 12}, {2025, 2, 1, 12}, false},
        {"one day behind across February", {2023, 3, 1, 12}, {2023, 2, 28, 12}, true},
        {"two days behind across a leap day", {2024, 3, 1, 12}, {2024, 2, 28, 12}, true},
        {"years behind", {2025, 6, 1, 8}, {2000, 1, 1, 0}, true},
        {"no valid date at all", {2025, 6, 1, 8}, {2025, 13, 0, 8}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fake->calls.clear();
        fake->deviceTime = Calendar(c.device);
        SynchronizeDeviceClock(facade, 0, Moment(c.pc));
        EXPECT_EQ(fake->CountOf("GetTime"), 1);
        EXPECT_EQ(fake->CountOf("SetTime"), c.written ? 1 : 0);
        EXPECT_EQ(DeviceCalendar(), Calendar(c.written ? c.pc : c.device));
    }
}

TEST_F(DeviceClockSynchronizationTest, AFailedReadWritesNothingAndAFailedWriteIsIgnored) {
    fake->deviceTime = Calendar({2020, 1, 1, 0});
    fake->Script("GetTime", {0x7FFF0001});
    SynchronizeDeviceClock(facade, 0, Moment({2025, 6, 1, 8}));
    EXPECT_EQ(fake->CountOf("SetTime"), 0);

    fake->Script("SetTime", {0x7FFF0001});
    SynchronizeDeviceClock(facade, 0, Moment({2025, 6, 1, 8}));
    EXPECT_EQ(fake->CountOf("SetTime"), 1);
}

TEST(ClockDifferenceTest, MillisecondsDoNotCount) {
    STimeData pc{Calendar({2025, 1, 1, 0}), {}, 0};
    STimeData device = pc;
    pc.time.milliseconds = 999;
    EXPECT_EQ(ClockDifferenceSeconds(pc, device), 0);
}

}  // namespace
