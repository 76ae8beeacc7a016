#include "DeviceClockSynchronization.h"

#include <string>

#include "Transcript.h"

namespace {

std::optional<std::chrono::sys_seconds> CalendarTime(const SSystemTime& t) {
    using namespace std::chrono;
    const year_month_day date{year{t.year}, month{t.month}, day{t.day}};
    if (!date.ok() || t.hour > 23 || t.minute > 59 || t.second > 59) {
        return std::nullopt;
    }
    return sys_days{date} + hours{t.hour} + minutes{t.minute} + seconds{t.second};
}

std::string DescribeResult(std::int32_t result) {
    return ArmillonDevice::DescribeDeviceErrorWithCode(result);
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
    auto* transcript = facade.GetTranscript();
    const auto tell = [&](const std::string& line) {
        if (transcript != nullptr) {
            transcript->Line("clock: " + line);
        }
    };
    const auto set = [&](STimeData& pc, const std::string& why) {
        const auto result = facade.SetTime(&pc);
        tell(why + ": set to " + common::FormatTimestamp(now) +
             (result == 0 ? std::string(", ok") : ", failed: " + DescribeResult(result)));
    };
    if (clockMode < 0) {
        tell("left alone (/t-)");
        return;
    }
    STimeData pc(now);
    if (clockMode > 0) {
        set(pc, "always set (/t)");
        return;
    }
    // After a failed read this still holds the PC moment, so nothing is written.
    STimeData device(now);
    if (const auto read = facade.GetTime(&device); read != 0) {
        tell("cannot be read (" + DescribeResult(read) + "), left alone");
        return;
    }
    const auto difference = ClockDifferenceSeconds(pc, device);
    // A watch whose clock is not a valid date at all is set as one that lags behind.
    if (!difference) {
        set(pc, "the watch's clock is not a valid date");
    } else if (*difference >= kClockLagLimitSeconds) {
        set(pc, "the watch is " + std::to_string(*difference) + " s behind");
    } else {
        tell("the watch is " + std::to_string(*difference) +
             " s behind, less than a day: left alone");
    }
}
