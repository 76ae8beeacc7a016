#include "HidReportDescriptor.h"

namespace watchsim {

std::vector<std::uint8_t> VendorReportDescriptor(std::size_t inputLength,
                                                 std::size_t outputLength) {
    const auto low = [](std::size_t n) { return static_cast<std::uint8_t>(n & 0xFF); };
    const auto high = [](std::size_t n) { return static_cast<std::uint8_t>((n >> 8) & 0xFF); };
    return {
        0x06,
        0x00,
        0xFF,  // Usage Page (Vendor Defined 0xFF00)
        0x09,
        0x01,  // Usage (0x01)
        0xA1,
        0x01,  // Collection (Application)
        0x15,
        0x00,  //   Logical Minimum (0)
        0x26,
        0xFF,
        0x00,  //   Logical Maximum (255)
        0x75,
        0x08,  //   Report Size (8)
        0x96,
        low(inputLength),
        high(inputLength),  // Report Count (input length)
        0x09,
        0x01,  //   Usage (0x01)
        0x81,
        0x02,  //   Input (Data, Variable, Absolute)
        0x96,
        low(outputLength),
        high(outputLength),  // Report Count (output length)
        0x09,
        0x01,  //   Usage (0x01)
        0x91,
        0x02,  //   Output (Data, Variable, Absolute)
        0xC0,  // End Collection
    };
}

}  // namespace watchsim
