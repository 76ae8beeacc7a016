#pragma once
// Report transfers through the Windows HID class driver.
//
// Open tries the device interface path exclusively first and shared second, so that a
// device another program holds can still be reached; the report lengths come from the
// driver's capabilities. Every transfer is overlapped and waits at most the report time-out;
// a transfer that does not end in time is cancelled, its buffer stays in use until the
// cancellation has ended, and a transfer that still ended whole counts.
//
// One read is always posted while the device is open, from the moment it opens: a report
// the watch sends completes it whether or not the watch leaves the bus right afterwards
// (as it does after the reply to a command that ends the connection), where a read started
// after the removal would fail. The two events (read, write) live as long as the open device.

#include <chrono>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

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
    // Where the posted read stands.
    enum class Posted {
        None,     // nothing posted (the device refused the last read)
        Pending,  // in flight
        Ended,    // ended; the outcome waits in postedOk_ and postedCount_
    };

    // How a pending transfer ended.
    enum class Ended {
        Well,                // without error (whole or not: see the count)
        Failed,              // with an error, or cancelled at its time-out
        CancelledElsewhere,  // cancelled by no one here: the thread that started it ended
    };

    void PostRead();
    // Waits for the pending transfer of `overlapped` for the report time-out, cancels it when
    // it has not ended by then, and waits until it has: it may still have ended whole.
    Ended Finish(OVERLAPPED& overlapped, HANDLE event, DWORD& transferred);

    std::shared_ptr<Windows_HidApi> api_;
    std::chrono::milliseconds reportTimeout_;
    HANDLE device_ = INVALID_HANDLE_VALUE;  // reads and writes share the one handle
    HANDLE readEvent_ = nullptr;
    HANDLE writeEvent_ = nullptr;
    // The posted read: its record and buffer stay put while the driver may fill them.
    OVERLAPPED readOverlapped_{};
    std::vector<std::uint8_t> readBuffer_;
    Posted posted_ = Posted::None;
    bool postedOk_ = false;
    DWORD postedCount_ = 0;
};

}  // namespace ArmillonDevice
