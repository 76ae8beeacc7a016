#pragma once
// The report framing shared by every HID backend. An outgoing block travels as one message
// of as many reports as it needs; incoming messages are reassembled into a receive buffer
// that Read drains by exact byte counts. The platform backends supply the whole-report
// transfers and the open/close that yields the report lengths.

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "ArmillonDeviceError.h"
#include "IReaderWriter.h"

namespace ArmillonDevice {

class USB_HID_DeviceReaderWriter : public IReaderWriter {
  public:
    // Longest wait for one report transfer.
    static constexpr std::chrono::milliseconds kDefaultTimeout{10000};
    // Longest message taken in; a device that never ends its message cannot keep the host
    // reading forever. Far above the longest reply the protocol accepts.
    static constexpr std::size_t kMaxMessageLength = 32u * 1024u * 1024u;

    ~USB_HID_DeviceReaderWriter() override;
    USB_HID_DeviceReaderWriter(const USB_HID_DeviceReaderWriter&) = delete;
    USB_HID_DeviceReaderWriter& operator=(const USB_HID_DeviceReaderWriter&) = delete;

    // GeneralFailure without identity or with an identity the backend cannot open;
    // OpenFailed when the device cannot be opened or its report lengths cannot carry the
    // framing (shorter than 4 bytes, or an output report longer than 514 bytes).
    ArmillonDeviceError Open(const DeviceIdentifier* identity) override;
    void Close() override;
    bool IsOpen() const override;
    ArmillonDeviceError Read(std::span<std::uint8_t> buffer,
                             IReadProgressListener* listener) override;
    ArmillonDeviceError Write(std::span<const std::uint8_t> data) override;
    void SetWriteListener(IWriteProgressListener* listener) override { writeListener_ = listener; }

    // One whole-report transfer, report number first, bounded by GetTimeout(). The report
    // span is exactly the input (ReadReport) or output (WriteReport) report length.
    // Success only when the whole report moved; TransferFailed when it timed out or moved
    // fewer bytes; GeneralFailure when the platform refused the transfer outright
    // (including a transfer on a closed device).
    virtual ArmillonDeviceError ReadReport(std::span<std::uint8_t> report) = 0;
    virtual ArmillonDeviceError WriteReport(std::span<const std::uint8_t> report) = 0;

    // One report into the current-report buffer; TransferFailed for a payload length of 0
    // or one beyond the report's payload room.
    ArmillonDeviceError ReceiveReport();
    // One whole message appended to the receive buffer; TransferFailed once it runs past
    // kMaxMessageLength.
    ArmillonDeviceError ReceiveMessage(IReadProgressListener* listener);

    std::chrono::milliseconds GetTimeout() const { return timeout_; }
    // Report lengths from the last successful open, report number included; 0 before.
    std::uint16_t GetInputReportLength() const { return inputReportLength_; }
    std::uint16_t GetOutputReportLength() const { return outputReportLength_; }
    // Payload bytes received and not yet handed to a reader.
    std::size_t GetBufferedByteCount() const { return receiveBuffer_.size(); }

  protected:
    USB_HID_DeviceReaderWriter();

    struct ReportLengths {
        std::uint16_t input = 0;
        std::uint16_t output = 0;
    };

    // Platform hooks. OpenDevice opens the device the identity names and reports its
    // report lengths: GeneralFailure for an identity of another kind or when the lengths
    // cannot be learned (the device is closed again), OpenFailed when it cannot be opened.
    // Backends call Close() from their own destructor: the hooks are gone by the time this
    // class's destructor runs.
    virtual ArmillonDeviceError OpenDevice(const DeviceIdentifier& identity,
                                           ReportLengths& lengths) = 0;
    virtual void CloseDevice() = 0;
    virtual bool IsDeviceOpen() const = 0;

  private:
    std::chrono::milliseconds timeout_ = kDefaultTimeout;
    std::uint16_t inputReportLength_ = 0;
    std::uint16_t outputReportLength_ = 0;
    std::deque<std::uint8_t> receiveBuffer_;
    std::vector<std::uint8_t> report_;  // the report being sent or received
    IWriteProgressListener* writeListener_ = nullptr;
};

}  // namespace ArmillonDevice
