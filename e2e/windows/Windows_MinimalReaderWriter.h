#pragma once
// The least a Win32 program does to move HID reports, the baseline of the Wine measurement
// (../wine_hid.py --measure): one handle with one event per direction, each report one
// ReadFile or WriteFile waited for with GetOverlappedResult, no time-out, no posted read.
// The framing above it is the tool's own, so the two differ in their report transfers only.

#include <cstdint>
#include <span>

#include "USB_HID_DeviceReaderWriter.h"
#include "Windows_HidApi.h"

namespace ArmillonDevice {

class Windows_MinimalReaderWriter : public USB_HID_DeviceReaderWriter {
  public:
    Windows_MinimalReaderWriter() = default;
    ~Windows_MinimalReaderWriter() override;

    ArmillonDeviceError ReadReport(std::span<std::uint8_t> report) override;
    ArmillonDeviceError WriteReport(std::span<const std::uint8_t> report) override;

  protected:
    ArmillonDeviceError OpenDevice(const DeviceIdentifier& identity,
                                   ReportLengths& lengths) override;
    void CloseDevice() override;
    bool IsDeviceOpen() const override { return device_ != INVALID_HANDLE_VALUE; }

  private:
    ArmillonDeviceError Finish(BOOL started, OVERLAPPED& overlapped, DWORD length);

    HANDLE device_ = INVALID_HANDLE_VALUE;
    HANDLE readEvent_ = nullptr;
    HANDLE writeEvent_ = nullptr;
};

}  // namespace ArmillonDevice
