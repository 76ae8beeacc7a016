// The clock record's first ten bytes, both ways.
#include <gtest/gtest.h>

#include <vector>

#include "DeviceClockRecord.h"

namespace ArmillonDevice {
namespace {

using Bytes = std::vector<std::uint8_t>;

STimeData Moment(std::uint16_t dayOfWeek, std::int32_t bias, std::int32_t standardBias,
                 std::int32_t daylightBias, std::uint32_t zoneState) {
    SSystemTime time{2024, 3, dayOfWeek, 31, 23, 59, 58, 999};
    STimeZoneInformation zone;
    zone.bias = bias;
    zone.standardBias = standardBias;
    zone.daylightBias = daylightBias;
    return STimeData(time, zone, zoneState);
}

TEST(DeviceClockRecordTest, StoreWritesTheFirstTenBytesAndNothingElse) {
    struct Case {
        const char* what;
        STimeData time;
        Bytes expected;  // bytes 0-9
    };
    const std::vector<Case> cases = {
        {"UTC+09:00, no daylight saving",
         Moment(1, -540, 0, -60, 0),
         {0xE8, 0x07, 3, 31, 23, 59, 58, 1, 36, 0}},
        {"UTC-05:00 in daylight time",
         Moment(2, 300, 0, -60, 2),
         {0xE8, 0x07, 3, 31, 23, 59, 58, 2, 0xEC, 4}},
        {"standard time adds the standard bias",
         Moment(3, 300, -30, -60, 1),
         {0xE8, 0x07, 3, 31, 23, 59, 58, 3, 0xEC, 2}},
        {"no daylight saving ignores both extra biases",
         Moment(4, 0, -30, -60, 0),
         {0xE8, 0x07, 3, 31, 23, 59, 58, 4, 0, 0}},
        {"Sunday is day 7", Moment(0, -60, 0, -60, 1), {0xE8, 0x07, 3, 31, 23, 59, 58, 7, 4, 0}},
        {"quarter hours truncate toward zero",
         Moment(6, -50, 0, 10, 2),
         {0xE8, 0x07, 3, 31, 23, 59, 58, 6, 3, 0}},
        {"UTC+05:30", Moment(5, -330, 0, 0, 0), {0xE8, 0x07, 3, 31, 23, 59, 58, 5, 22, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Bytes record(40, 0xA5);
        ASSERT_TRUE(DeviceClockRecord::Store(c.time, record));
        EXPECT_EQ(Bytes(record.begin(), record.begin() + 10), c.expected);
        EXPECT_EQ(Bytes(record.begin() + 10, record.end()), Bytes(30, 0xA5));
    }
}

TEST(DeviceClockRecordTest, LoadReadsBackWhatStoreWrote) {
    const STimeData written = Moment(0, 300, 0, -60, 2);
    Bytes record(32, 0);
    ASSERT_TRUE(DeviceClockRecord::Store(written, record));

    STimeData read = Moment(3, 1, 2, 3, 1);
    read.timeZone.standardName[0] = L'X';
    ASSERT_TRUE(DeviceClockRecord::Load(record, read));
    EXPECT_EQ(read.time, (SSystemTime{2024, 3, 0, 31, 23, 59, 58, 0}));  // Sunday, no ms
    EXPECT_EQ(read.timeZone.bias, 300);
    EXPECT_EQ(read.timeZone.daylightBias, -60);
    // Fields the record does not carry keep their values.
    EXPECT_EQ(read.timeZone.standardBias, 2);
    EXPECT_EQ(read.timeZone.standardName[0], L'X');
    EXPECT_EQ(read.zoneState, 1u);
}

TEST(DeviceClockRecordTest, LoadTakesTheDeviceDayOfWeek) {
    for (std::uint8_t device = 1; device <= 7; ++device) {
        Bytes record(32, 0);
        record[7] = device;
        STimeData time = Moment(3, 0, 0, 0, 0);
        ASSERT_TRUE(DeviceClockRecord::Load(record, time));
        EXPECT_EQ(time.time.dayOfWeek, device % 7);
    }
}

TEST(DeviceClockRecordTest, RecordsShorterThanTheFieldsAreLeftAlone) {
    Bytes record(9, 0x11);
    STimeData time = Moment(3, 60, 0, 0, 1);
    EXPECT_FALSE(DeviceClockRecord::Store(time, record));
    EXPECT_EQ(record, Bytes(9, 0x11));
    EXPECT_FALSE(DeviceClockRecord::Load(record, time));
    EXPECT_EQ(time.time.year, 2024);
    EXPECT_EQ(time.timeZone.bias, 60);
}

}  // namespace
}  // namespace ArmillonDevice
