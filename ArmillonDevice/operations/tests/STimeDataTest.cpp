// The current moment in the record: always UTC with milliseconds, whatever the local zone.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "ILocalZone.h"
#include "SDeviceInformation.h"
#include "STimeData.h"

namespace {

using namespace std::chrono;

// A zone nine hours east of UTC without daylight saving, installed for one test.
class ScopedEastZone : public ILocalZone {
  public:
    ScopedEastZone() : previous_(PlatformLocalZone()) { InstallLocalZone(this); }
    ~ScopedEastZone() override { InstallLocalZone(&previous_); }
    ScopedEastZone(const ScopedEastZone&) = delete;
    ScopedEastZone& operator=(const ScopedEastZone&) = delete;

    void Refresh() override {}
    LocalZoneSample At(std::int64_t) override { return {false, 9 * 3600, L"JST"}; }

  private:
    ILocalZone& previous_;
};

system_clock::time_point Utc(int year, unsigned month, unsigned day, int hour = 12) {
    return sys_days{std::chrono::year{year} / month / day} + hours{hour};
}

TEST(STimeDataTest, TimeIsUtcWithMilliseconds) {
    ScopedEastZone zone;
    const STimeData t(Utc(2024, 7, 1, 12) + minutes(34) + seconds(56) + milliseconds(789));
    EXPECT_EQ(t.time, (SSystemTime{2024, 7, 1, 1, 12, 34, 56, 789}));  // a Monday
    const STimeData beforeEpoch(system_clock::time_point{} - milliseconds(1));
    EXPECT_EQ(beforeEpoch.time, (SSystemTime{1969, 12, 3, 31, 23, 59, 59, 999}));
}

TEST(STimeDataTest, DefaultIsNow) {
    const auto before = system_clock::now();
    const STimeData t;
    const auto after = system_clock::now();
    const auto taken = sys_days{year{t.time.year} / t.time.month / t.time.day} +
                       hours{t.time.hour} + minutes{t.time.minute} + seconds{t.time.second} +
                       milliseconds{t.time.milliseconds};
    EXPECT_GE(taken, floor<milliseconds>(before));
    EXPECT_LE(taken, after);
}

TEST(SDeviceInformationTest, DeviceTextsEndAtTheirFirstZeroByte) {
    using namespace std::string_view_literals;
    EXPECT_EQ(ArmillonDevice::DeviceTextToWide("01.2\0"sv), L"01.2");
    EXPECT_EQ(ArmillonDevice::DeviceTextToWide("ORNA-HWREV1-612E"sv), L"ORNA-HWREV1-612E");
    EXPECT_EQ(ArmillonDevice::DeviceTextToWide("\0EU01"sv), L"");
}

}  // namespace
