#pragma once
// The report transfers over an in-process virtual watch. Where a real device would keep the
// host waiting (the watch has nothing to send), the read pauses for the time-out through
// common::Pause and fails, so tests see the wait without sleeping through it.

#include "HostPort.h"
#include "USB_HID_DeviceReaderWriter.h"

namespace ArmillonDevice {

class VirtualWatch_HID_DeviceReaderWriter : public USB_HID_DeviceReaderWriter {
  public:
    VirtualWatch_HID_DeviceReaderWriter() = default;
    ~VirtualWatch_HID_DeviceReaderWriter() override;

    ArmillonDeviceError ReadReport(std::span<std::uint8_t> report) override;
    ArmillonDeviceError WriteReport(std::span<const std::uint8_t> report) override;

  protected:
    ArmillonDeviceError OpenDevice(const DeviceIdentifier& identity,
                                   ReportLengths& lengths) override;
    void CloseDevice() override;
    bool IsDeviceOpen() const override;

  private:
    watchsim::HostPort* port_ = nullptr;  // borrowed, set while open
    std::vector<std::uint8_t> incoming_;
};

}  // namespace ArmillonDevice
