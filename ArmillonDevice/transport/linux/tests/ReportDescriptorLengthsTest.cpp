// Report lengths from report descriptors: the shapes a vendor-defined watch interface takes,
// the limits of the framing, and descriptors that must be refused without reading past
// their end.
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "ReportDescriptorLengths.h"

namespace ArmillonDevice {
namespace {

using Bytes = std::vector<std::uint8_t>;
using ReportDescriptorLengths::Verdict;

Bytes operator+(Bytes a, const Bytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// Report Count with a two-byte value.
Bytes Count(std::uint16_t count) {
    return {0x96, static_cast<std::uint8_t>(count), static_cast<std::uint8_t>(count >> 8)};
}

const Bytes kOpen = {0x06, 0x00, 0xFF,           // Usage Page (vendor 0xFF00)
                     0x09, 0x01,                 // Usage (1)
                     0xA1, 0x01,                 // Collection (Application)
                     0x15, 0x00,                 // Logical Minimum (0)
                     0x26, 0xFF, 0x00,           // Logical Maximum (255)
                     0x75, 0x08};                // Report Size (8)
const Bytes kInput = {0x09, 0x02, 0x81, 0x02};   // Usage, Input (Data, Var, Abs)
const Bytes kOutput = {0x09, 0x03, 0x91, 0x02};  // Usage, Output (Data, Var, Abs)
const Bytes kClose = {0xC0};                     // End Collection

// A vendor interface with one input and one output report of whole bytes, no report IDs.
Bytes Vendor(std::uint16_t inputBytes, std::uint16_t outputBytes, const Bytes& extra = {}) {
    return kOpen + extra + Count(inputBytes) + kInput + Count(outputBytes) + kOutput + kClose;
}

struct Case {
    std::string name;
    Bytes descriptor;
    Verdict verdict;
    std::uint16_t input = 0;
    std::uint16_t output = 0;
};

TEST(ReportDescriptorLengthsTest, LengthsAndVerdicts) {
    const std::vector<Case> cases = {
        {"64-byte reports", Vendor(64, 64), Verdict::Usable, 65, 65},
        {"512-byte reports", Vendor(512, 512), Verdict::Usable, 513, 513},
        {"different lengths per direction", Vendor(32, 128), Verdict::Usable, 33, 129},
        {"shortest usable", Vendor(3, 3), Verdict::Usable, 4, 4},
        {"longest usable", Vendor(513, 513), Verdict::Usable, 514, 514},
        {"input too short", Vendor(2, 64), Verdict::LengthOutOfRange},
        {"output too long", Vendor(64, 514), Verdict::LengthOutOfRange},
        {"input too long", Vendor(600, 64), Verdict::LengthOutOfRange},
        {"no output report", kOpen + Count(64) + kInput + kClose, Verdict::LengthOutOfRange},
        {"empty descriptor", {}, Verdict::LengthOutOfRange},
        {"report ID", Vendor(64, 64, {0x85, 0x01}), Verdict::NumberedReports},
        {"report ID after the reports", Vendor(64, 64) + Bytes{0x85, 0x02},
         Verdict::NumberedReports},
        // Input items add up, padding included; odd bit counts round up to a byte.
        {"several input items",
         kOpen + Count(31) + kInput + Bytes{0x75, 0x01, 0x95, 0x0C, 0x81, 0x03} +  // 12 bits
             Bytes{0x75, 0x08} + Count(64) + kOutput + kClose,
         Verdict::Usable, 31 + 2 + 1, 65},
        // Push keeps Report Size 8 / Count 64 for the input after a 16-bit feature report.
        {"push and pop",
         kOpen + Count(64) + Bytes{0xA4, 0x75, 0x10, 0x95, 0x01, 0xB1, 0x02, 0xB4} + kInput +
             kOutput + kClose,
         Verdict::Usable, 65, 65},
        {"feature reports do not count", Vendor(64, 64, Count(400) + Bytes{0xB1, 0x02}),
         Verdict::Usable, 65, 65},
        {"four-byte item data", kOpen + Bytes{0x97, 0x40, 0, 0, 0} + kInput + kOutput + kClose,
         Verdict::Usable, 65, 65},
        {"long item stepped over", Vendor(64, 64, {0xFE, 0x02, 0x10, 0x85, 0x01}), Verdict::Usable,
         65, 65},
        {"huge size times count",
         Vendor(64, 64) + Bytes{0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF} +
             kInput + kInput,
         Verdict::LengthOutOfRange},
        {"pop without push", Vendor(64, 64, {0xB4}), Verdict::Malformed},
        {"reserved item type", Vendor(64, 64, {0xFC}), Verdict::Malformed},
        {"short item cut off", Vendor(64, 64) + Bytes{0x26, 0xFF}, Verdict::Malformed},
        {"long item cut off", Vendor(64, 64) + Bytes{0xFE, 0x04, 0x10, 0x00}, Verdict::Malformed},
        {"long item header cut off", Vendor(64, 64) + Bytes{0xFE, 0x04}, Verdict::Malformed},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // A copy of exactly the descriptor's size, so ASan sees any read past its end.
        const std::vector<std::uint8_t> bytes(c.descriptor.begin(), c.descriptor.end());
        const auto result = ReportDescriptorLengths::Parse(bytes);
        EXPECT_EQ(result.verdict, c.verdict);
        if (c.verdict == Verdict::Usable) {
            EXPECT_EQ(result.lengths.input, c.input);
            EXPECT_EQ(result.lengths.output, c.output);
        }
    }
}

}  // namespace
}  // namespace ArmillonDevice
