#include "HidReportLayout.h"

#include <algorithm>
#include <cassert>

namespace ArmillonDevice::HidReportLayout {

void Build(std::span<std::uint8_t> report, std::uint8_t positionFlags,
           std::span<const std::uint8_t> payload) {
    assert(report.size() >= kHeaderSize && payload.size() <= report.size() - kHeaderSize &&
           payload.size() <= kMaxPayloadLength);
    const auto length = static_cast<std::uint16_t>(payload.size());
    report[0] = kReportNumber;
    report[1] = static_cast<std::uint8_t>(positionFlags | ((length >> 8) & kLengthBit8));
    report[2] = static_cast<std::uint8_t>(length & 0xFF);
    auto rest = std::copy(payload.begin(), payload.end(), report.begin() + kHeaderSize);
    std::fill(rest, report.end(), std::uint8_t{0});
}

Header ParseHeader(std::span<const std::uint8_t> report) {
    assert(report.size() >= kHeaderSize);
    Header header;
    header.flags = report[1];
    header.payloadLength = static_cast<std::uint16_t>((report[1] & kLengthBit8) << 8 | report[2]);
    return header;
}

}  // namespace ArmillonDevice::HidReportLayout
