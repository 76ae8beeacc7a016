#include "DeviceClockRecord.h"

#include "ByteOrder.h"

namespace ArmillonDevice::DeviceClockRecord {
namespace {

constexpr std::uint16_t kSunday = 0;
constexpr std::uint8_t kDeviceSunday = 7;
constexpr std::int32_t kMinutesPerQuarterHour = 15;

// Biases count minutes west (UTC = local + bias); the record counts quarter hours east.
std::uint8_t QuarterHoursEast(std::int32_t biasMinutes) {
    return static_cast<std::uint8_t>(
        static_cast<std::int8_t>(biasMinutes / -kMinutesPerQuarterHour));
}

std::int32_t BiasMinutes(std::uint8_t quarterHoursEast) {
    return static_cast<std::int8_t>(quarterHoursEast) * -kMinutesPerQuarterHour;
}

}  // namespace

bool Store(const STimeData& time, std::span<std::uint8_t> record) {
    if (record.size() < kFieldBytes) {
        return false;
    }
    const auto& t = time.time;
    common::StoreLE16(record.data(), t.year);
    record[2] = static_cast<std::uint8_t>(t.month);
    record[3] = static_cast<std::uint8_t>(t.day);
    record[4] = static_cast<std::uint8_t>(t.hour);
    record[5] = static_cast<std::uint8_t>(t.minute);
    record[6] = static_cast<std::uint8_t>(t.second);
    record[7] = t.dayOfWeek == kSunday ? kDeviceSunday : static_cast<std::uint8_t>(t.dayOfWeek);
    record[8] = QuarterHoursEast(time.timeZone.bias);
    switch (time.zoneState) {
        case STimeData::kZoneStandard:
            record[9] = QuarterHoursEast(time.timeZone.standardBias);
            break;
        case STimeData::kZoneDaylight:
            record[9] = QuarterHoursEast(time.timeZone.daylightBias);
            break;
        default:
            record[9] = 0;
            break;
    }
    return true;
}

bool Load(std::span<const std::uint8_t> record, STimeData& time) {
    if (record.size() < kFieldBytes) {
        return false;
    }
    auto& t = time.time;
    t.year = common::LoadLE16(record.data());
    t.month = record[2];
    t.day = record[3];
    t.hour = record[4];
    t.minute = record[5];
    t.second = record[6];
    t.milliseconds = 0;
    t.dayOfWeek = record[7] == kDeviceSunday ? kSunday : record[7];
    time.timeZone.bias = BiasMinutes(record[8]);
    time.timeZone.daylightBias = BiasMinutes(record[9]);
    return true;
}

}  // namespace ArmillonDevice::DeviceClockRecord
