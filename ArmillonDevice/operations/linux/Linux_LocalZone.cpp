#include "Linux_LocalZone.h"

#include <time.h>

#include <ctime>

#include "TextConversion.h"

void Linux_LocalZone::Refresh() {
    tzset();
}

LocalZoneSample Linux_LocalZone::At(std::int64_t utcSeconds) {
    const auto when = static_cast<std::time_t>(utcSeconds);
    std::tm local{};
    localtime_r(&when, &local);
    LocalZoneSample sample;
    sample.daylight = local.tm_isdst > 0;
    sample.offsetEast = local.tm_gmtoff;
    sample.name = common::NarrowToWide(local.tm_zone != nullptr ? local.tm_zone : "");
    return sample;
}
