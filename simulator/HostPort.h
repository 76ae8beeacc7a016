#pragma once
// The host's side of one virtual watch, at the level of whole HID reports: what a HID
// driver would see. The in-process tests plug the host library's report read/write into
// this; the FUSE hidraw node serves the same port to the kernel.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace watchsim {

enum class ReadOutcome {
    Report,  // one input report was returned
    Silent,  // nothing is coming: a real host would wait until its time-out
    Gone,    // the watch is unplugged or rebooting
};

class HostPort {
  public:
    virtual ~HostPort() = default;

    virtual std::uint16_t VendorId() const = 0;
    virtual std::uint16_t ProductId() const = 0;
    // False while the watch is unplugged or rebooting; enumeration does not list it then.
    virtual bool Present() const = 0;
    // Report lengths as the host counts them, the report-number byte included (65 for a
    // watch with 64-byte reports).
    virtual std::size_t InputReportLength() const = 0;
    virtual std::size_t OutputReportLength() const = 0;

    // Opens a host handle; false when the watch is not present or another program holds it.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // One output report, report number (0x00) first, OutputReportLength() bytes.
    // False when the handle is not open or the watch is gone.
    virtual bool WriteReport(std::span<const std::uint8_t> report) = 0;
    // The next input report, report number (0x00) first, InputReportLength() bytes.
    virtual ReadOutcome ReadReport(std::vector<std::uint8_t>& report) = 0;
};

}  // namespace watchsim
