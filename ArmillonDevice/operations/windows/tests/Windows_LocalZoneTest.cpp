// The clock record the program sends to the watch, made from the Windows zone settings.
// Wine takes each program's zone from TZ, so ctest runs the Windows_LocalZoneTest cases
// once per zone with TZ set (see CMakeLists.txt); the cases of the other zones skip.
#include <gtest/gtest.h>

#include <windows.h>

#include <array>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "DeviceClockRecord.h"
#include "ILocalZone.h"
#include "STimeData.h"
#include "Windows_LocalZone.h"

namespace {

using namespace std::chrono;

system_clock::time_point Utc(int year, unsigned month, unsigned day) {
    return sys_days{std::chrono::year{year} / month / day} + hours{12};
}

std::wstring Name(const std::array<wchar_t, 32>& name) {
    return name.data();
}

// Bytes 8 and 9 of the clock record: the standard offset and the extra offset now in
// effect, in signed quarter hours east of UTC.
std::pair<int, int> ZoneBytes(const STimeData& time) {
    std::array<std::uint8_t, ArmillonDevice::DeviceClockRecord::kMinimumSize> record{};
    EXPECT_TRUE(ArmillonDevice::DeviceClockRecord::Store(time, record));
    return {static_cast<std::int8_t>(record[8]), static_cast<std::int8_t>(record[9])};
}

// Recurring transition dates: month, weekday, its occurrence (5 = last), local hour.
constexpr SSystemTime kNone{};
constexpr SSystemTime kUsSpring{0, 3, 0, 2, 2, 0, 0, 0};
constexpr SSystemTime kUsAutumn{0, 11, 0, 1, 2, 0, 0, 0};
constexpr SSystemTime kAuSpring{0, 10, 0, 1, 2, 0, 0, 0};
constexpr SSystemTime kAuAutumn{0, 4, 0, 1, 3, 0, 0, 0};

struct ZoneCase {
    const char* tz;
    system_clock::time_point moment;
    std::uint32_t state;
    std::int32_t bias;
    std::int32_t daylightBias;
    SSystemTime daylightDate;
    SSystemTime standardDate;
    std::pair<int, int> bytes;  // bytes 8 and 9 of the clock record
};

const std::vector<ZoneCase>& ZoneCases() {
    static const std::vector<ZoneCase> cases = {
        {"UTC", Utc(2024, 7, 1), STimeData::kZoneNoDaylight, 0, 0, kNone, kNone, {0, 0}},
        {"Asia/Kolkata",
         Utc(2024, 7, 1),
         STimeData::kZoneNoDaylight,
         -330,
         0,
         kNone,
         kNone,
         {22, 0}},
        {"America/New_York",
         Utc(2024, 7, 1),
         STimeData::kZoneDaylight,
         300,
         -60,
         kUsSpring,
         kUsAutumn,
         {-20, 4}},
        {"America/New_York",
         Utc(2024, 1, 15),
         STimeData::kZoneStandard,
         300,
         -60,
         kUsSpring,
         kUsAutumn,
         {-20, 0}},
        // Half an hour west: the quarter hours stay exact and negative.
        {"America/St_Johns",
         Utc(2024, 7, 1),
         STimeData::kZoneDaylight,
         210,
         -60,
         kUsSpring,
         kUsAutumn,
         {-14, 4}},
        // Southern hemisphere: daylight time over the turn of the year.
        {"Australia/Sydney",
         Utc(2024, 1, 1),
         STimeData::kZoneDaylight,
         -600,
         -60,
         kAuSpring,
         kAuAutumn,
         {40, 4}},
        {"Australia/Sydney",
         Utc(2024, 7, 1),
         STimeData::kZoneStandard,
         -600,
         -60,
         kAuSpring,
         kAuAutumn,
         {40, 0}},
        {"Australia/Adelaide",
         Utc(2024, 1, 1),
         STimeData::kZoneDaylight,
         -570,
         -60,
         kAuSpring,
         kAuAutumn,
         {38, 4}},
    };
    return cases;
}

TEST(Windows_LocalZoneTest, RecordAtGivenMomentsOfTheProcessZone) {
    const char* tz = std::getenv("TZ");
    if (tz == nullptr) {
        GTEST_SKIP() << "TZ is not set";
    }
    TIME_ZONE_INFORMATION system{};
    ASSERT_NE(::GetTimeZoneInformation(&system), TIME_ZONE_ID_INVALID);
    bool any = false;
    for (const ZoneCase& c : ZoneCases()) {
        if (std::string(c.tz) != tz) {
            continue;
        }
        any = true;
        const STimeData t(c.moment);
        SCOPED_TRACE(testing::Message() << tz << " " << t.time.year << "-" << t.time.month);
        EXPECT_EQ(t.zoneState, c.state);
        EXPECT_EQ(t.timeZone.bias, c.bias);
        EXPECT_EQ(t.timeZone.standardBias, 0);
        EXPECT_EQ(t.timeZone.daylightBias, c.daylightBias);
        EXPECT_EQ(t.timeZone.daylightDate, c.daylightDate);
        EXPECT_EQ(t.timeZone.standardDate, c.standardDate);
        EXPECT_EQ(Name(t.timeZone.standardName), system.StandardName);
        EXPECT_EQ(Name(t.timeZone.daylightName),
                  c.state == STimeData::kZoneNoDaylight ? L"" : system.DaylightName);
        EXPECT_EQ(ZoneBytes(t), c.bytes);
    }
    if (!any) {
        GTEST_SKIP() << "no cases for TZ=" << tz;
    }
}

// The record of the current moment says what the system's own zone record says.
TEST(Windows_LocalZoneTest, CurrentRecordAgreesWithTheSystemZone) {
    TIME_ZONE_INFORMATION system{};
    const DWORD state = ::GetTimeZoneInformation(&system);
    ASSERT_NE(state, TIME_ZONE_ID_INVALID);
    const STimeData now;
    EXPECT_EQ(now.zoneState, state);
    EXPECT_EQ(now.timeZone.bias, system.Bias);
    EXPECT_EQ(Name(now.timeZone.standardName), system.StandardName);
    if (state != TIME_ZONE_ID_UNKNOWN) {
        EXPECT_EQ(now.timeZone.standardBias, system.StandardBias);
        EXPECT_EQ(now.timeZone.daylightBias, system.DaylightBias);
        EXPECT_EQ(Name(now.timeZone.daylightName), system.DaylightName);
    }
}

// Zone settings given to the service instead of the host's.
class ScopedZone {
  public:
    explicit ScopedZone(Windows_LocalZone::SettingsReader readSettings)
        : zone_(std::move(readSettings)), previous_(PlatformLocalZone()) {
        InstallLocalZone(&zone_);
    }
    ScopedZone(const DYNAMIC_TIME_ZONE_INFORMATION& settings, DWORD result)
        : ScopedZone([settings, result](DYNAMIC_TIME_ZONE_INFORMATION& out) {
              out = settings;
              return result;
          }) {}
    ~ScopedZone() { InstallLocalZone(&previous_); }

  private:
    Windows_LocalZone zone_;
    ILocalZone& previous_;
};

DYNAMIC_TIME_ZONE_INFORMATION Settings(const wchar_t* key, LONG bias, LONG daylightBias,
                                       SYSTEMTIME daylightDate, SYSTEMTIME standardDate) {
    DYNAMIC_TIME_ZONE_INFORMATION s{};
    s.Bias = bias;
    s.DaylightBias = daylightBias;
    s.DaylightDate = daylightDate;
    s.StandardDate = standardDate;
    ::lstrcpynW(s.TimeZoneKeyName, key, 128);
    ::lstrcpynW(s.StandardName, L"Standard", 32);
    ::lstrcpynW(s.DaylightName, L"Daylight", 32);
    return s;
}

TEST(Windows_LocalZoneSettingsTest, RecordFromSettingsTheSystemListCannotSupply) {
    const SYSTEMTIME usSpring{0, 3, 0, 2, 2, 0, 0, 0};
    const SYSTEMTIME usAutumn{0, 11, 0, 1, 2, 0, 0, 0};
    const SYSTEMTIME auSpring{0, 10, 0, 1, 2, 0, 0, 0};
    const SYSTEMTIME auAutumn{0, 4, 0, 1, 2, 0, 0, 0};
    DYNAMIC_TIME_ZONE_INFORMATION noAutomaticDaylight =
        Settings(L"Eastern Standard Time", 300, -60, usSpring, usAutumn);
    noAutomaticDaylight.DynamicDaylightTimeDisabled = TRUE;
    struct Case {
        const char* what;
        DYNAMIC_TIME_ZONE_INFORMATION settings;
        DWORD result;
        system_clock::time_point moment;
        std::uint32_t state;
        std::int32_t bias;
        std::pair<int, int> bytes;
    };
    const std::vector<Case> cases = {
        // The clock keeps standard time in summer when daylight saving is switched off.
        {"automatic daylight saving off",
         noAutomaticDaylight,
         TIME_ZONE_ID_STANDARD,
         Utc(2024, 7, 1),
         STimeData::kZoneNoDaylight,
         300,
         {-20, 0}},
        // A zone the list has no entry for: its own rules, here +10:30 with half an hour
        // of daylight saving.
        {"custom zone in daylight time",
         Settings(L"", -630, -30, auSpring, auAutumn),
         TIME_ZONE_ID_DAYLIGHT,
         Utc(2024, 1, 1),
         STimeData::kZoneDaylight,
         -630,
         {42, 2}},
        {"custom zone in standard time",
         Settings(L"No Such Zone", -630, -30, auSpring, auAutumn),
         TIME_ZONE_ID_STANDARD,
         Utc(2024, 7, 1),
         STimeData::kZoneStandard,
         -630,
         {42, 0}},
        {"unreadable settings",
         Settings(L"", -630, 0, {}, {}),
         TIME_ZONE_ID_INVALID,
         Utc(2024, 7, 1),
         STimeData::kZoneNoDaylight,
         0,
         {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedZone zone(c.settings, c.result);
        const STimeData t(c.moment);
        EXPECT_EQ(t.zoneState, c.state);
        EXPECT_EQ(t.timeZone.bias, c.bias);
        EXPECT_EQ(ZoneBytes(t), c.bytes);
    }
}

// The settings may change while the program runs: each record takes them up anew.
TEST(Windows_LocalZoneSettingsTest, EachRecordReadsTheSettingsAsTheyAreThen) {
    DYNAMIC_TIME_ZONE_INFORMATION settings = Settings(L"", -330, 0, {}, {});
    ScopedZone zone([&settings](DYNAMIC_TIME_ZONE_INFORMATION& out) {
        out = settings;
        return static_cast<DWORD>(TIME_ZONE_ID_UNKNOWN);
    });
    EXPECT_EQ(STimeData(Utc(2024, 7, 1)).timeZone.bias, -330);
    settings.Bias = 180;
    EXPECT_EQ(STimeData(Utc(2024, 7, 1)).timeZone.bias, 180);
}

}  // namespace
