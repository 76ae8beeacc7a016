#pragma once
// The layout of one HID report, the same in both directions (L = that direction's report
// length, report number byte included):
//
//   offset 0      report number, always 0x00
//   offset 1      flags: 0x80 start of a message, 0x40 end of a message,
//                 bit 0 = bit 8 of the payload length, other bits 0
//   offset 2      bits 0-7 of the payload length (0 to 511)
//   offset 3..L-1 payload, then 0x00 up to the end of the report
//
// A message runs from a report with the start flag to one with the end flag; a message of
// one report carries both (0xC0).

#include <cstddef>
#include <cstdint>
#include <span>

namespace ArmillonDevice::HidReportLayout {

inline constexpr std::size_t kHeaderSize = 3;
inline constexpr std::uint8_t kReportNumber = 0x00;
inline constexpr std::uint8_t kStartFlag = 0x80;
inline constexpr std::uint8_t kEndFlag = 0x40;
inline constexpr std::uint8_t kLengthBit8 = 0x01;
inline constexpr std::size_t kMaxPayloadLength = 511;
// Shortest report that carries a payload byte; longest output report whose whole payload
// room the 9-bit length field can express.
inline constexpr std::size_t kMinReportLength = kHeaderSize + 1;
inline constexpr std::size_t kMaxOutputReportLength = kHeaderSize + kMaxPayloadLength;

// Position flags of report `index` of a message of `count` reports.
constexpr std::uint8_t PositionFlags(std::size_t index, std::size_t count) {
    if (count == 1) {
        return kStartFlag | kEndFlag;
    }
    if (index == 0) {
        return kStartFlag;
    }
    return index + 1 == count ? kEndFlag : 0x00;
}

// Fills the whole report: header, the payload, zero padding. The payload must fit the
// report (at most report.size() - 3 bytes, at most 511).
void Build(std::span<std::uint8_t> report, std::uint8_t positionFlags,
           std::span<const std::uint8_t> payload);

struct Header {
    std::uint8_t flags = 0;
    std::uint16_t payloadLength = 0;

    bool IsStart() const { return (flags & kStartFlag) != 0; }
    bool IsEnd() const { return (flags & kEndFlag) != 0; }
};

// The header of a report of at least kHeaderSize bytes.
Header ParseHeader(std::span<const std::uint8_t> report);

}  // namespace ArmillonDevice::HidReportLayout
