// The local zone's rules in the record, taken from TZ; the zones are POSIX rules so the
// tests do not depend on the installed zone database.
#include <gtest/gtest.h>

#include <time.h>

#include <chrono>
#include <cstdlib>
#include <optional>
#include <string>

#include "STimeData.h"

namespace {

using namespace std::chrono;

class ScopedTimeZone {
  public:
    explicit ScopedTimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~ScopedTimeZone() {
        if (previous_) {
            setenv("TZ", previous_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

  private:
    std::optional<std::string> previous_;
};

system_clock::time_point Utc(int year, unsigned month, unsigned day, int hour = 12) {
    return sys_days{std::chrono::year{year} / month / day} + hours{hour};
}

std::wstring Name(const std::array<wchar_t, 32>& name) {
    return name.data();
}

TEST(STimeDataTest, ZoneWithoutDaylightSaving) {
    for (const auto& [tz, bias, name] :
         {std::tuple{"JST-9", -540, L"JST"}, std::tuple{"UTC0", 0, L"UTC"},
          std::tuple{"<+0530>-5:30", -330, L"+0530"}, std::tuple{"<-03>3", 180, L"-03"}}) {
        SCOPED_TRACE(tz);
        ScopedTimeZone zone(tz);
        const STimeData t(Utc(2024, 7, 1));
        EXPECT_EQ(t.zoneState, STimeData::kZoneNoDaylight);
        EXPECT_EQ(t.timeZone.bias, bias);
        EXPECT_EQ(t.timeZone.daylightBias, 0);
        EXPECT_EQ(Name(t.timeZone.standardName), name);
        EXPECT_EQ(Name(t.timeZone.daylightName), L"");
        EXPECT_EQ(t.timeZone.daylightDate, SSystemTime{});
    }
}

TEST(STimeDataTest, ZonesWithDaylightSaving) {
    struct Case {
        const char* tz;
        system_clock::time_point moment;
        std::uint32_t state;
        std::int32_t bias;
        const wchar_t* standardName;
        const wchar_t* daylightName;
        SSystemTime daylightDate;  // recurring: month, weekday, occurrence (5 = last), time
        SSystemTime standardDate;
    };
    const std::vector<Case> cases = {
        {"EST5EDT,M3.2.0,M11.1.0",
         Utc(2024, 7, 1),
         STimeData::kZoneDaylight,
         300,
         L"EST",
         L"EDT",
         {0, 3, 0, 2, 2, 0, 0, 0},
         {0, 11, 0, 1, 2, 0, 0, 0}},
        {"EST5EDT,M3.2.0,M11.1.0",
         Utc(2024, 1, 15),
         STimeData::kZoneStandard,
         300,
         L"EST",
         L"EDT",
         {0, 3, 0, 2, 2, 0, 0, 0},
         {0, 11, 0, 1, 2, 0, 0, 0}},
        {"CET-1CEST,M3.5.0,M10.5.0/3",
         Utc(2023, 12, 24),
         STimeData::kZoneStandard,
         -60,
         L"CET",
         L"CEST",
         {0, 3, 0, 5, 2, 0, 0, 0},
         {0, 10, 0, 5, 3, 0, 0, 0}},
        // Southern hemisphere: daylight time over the turn of the year.
        {"AEST-10AEDT,M10.1.0,M4.1.0/3",
         Utc(2024, 1, 1),
         STimeData::kZoneDaylight,
         -600,
         L"AEST",
         L"AEDT",
         {0, 10, 0, 1, 2, 0, 0, 0},
         {0, 4, 0, 1, 3, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tz);
        ScopedTimeZone zone(c.tz);
        const STimeData t(c.moment);
        EXPECT_EQ(t.zoneState, c.state);
        EXPECT_EQ(t.timeZone.bias, c.bias);
        EXPECT_EQ(t.timeZone.standardBias, 0);
        EXPECT_EQ(t.timeZone.daylightBias, -60);
        EXPECT_EQ(Name(t.timeZone.standardName), c.standardName);
        EXPECT_EQ(Name(t.timeZone.daylightName), c.daylightName);
        EXPECT_EQ(t.timeZone.daylightDate, c.daylightDate);
        EXPECT_EQ(t.timeZone.standardDate, c.standardDate);
    }
}

}  // namespace
