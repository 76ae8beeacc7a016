#pragma once
// Report transfers through a kernel hidraw node.
//
// Open first checks that the device behind the node is the one identified (the kernel reuses
// node numbers; another device gives OpenFailed), then takes an advisory lock on the node,
// exclusive when it can be had, else shared; a node another program holds exclusively does
// not open, so two copies of the tool never drive one watch at once. The report lengths come from
// the node's report descriptor.
//
// Every transfer waits at most the report time-out. A watch that is unplugged while a
// transfer waits ends it at once with TransferFailed.

#include <chrono>
#include <cstdint>
#include <span>
#include <vector>

#include "Linux_UniqueFd.h"
#include "USB_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {

class Linux_USB_HID_DeviceReaderWriter : public USB_HID_DeviceReaderWriter {
  public:
    // The tool always waits kDefaultTimeout; tests shorten the wait to see the time-out path.
    explicit Linux_USB_HID_DeviceReaderWriter(
        std::chrono::milliseconds reportTimeout = kDefaultTimeout);
    ~Linux_USB_HID_DeviceReaderWriter() override;

    ArmillonDeviceError ReadReport(std::span<std::uint8_t> report) override;
    ArmillonDeviceError WriteReport(std::span<const std::uint8_t> report) override;

    std::chrono::milliseconds GetReportTimeout() const { return reportTimeout_; }

  protected:
    // GeneralFailure for another identity kind or a descriptor the framing cannot use;
    // OpenFailed when the node cannot be opened or another program holds it exclusively.
    ArmillonDeviceError OpenDevice(const DeviceIdentifier& identity,
                                   ReportLengths& lengths) override;
    void CloseDevice() override;
    bool IsDeviceOpen() const override;

    // Takes over a node opened elsewhere, without descriptor or lock (tests hand in one end
    // of a socket pair, which keeps report boundaries as a hidraw node does).
    void AdoptNode(common::Linux_UniqueFd node);

  private:
    std::chrono::milliseconds reportTimeout_;
    common::Linux_UniqueFd node_;
    std::vector<std::uint8_t> incoming_;  // one report as the kernel hands it over
};

}  // namespace ArmillonDevice
