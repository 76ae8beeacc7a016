// Feeds arbitrary bytes to the report descriptor parser as the kernel would hand them over.
// A descriptor it accepts must give lengths the framing can use.

#include <cstddef>
#include <cstdint>
#include <span>

#include "ReportDescriptorLengths.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    namespace Descriptor = ArmillonDevice::ReportDescriptorLengths;
    const auto result = Descriptor::Parse(std::span<const std::uint8_t>(data, size));
    if (result.verdict == Descriptor::Verdict::Usable) {
        for (const std::size_t length :
             {std::size_t{result.lengths.input}, std::size_t{result.lengths.output}}) {
            if (length < Descriptor::kMinReportLength || length > Descriptor::kMaxReportLength) {
                __builtin_trap();
            }
        }
    }
    return 0;
}
