// The current moment and the local zone's settings, taken from the platform's local zone.
// The zone's rules are found by sampling local time across the year around the moment: the
// standard and daylight offsets, their names, and the two transitions.
#include "STimeData.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

#include "ILocalZone.h"

namespace {

constexpr std::int64_t kDay = 24 * 60 * 60;

struct LocalSample {
    std::int64_t when = 0;
    bool daylight = false;
    std::int64_t offsetEast = 0;  // seconds
    std::wstring name;
};

LocalSample Sample(std::int64_t when) {
    LocalZoneSample zone = PlatformLocalZone().At(when);
    return {when, zone.daylight, zone.offsetEast, std::move(zone.name)};
}

// The calendar fields of a moment in seconds since the epoch, read as UTC.
struct Calendar {
    int year = 1970;
    int month = 1;  // 1 to 12
    int day = 1;
    int dayOfWeek = 4;  // 0 = Sunday
    int hour = 0;
    int minute = 0;
    int second = 0;
};

Calendar UtcCalendar(std::int64_t seconds) {
    using namespace std::chrono;
    const sys_seconds moment{std::chrono::seconds(seconds)};
    const auto day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss clock{moment - day};
    Calendar c;
    c.year = static_cast<int>(date.year());
    c.month = static_cast<int>(static_cast<unsigned>(date.month()));
    c.day = static_cast<int>(static_cast<unsigned>(date.day()));
    c.dayOfWeek = static_cast<int>(weekday{day}.c_encoding());
    c.hour = static_cast<int>(clock.hours().count());
    c.minute = static_cast<int>(clock.minutes().count());
    c.second = static_cast<int>(clock.seconds().count());
    return c;
}

SSystemTime ToSystemTime(const Calendar& c, std::uint16_t milliseconds) {
    SSystemTime t;
    t.year = static_cast<std::uint16_t>(c.year);
    t.month = static_cast<std::uint16_t>(c.month);
    t.dayOfWeek = static_cast<std::uint16_t>(c.dayOfWeek);
    t.day = static_cast<std::uint16_t>(c.day);
    t.hour = static_cast<std::uint16_t>(c.hour);
    t.minute = static_cast<std::uint16_t>(c.minute);
    t.second = static_cast<std::uint16_t>(c.second);
    t.milliseconds = milliseconds;
    return t;
}

void CopyName(const std::wstring& name, std::array<wchar_t, 32>& out) {
    out.fill(L'\0');
    std::copy_n(name.begin(), std::min(name.size(), out.size() - 1), out.begin());
}

// The first second at which the zone's daylight state differs from the state at `from`,
// known to happen before `to`.
std::int64_t FindTransition(std::int64_t from, std::int64_t to) {
    const bool state = Sample(from).daylight;
    while (to - from > 1) {
        const std::int64_t middle = from + (to - from) / 2;
        (Sample(middle).daylight == state ? from : to) = middle;
    }
    return to;
}

// A yearly transition in the recurring form of a time-zone record: year 0, the month, the
// weekday, its occurrence in the month (5 = last) and the local time on the clock that is
// being left.
SSystemTime RecurringDate(std::int64_t transition, std::int64_t offsetBefore) {
    const Calendar local = UtcCalendar(transition + offsetBefore);
    SSystemTime date = ToSystemTime(local, 0);
    date.year = 0;
    const int daysInMonth = [&] {
        static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const int year = local.year;
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        return kDays[local.month - 1] + (local.month == 2 && leap ? 1 : 0);
    }();
    date.day =
        static_cast<std::uint16_t>(local.day + 7 > daysInMonth ? 5 : (local.day - 1) / 7 + 1);
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
    const std::int64_t now = seconds.count();

    time = ToSystemTime(UtcCalendar(now), static_cast<std::uint16_t>(milliseconds));

    PlatformLocalZone().Refresh();
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
    std::int64_t previous = now - 183 * kDay;
    for (std::int64_t day = -182; day <= 183; ++day) {
        const std::int64_t when = now + day * kDay;
        const LocalSample before = Sample(previous);
        if (Sample(when).daylight != before.daylight) {
            const std::int64_t transition = FindTransition(previous, when);
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
