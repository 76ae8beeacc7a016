#pragma once
// A moment in UTC with the host's time-zone settings, as read from or written to the device
// clock. The fields keep the meaning of the usual system-time and time-zone records:
// UTC = local time + bias, all biases in minutes.

#include <array>
#include <chrono>
#include <cstdint>

struct SSystemTime {
    std::uint16_t year = 0;
    std::uint16_t month = 0;      // 1 to 12
    std::uint16_t dayOfWeek = 0;  // 0 = Sunday to 6 = Saturday
    std::uint16_t day = 0;        // day of month
    std::uint16_t hour = 0;
    std::uint16_t minute = 0;
    std::uint16_t second = 0;
    std::uint16_t milliseconds = 0;

    friend bool operator==(const SSystemTime&, const SSystemTime&) = default;
};

struct STimeZoneInformation {
    std::int32_t bias = 0;  // minutes, UTC = local standard time + bias
    std::array<wchar_t, 32> standardName{};
    SSystemTime standardDate;
    std::int32_t standardBias = 0;  // added to bias while standard time is in effect
    std::array<wchar_t, 32> daylightName{};
    SSystemTime daylightDate;
    std::int32_t daylightBias = 0;  // added to bias while daylight time is in effect

    friend bool operator==(const STimeZoneInformation&, const STimeZoneInformation&) = default;
};

struct STimeData {
    // The zone has no daylight saving; standard time is in effect; daylight time is.
    static constexpr std::uint32_t kZoneNoDaylight = 0;
    static constexpr std::uint32_t kZoneStandard = 1;
    static constexpr std::uint32_t kZoneDaylight = 2;

    // The current moment from the system clock, with the local zone at that moment.
    STimeData();
    // The given moment, with the local zone as it is at that moment.
    explicit STimeData(std::chrono::system_clock::time_point moment);
    // Explicit values.
    STimeData(const SSystemTime& time, const STimeZoneInformation& timeZone,
              std::uint32_t zoneState);
    STimeData(const STimeData&) = default;
    STimeData& operator=(const STimeData&) = default;
    virtual ~STimeData();

    SSystemTime time;  // UTC
    STimeZoneInformation timeZone;
    std::uint32_t zoneState = kZoneNoDaylight;
};
