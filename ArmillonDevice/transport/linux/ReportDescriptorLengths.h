#pragma once
// The report lengths a HID report descriptor declares, as the host counts them: the bits of
// every Input (or Output) main item of the unnumbered report, rounded up to bytes, plus the
// report-number byte in front. The watch speaks unnumbered reports only; a descriptor that
// declares report numbers, or lengths the framing cannot use, is refused.
//
// Only the items that change the lengths are interpreted (Report Size, Report Count, Report
// ID, Push, Pop, Input, Output); every other item is stepped over by its size.

#include <cstddef>
#include <cstdint>
#include <span>

namespace ArmillonDevice::ReportDescriptorLengths {

// Shortest report that carries one payload byte, longest whose payload room the 9-bit length
// field can express; the report-number byte included.
inline constexpr std::size_t kMinReportLength = 4;
inline constexpr std::size_t kMaxReportLength = 514;

enum class Verdict {
    Usable,
    Malformed,         // an item runs past the end, a reserved item, Pop without Push
    NumberedReports,   // a Report ID item
    LengthOutOfRange,  // input or output length outside kMinReportLength..kMaxReportLength
};

struct Lengths {
    std::uint16_t input = 0;
    std::uint16_t output = 0;
};

struct Result {
    Verdict verdict = Verdict::Malformed;
    // Set when the verdict is Usable.
    Lengths lengths;
};

Result Parse(std::span<const std::uint8_t> descriptor);

}  // namespace ArmillonDevice::ReportDescriptorLengths
