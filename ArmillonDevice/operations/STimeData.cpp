// The current moment and the local zone's settings, taken from the C library's zone
// database (TZ). The zone's rules are found by sampling local time across the year around
// the moment: the standard and daylight offsets, their names, and the two transitions.
#include "STimeData.h"

#include <time.h>

#include <algorithm>
#include <cwchar>
#include <optional>
#include <string_view>

#include "TextConversion.h"

namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

struct LocalSample {
    std::time_t when = 0;
    bool daylight = false;
    long offsetEast = 0;  // seconds
    std::string name;
};

LocalSample Sample(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    LocalSample sample;
    sample.when = when;
    sample.daylight = local.tm_isdst > 0;
    sample.offsetEast = local.tm_gmtoff;
    sample.name = local.tm_zone != nullptr ? local.tm_zone : "";
    return sample;
}

SSystemTime ToSystemTime(const std::tm& tm, std::uint16_t milliseconds) {
    SSystemTime t;
    t.year = static_cast<std::uint16_t>(tm.tm_year + 1900);
    t.month = static_cast<std::uint16_t>(tm.tm_mon + 1);
    t.dayOfWeek = static_cast<std::uint16_t>(tm.tm_wday);
    t.day = static_cast<std::uint16_t>(tm.tm_mday);
    t.hour = static_cast<std::uint16_t>(tm.tm_hour);
    t.minute = static_cast<std::uint16_t>(tm.tm_min);
    t.second = static_cast<std::uint16_t>(tm.tm_sec);
    t.milliseconds = milliseconds;
    return t;
}

void CopyName(std::string_view name, std::array<wchar_t, 32>& out) {
    const std::wstring wide = common::NarrowToWide(name);
    out.fill(L'\0');
    std::copy_n(wide.begin(), std::min(wide.size(), out.size() - 1), out.begin());
}

// The first second at which the zone's daylight state differs from the state at `from`,
// known to happen before `to`.
std::time_t FindTransition(std::time_t from, std::time_t to) {
    const bool state = Sample(from).daylight;
    while (to - from > 1) {
        const std::time_t middle = from + (to - from) / 2;
        (Sample(middle).daylight == state ? from : to) = middle;
    }
    return to;
}

// A yearly transition in the recurring form of a time-zone record: year 0, the month, the
// weekday, its occurrence in the month (5 = last) and the local time on the clock that is
// being left.
SSystemTime RecurringDate(std::time_t transition, long offsetBefore) {
    const std::time_t localBefore = transition + offsetBefore;
    std::tm tm{};
    gmtime_r(&localBefore, &tm);
    SSystemTime date = ToSystemTime(tm, 0);
    date.year = 0;
    const int daysInMonth = [&] {
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int year = tm.tm_year + 1900;
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return kDays[tm.tm_mon] + (tm.tm_mon == 1 && leap ? 1 : 0);
    }();
    date.day =
        static_cast<std::uint16_t>(tm.tm_mday + 7 > daysInMonth ? 5 : (tm.tm_mday - 1) / 7 + 1);
    return date;
}

}  // namespace

STimeData::STimeData() : STimeData(std::chrono::system_clock::now()) {}

STimeData::STimeData(std::chrono::system_clock::time_point moment) {
    using namespace std::chrono;
    const auto since = moment.time_since_epoch();
    auto seconds = duration_cast<std::chrono::seconds>(since);
    if (seconds > since) {
        seconds -= std::chrono::seconds(1);  // floor for moments before the epoch
    }
    const auto milliseconds = duration_cast<std::chrono::milliseconds>(since - seconds).count();
    const std::time_t now = static_cast<std::time_t>(seconds.count());

    std::tm utc{};
    gmtime_r(&now, &utc);
    time = ToSystemTime(utc, static_cast<std::uint16_t>(milliseconds));

    tzset();
    const LocalSample current = Sample(now);
    // Half a year either side finds both states of a zone that has daylight saving.
    std::optional<LocalSample> standard;
    std::optional<LocalSample> daylight;
    for (std::int64_t day = -183; day <= 183; ++day) {
        const LocalSample s = day == 0 ? current : Sample(now + day * kDay);
        auto& slot = s.daylight ? daylight : standard;
        const auto distance = [&](const LocalSample& x) { return std::llabs(x.when - now); };
        if (!slot || distance(s) < distance(*slot)) {
            slot = s;
        }
    }
    if (!standard) {
        // Daylight all year round: treat it as the zone's standard time.
        standard = current;
        daylight.reset();
    }

    timeZone.bias = static_cast<std::int32_t>(-standard->offsetEast / 60);
    CopyName(standard->name, timeZone.standardName);
    if (!daylight) {
        zoneState = kZoneNoDaylight;
        return;
    }
    zoneState = current.daylight ? kZoneDaylight : kZoneStandard;
    CopyName(daylight->name, timeZone.daylightName);
    timeZone.daylightBias =
        static_cast<std::int32_t>(-(daylight->offsetEast - standard->offsetEast) / 60);

    // The transitions around the moment: into daylight time and back into standard time.
    std::time_t previous = now - 183 * kDay;
    for (std::int64_t day = -182; day <= 183; ++day) {
        const std::time_t when = now + day * kDay;
        const LocalSample before = Sample(previous);
        if (Sample(when).daylight != before.daylight) {
            const std::time_t transition = FindTransition(previous, when);
            if (before.daylight) {
                timeZone.standardDate = RecurringDate(transition, before.offsetEast);
            } else {
                timeZone.daylightDate = RecurringDate(transition, before.offsetEast);
            }
        }
        previous = when;
    }
}

STimeData::STimeData(const SSystemTime& time, const STimeZoneInformation& timeZone,
                     std::uint32_t zoneState)
    : time(time), timeZone(timeZone), zoneState(zoneState) {}

STimeData::~STimeData() = default;
