#pragma once
// Report transfers through the Windows HID class driver.
//
// Open tries the device interface path exclusively first and shared second, so that a
// device another program holds can still be reached; the report lengths come from the
// driver's capabilities. Every transfer is overlapped, with an event of its own, and waits
// at most the report time-out; a transfer that does not end in time is cancelled, and its
// buffer stays in use until the cancellation has ended.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>

#include "USB_HID_DeviceReaderWriter.h"
#include "Windows_HidApi.h"

namespace ArmillonDevice {

class Windows_USB_HID_DeviceReaderWriter : public USB_HID_DeviceReaderWriter {
  public:
    // The tool always waits kDefaultTimeout; the Wine harness shortens the wait to see the
    // time-out path against a real driver.
    explicit Windows_USB_HID_DeviceReaderWriter(
        std::shared_ptr<Windows_HidApi> api = Windows_HidApi::System(),
        std::chrono::milliseconds reportTimeout = kDefaultTimeout);
    ~Windows_USB_HID_DeviceReaderWriter() override;

    ArmillonDeviceError ReadReport(std::span<std::uint8_t> report) override;
    ArmillonDeviceError WriteReport(std::span<const std::uint8_t> report) override;

    std::chrono::milliseconds GetReportTimeout() const { return reportTimeout_; }

  protected:
    // GeneralFailure for another identity kind or when the capabilities cannot be read (the
    // device is closed again); OpenFailed when the path opens in neither share mode.
    ArmillonDeviceError OpenDevice(const DeviceIdentifier& identity,
                                   ReportLengths& lengths) override;
    void CloseDevice() override;
    bool IsDeviceOpen() const override;

  private:
    enum class Direction { In, Out };
    ArmillonDeviceError Transfer(Direction direction, void* buffer, std::size_t length);

    std::shared_ptr<Windows_HidApi> api_;
    std::chrono::milliseconds reportTimeout_;
    HANDLE device_ = INVALID_HANDLE_VALUE;  // reads and writes share the one handle
};

}  // namespace ArmillonDevice
