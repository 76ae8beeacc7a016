#pragma once
// The device clock record (data 0x2010, data number 0). The device chooses its size, at
// least 32 bytes; only the first ten are interpreted, the rest is written back as read:
//   0  2  year, little-endian
//   2  1  month
//   3  1  day of month
//   4  1  hour
//   5  1  minute
//   6  1  second
//   7  1  day of week, 1 = Monday to 7 = Sunday
//   8  1  signed: offset of standard local time from UTC, in quarter hours (east positive)
//   9  1  signed: additional offset now in effect, in quarter hours

#include <cstddef>
#include <cstdint>
#include <span>

#include "STimeData.h"

namespace ArmillonDevice::DeviceClockRecord {

inline constexpr std::uint16_t kDataId = 0x2010;
inline constexpr std::uint16_t kDataNumber = 0;
inline constexpr std::size_t kMinimumSize = 32;
inline constexpr std::size_t kFieldBytes = 10;

// Writes the first ten bytes of the record from the time data; false (nothing written)
// when the record is shorter than ten bytes.
bool Store(const STimeData& time, std::span<std::uint8_t> record);

// Fills the date, time, day of week, bias and daylight bias of `time` from the first ten
// bytes (milliseconds 0); every other field keeps its value. The biases come back with the
// sign Store wrote them with, so a stored clock reads back the same. False (nothing
// changed) when the record is shorter than ten bytes.
bool Load(std::span<const std::uint8_t> record, STimeData& time);

}  // namespace ArmillonDevice::DeviceClockRecord
