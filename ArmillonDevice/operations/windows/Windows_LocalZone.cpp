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
// The settings are a copy: the system call takes them through a pointer to non-const.
TIME_ZONE_INFORMATION ReadRulesInYear(WORD year, DYNAMIC_TIME_ZONE_INFORMATION settings) {
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

// Reading the settings and the zone list takes a registry look-up each, too slow for the
// hundreds of moments one record samples: they are read once per refresh.
void Windows_LocalZone::Refresh() {
    const std::lock_guard lock(mutex_);
    read_ = false;
}

const TIME_ZONE_INFORMATION* Windows_LocalZone::RulesInYear(WORD year) {
    if (!read_) {
        settings_ = DYNAMIC_TIME_ZONE_INFORMATION{};
        settingsResult_ = readSettings_(settings_);
        rulesByYear_.clear();
        read_ = true;
    }
    if (settingsResult_ == TIME_ZONE_ID_INVALID) {
        return nullptr;
    }
    auto rules = rulesByYear_.find(year);
    if (rules == rulesByYear_.end()) {
        rules = rulesByYear_.emplace(year, ReadRulesInYear(year, settings_)).first;
    }
    return &rules->second;
}

LocalZoneSample Windows_LocalZone::At(std::int64_t utcSeconds) {
    LocalZoneSample sample;
    SYSTEMTIME utc{};
    if (!ToSystemTime(utcSeconds, utc)) {
        sample.name = L"UTC";
        return sample;
    }
    const std::lock_guard lock(mutex_);
    const TIME_ZONE_INFORMATION* rules = RulesInYear(utc.wYear);
    SYSTEMTIME local{};
    if (rules == nullptr || !::SystemTimeToTzSpecificLocalTime(rules, &utc, &local)) {
        sample.name = L"UTC";
        return sample;
    }
    sample.offsetEast = ToSeconds(local) - utcSeconds;
    const std::int64_t standardOffset =
        -static_cast<std::int64_t>(rules->Bias + rules->StandardBias) * 60;
    sample.daylight = rules->DaylightDate.wMonth != 0 && sample.offsetEast != standardOffset;
    sample.name = sample.daylight ? rules->DaylightName : rules->StandardName;
    return sample;
}
