// The clock record layout against the virtual watch: what the host writes is the time the
// watch keeps, and reading it back gives the same moment.
#include <gtest/gtest.h>

#include "DeviceClockRecord.h"
#include "ORNA_Communication.h"
#include "VirtualWatch.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {
namespace {

using Bytes = std::vector<std::uint8_t>;

TEST(ClockOnWatchTest, StoredTimeIsTheWatchClockAndReadsBack) {
    watchsim::VirtualWatch watch;
    ORNA_Communication connection(
        std::make_unique<ORNA_Device>(std::make_unique<VirtualWatch_DeviceIdentifier>(&watch),
                                      std::make_unique<VirtualWatch_HID_DeviceReaderWriter>()));
    ASSERT_EQ(connection.Open(), DeviceErrorCode::Success);

    std::uint32_t size = 0;
    ASSERT_EQ(connection.DataSizeGet(DeviceClockRecord::kDataId, 0, size),
              DeviceErrorCode::Success);
    Bytes record;
    ASSERT_EQ(connection.DataGet(DeviceClockRecord::kDataId, 0, 0, size, record, nullptr),
              DeviceErrorCode::Success);
    ASSERT_GE(record.size(), DeviceClockRecord::kMinimumSize);

    // Sunday 2025-03-30 01:30:15 UTC, from a PC at UTC-05:00 in daylight time.
    STimeZoneInformation zone;
    zone.bias = 300;
    zone.daylightBias = -60;
    const STimeData pc(SSystemTime{2025, 3, 0, 30, 1, 30, 15, 500}, zone, STimeData::kZoneDaylight);
    ASSERT_TRUE(DeviceClockRecord::Store(pc, record));
    ASSERT_EQ(connection.DataSet(DeviceClockRecord::kDataId, 0, 0,
                                 static_cast<std::uint32_t>(record.size()), record.data()),
              DeviceErrorCode::Success);
    const Bytes kept = watch.ClockRecord();
    ASSERT_GE(kept.size(), 10u);
    EXPECT_EQ(Bytes(kept.begin(), kept.begin() + 10),
              (Bytes{0xE9, 0x07, 3, 30, 1, 30, 15, 7, 0xEC, 4}));

    Bytes again;
    ASSERT_EQ(connection.DataGet(DeviceClockRecord::kDataId, 0, 0, size, again, nullptr),
              DeviceErrorCode::Success);
    STimeData read(SSystemTime{}, STimeZoneInformation{}, 0);
    ASSERT_TRUE(DeviceClockRecord::Load(again, read));
    EXPECT_EQ(read.time, (SSystemTime{2025, 3, 0, 30, 1, 30, 15, 0}));
    EXPECT_EQ(read.timeZone.bias, 300);
    EXPECT_EQ(read.timeZone.daylightBias, -60);
}

}  // namespace
}  // namespace ArmillonDevice
