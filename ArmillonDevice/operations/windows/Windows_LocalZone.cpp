#include "Windows_LocalZone.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace {

// 100 ns intervals between 1601-01-01 and 1970-01-01.
constexpr std::int64_t kEpochIntervals = 116444736000000000LL;
constexpr std::int64_t kIntervalsPerSecond = 10000000;

bool ToSystemTime(std::int64_t seconds, SYSTEMTIME& out) {
    const std::int64_t intervals = seconds * kIntervalsPerSecond + kEpochIntervals;
    if (intervals < 0) {
        return false;
    }
    FILETIME file{};
    file.dwLowDateTime = static_cast<DWORD>(intervals & 0xFFFFFFFF);
    file.dwHighDateTime = static_cast<DWORD>(static_cast<std::uint64_t>(intervals) >> 32);
    return ::FileTimeToSystemTime(&file, &out) != 0;
}

std::int64_t ToSeconds(const SYSTEMTIME& time) {
    FILETIME file{};
    ::SystemTimeToFileTime(&time, &file);
    const std::int64_t intervals = static_cast<std::int64_t>(
        (static_cast<std::uint64_t>(file.dwHighDateTime) << 32) | file.dwLowDateTime);
    return (intervals - kEpochIntervals) / kIntervalsPerSecond;
}

// The zone's rules in `year`. They come from the zone's entry in the system's list of zones,
// whose rules may differ from year to year; a zone without an entry there (a custom zone, or
// one the list does not know) has only the rules of the settings themselves. With the
// automatic daylight saving adjustment switched off, the clock keeps standard time all year.
TIME_ZONE_INFORMATION RulesInYear(WORD year, DYNAMIC_TIME_ZONE_INFORMATION settings) {
    TIME_ZONE_INFORMATION zone{};
    if (!::GetTimeZoneInformationForYear(year, &settings, &zone)) {
        zone.Bias = settings.Bias;
        std::copy(std::begin(settings.StandardName), std::end(settings.StandardName),
                  zone.StandardName);
        zone.StandardDate = settings.StandardDate;
        zone.StandardBias = settings.StandardBias;
        std::copy(std::begin(settings.DaylightName), std::end(settings.DaylightName),
                  zone.DaylightName);
        zone.DaylightDate = settings.DaylightDate;
        zone.DaylightBias = settings.DaylightBias;
    }
    if (settings.DynamicDaylightTimeDisabled) {
        zone.StandardDate = SYSTEMTIME{};
        zone.DaylightDate = SYSTEMTIME{};
    }
    return zone;
}

}  // namespace

Windows_LocalZone::Windows_LocalZone()
    : Windows_LocalZone([](DYNAMIC_TIME_ZONE_INFORMATION& settings) {
          return ::GetDynamicTimeZoneInformation(&settings);
      }) {}

Windows_LocalZone::Windows_LocalZone(SettingsReader readSettings)
    : readSettings_(std::move(readSettings)) {}

// The settings are read anew for every moment asked.
void Windows_LocalZone::Refresh() {}

LocalZoneSample Windows_LocalZone::At(std::int64_t utcSeconds) {
    LocalZoneSample sample;
    SYSTEMTIME utc{};
    if (!ToSystemTime(utcSeconds, utc)) {
        sample.name = L"UTC";
        return sample;
    }
    DYNAMIC_TIME_ZONE_INFORMATION settings{};
    if (readSettings_(settings) == TIME_ZONE_ID_INVALID) {
        sample.name = L"UTC";
        return sample;
    }
    const TIME_ZONE_INFORMATION zone = RulesInYear(utc.wYear, settings);
    SYSTEMTIME local{};
    if (!::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local)) {
        sample.name = L"UTC";
        return sample;
    }
    sample.offsetEast = ToSeconds(local) - utcSeconds;
    const std::int64_t standardOffset =
        -static_cast<std::int64_t>(zone.Bias + zone.StandardBias) * 60;
    sample.daylight = zone.DaylightDate.wMonth != 0 && sample.offsetEast != standardOffset;
    sample.name = sample.daylight ? zone.DaylightName : zone.StandardName;
    return sample;
}
