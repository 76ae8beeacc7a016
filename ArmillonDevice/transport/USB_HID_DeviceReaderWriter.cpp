#include "USB_HID_DeviceReaderWriter.h"

#include <algorithm>

#include "HidReportLayout.h"

namespace ArmillonDevice {

namespace Layout = HidReportLayout;

USB_HID_DeviceReaderWriter::USB_HID_DeviceReaderWriter() = default;

USB_HID_DeviceReaderWriter::~USB_HID_DeviceReaderWriter() = default;

ArmillonDeviceError USB_HID_DeviceReaderWriter::Open(const DeviceIdentifier* identity) {
    if (IsOpen()) {
        return DeviceErrorCode::Success;
    }
    if (identity == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    ReportLengths lengths;
    if (auto result = OpenDevice(*identity, lengths); result.IsError()) {
        return result;
    }
    // A report must carry at least one payload byte, and every output chunk must fit the
    // 9-bit length field; anything else would leave the framing unable to move data.
    if (lengths.input < Layout::kMinReportLength || lengths.output < Layout::kMinReportLength ||
        lengths.output > Layout::kMaxOutputReportLength) {
        CloseDevice();
        return DeviceErrorCode::OpenFailed;
    }
    inputReportLength_ = lengths.input;
    outputReportLength_ = lengths.output;
    return DeviceErrorCode::Success;
}

void USB_HID_DeviceReaderWriter::Close() {
    CloseDevice();
}

bool USB_HID_DeviceReaderWriter::IsOpen() const {
    return IsDeviceOpen();
}

ArmillonDeviceError USB_HID_DeviceReaderWriter::Write(std::span<const std::uint8_t> data) {
    const std::size_t reportLength = outputReportLength_;
    if (!data.empty() && reportLength < Layout::kMinReportLength) {
        // Never opened: there is no report length to frame with.
        return DeviceErrorCode::GeneralFailure;
    }
    const std::size_t room = reportLength - Layout::kHeaderSize;
    const std::size_t count = data.empty() ? 0 : (data.size() + room - 1) / room;
    report_.resize(reportLength);
    for (std::size_t i = 0; i < count; ++i) {
        const auto chunk = data.subspan(i * room, std::min(room, data.size() - i * room));
        Layout::Build(report_, Layout::PositionFlags(i, count), chunk);
        if (auto result = WriteReport(report_); result.IsError()) {
            return result;
        }
        if (writeListener_ != nullptr) {
            writeListener_->OnWritten(static_cast<std::uint32_t>(chunk.size()));
        }
    }
    // Each request starts with an empty receive buffer: leftovers of an earlier reply must
    // never reach the reader of the next one.
    receiveBuffer_.clear();
    return DeviceErrorCode::Success;
}

ArmillonDeviceError USB_HID_DeviceReaderWriter::ReceiveReport() {
    const std::size_t reportLength = inputReportLength_;
    if (reportLength < Layout::kMinReportLength) {
        return DeviceErrorCode::GeneralFailure;
    }
    report_.assign(reportLength, 0);
    if (auto result = ReadReport(report_); result.IsError()) {
        return result;
    }
    const auto header = Layout::ParseHeader(report_);
    // The length is the device's word; it is checked before anything reads the payload.
    if (header.payloadLength == 0 || header.payloadLength > reportLength - Layout::kHeaderSize) {
        return DeviceErrorCode::TransferFailed;
    }
    return DeviceErrorCode::Success;
}

ArmillonDeviceError USB_HID_DeviceReaderWriter::ReceiveMessage(IReadProgressListener* listener) {
    if (auto result = ReceiveReport(); result.IsError()) {
        return result;
    }
    if (!Layout::ParseHeader(report_).IsStart()) {
        return DeviceErrorCode::TransferFailed;
    }
    std::size_t messageLength = 0;
    for (;;) {
        const auto header = Layout::ParseHeader(report_);
        messageLength += header.payloadLength;
        if (messageLength > kMaxMessageLength) {
            return DeviceErrorCode::TransferFailed;
        }
        const std::uint8_t* payload = report_.data() + Layout::kHeaderSize;
        receiveBuffer_.insert(receiveBuffer_.end(), payload, payload + header.payloadLength);
        if (listener != nullptr) {
            listener->OnRead(IReadProgressListener::ValueOf(payload), header.payloadLength);
        }
        if (header.IsEnd()) {
            return DeviceErrorCode::Success;
        }
        // Reports after the first are taken whatever their start flag says.
        if (auto result = ReceiveReport(); result.IsError()) {
            return result;
        }
    }
}

ArmillonDeviceError USB_HID_DeviceReaderWriter::Read(std::span<std::uint8_t> buffer,
                                                     IReadProgressListener* listener) {
    while (receiveBuffer_.size() < buffer.size()) {
        if (auto result = ReceiveMessage(listener); result.IsError()) {
            return result;
        }
    }
    const auto end = receiveBuffer_.begin() + static_cast<std::ptrdiff_t>(buffer.size());
    std::copy(receiveBuffer_.begin(), end, buffer.begin());
    receiveBuffer_.erase(receiveBuffer_.begin(), end);
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
