#pragma once
// Brings the watch clock in line with the PC clock right after connecting. By default the
// watch clock is set only when it lags the PC by a day or more; a positive mode ("/t")
// always sets it, a negative one ("/t-") never touches it. Nothing that happens here stops
// the update: failed reads and writes are ignored.

#include <chrono>
#include <cstdint>
#include <optional>

#include "CTalvenComm.h"
#include "STimeData.h"

inline constexpr std::int64_t kClockLagLimitSeconds = 24 * 60 * 60;

// PC time minus device time in seconds, both taken as UTC calendar times (milliseconds
// ignored); nothing when either is not a valid date and time of day.
std::optional<std::int64_t> ClockDifferenceSeconds(const STimeData& pc, const STimeData& device);

// `now` is the PC moment the watch is compared with and set to.
void SynchronizeDeviceClock(
    CTalvenComm& facade, std::int32_t clockMode,
    std::chrono::system_clock::time_point now = std::chrono::system_clock::now());
