#include "DeviceClockSynchronization.h"

namespace {

std::optional<std::chrono::sys_seconds> CalendarTime(const SSystemTime& t) {
    using namespace std::chrono;
    const year_month_day date{year{t.year}, month{t.month}, day{t.day}};
    if (!date.ok() || t.hour > 23 || t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    return sys_days{date} + hours{t.hour} + minutes{t.minute} + seconds{t.second};
}

}  // namespace

std::optional<std::int64_t> ClockDifferenceSeconds(const STimeData& pc, const STimeData& device) {
    const auto pcTime = CalendarTime(pc.time);
    const auto deviceTime = CalendarTime(device.time);
    if (!pcTime || !deviceTime) {
        return std::nullopt;
    }
    return (*pcTime - *deviceTime).count();
}

void SynchronizeDeviceClock(CTalvenComm& facade, std::int32_t clockMode,
                            std::chrono::system_clock::time_point now) {
    if (clockMode < 0) {
        return;
    }
    STimeData pc(now);
    if (clockMode > 0) {
        facade.SetTime(&pc);
        return;
    }
    // After a failed read this still holds the PC moment, so nothing is written.
    STimeData device(now);
    facade.GetTime(&device);
    const auto difference = ClockDifferenceSeconds(pc, device);
    // A watch whose clock is not a valid date at all is set as one that lags behind.
    if (!difference || *difference >= kClockLagLimitSeconds) {
        facade.SetTime(&pc);
    }
}
