#include "Windows_LocalZone.h"

#include <windows.h>

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

}  // namespace

// The settings are read anew for every moment asked.
void Windows_LocalZone::Refresh() {}

LocalZoneSample Windows_LocalZone::At(std::int64_t utcSeconds) {
    LocalZoneSample sample;
    SYSTEMTIME utc{};
    if (!ToSystemTime(utcSeconds, utc)) {
        sample.name = L"UTC";
        return sample;
    }
    DYNAMIC_TIME_ZONE_INFORMATION dynamic{};
    const bool haveZone = ::GetDynamicTimeZoneInformation(&dynamic) != TIME_ZONE_ID_INVALID;
    TIME_ZONE_INFORMATION zone{};
    SYSTEMTIME local{};
    if (!haveZone || !::GetTimeZoneInformationForYear(utc.wYear, &dynamic, &zone) ||
        !::SystemTimeToTzSpecificLocalTime(&zone, &utc, &local)) {
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
