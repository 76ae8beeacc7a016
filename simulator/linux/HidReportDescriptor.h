#pragma once
// The watch's HID report descriptor: one vendor-defined collection with an input and an output
// report of the given lengths, no report IDs.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace watchsim {

std::vector<std::uint8_t> VendorReportDescriptor(std::size_t inputLength, std::size_t outputLength);

}  // namespace watchsim
