#include "Windows_USB_HID_DeviceReaderWriter.h"

#include <algorithm>
#include <utility>

#include "Windows_USB_DeviceIdentifier.h"

namespace ArmillonDevice {

namespace {

// Closes the transfer's event whichever way the transfer ends.
class EventHandle {
  public:
    EventHandle(Windows_HidApi& api, HANDLE handle) : api_(api), handle_(handle) {}
    ~EventHandle() {
        if (handle_ != nullptr) {
            api_.CloseHandle(handle_);
        }
    }
    EventHandle(const EventHandle&) = delete;
    EventHandle& operator=(const EventHandle&) = delete;

    HANDLE Get() const { return handle_; }

  private:
    Windows_HidApi& api_;
    HANDLE handle_;
};

DWORD WaitMilliseconds(std::chrono::milliseconds timeout) {
    // INFINITE is one above the longest finite wait.
    const auto count = std::clamp<std::chrono::milliseconds::rep>(timeout.count(), 0, INFINITE - 1);
    return static_cast<DWORD>(count);
}

}  // namespace

Windows_USB_HID_DeviceReaderWriter::Windows_USB_HID_DeviceReaderWriter(
    std::shared_ptr<Windows_HidApi> api, std::chrono::milliseconds reportTimeout)
    : api_(std::move(api)), reportTimeout_(reportTimeout) {}

Windows_USB_HID_DeviceReaderWriter::~Windows_USB_HID_DeviceReaderWriter() {
    Close();
}

ArmillonDeviceError Windows_USB_HID_DeviceReaderWriter::OpenDevice(const DeviceIdentifier& identity,
                                                                   ReportLengths& lengths) {
    const auto* usb = dynamic_cast<const Windows_USB_DeviceIdentifier*>(&identity);
    if (usb == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    constexpr DWORD access = GENERIC_READ | GENERIC_WRITE;
    HANDLE device = api_->CreateFileW(usb->GetPath(), access, 0, FILE_FLAG_OVERLAPPED);
    if (device == INVALID_HANDLE_VALUE) {
        device = api_->CreateFileW(usb->GetPath(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   FILE_FLAG_OVERLAPPED);
    }
    if (device == INVALID_HANDLE_VALUE) {
        return DeviceErrorCode::OpenFailed;
    }
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    HIDP_CAPS caps{};
    bool known = false;
    if (api_->HidD_GetPreparsedData(device, &preparsed)) {
        known = api_->HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
        api_->HidD_FreePreparsedData(preparsed);
    }
    if (!known) {
        api_->CloseHandle(device);
        return DeviceErrorCode::GeneralFailure;
    }
    lengths.input = caps.InputReportByteLength;
    lengths.output = caps.OutputReportByteLength;
    device_ = device;
    return DeviceErrorCode::Success;
}

void Windows_USB_HID_DeviceReaderWriter::CloseDevice() {
    if (device_ != INVALID_HANDLE_VALUE) {
        api_->CloseHandle(device_);
        device_ = INVALID_HANDLE_VALUE;
    }
}

bool Windows_USB_HID_DeviceReaderWriter::IsDeviceOpen() const {
    return device_ != INVALID_HANDLE_VALUE;
}

ArmillonDeviceError Windows_USB_HID_DeviceReaderWriter::ReadReport(std::span<std::uint8_t> report) {
    return Transfer(Direction::In, report.data(), report.size());
}

ArmillonDeviceError Windows_USB_HID_DeviceReaderWriter::WriteReport(
    std::span<const std::uint8_t> report) {
    // WriteFile only reads the buffer; the cast meets the one transfer routine for both ways.
    return Transfer(Direction::Out, const_cast<std::uint8_t*>(report.data()), report.size());
}

ArmillonDeviceError Windows_USB_HID_DeviceReaderWriter::Transfer(Direction direction, void* buffer,
                                                                 std::size_t size) {
    if (device_ == INVALID_HANDLE_VALUE || size == 0 || size > MAXDWORD) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto length = static_cast<DWORD>(size);
    const EventHandle event(*api_, api_->CreateEventW());
    if (event.Get() == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    OVERLAPPED overlapped{};
    overlapped.hEvent = event.Get();
    DWORD transferred = 0;
    const BOOL done = direction == Direction::In
                          ? api_->ReadFile(device_, buffer, length, &transferred, &overlapped)
                          : api_->WriteFile(device_, buffer, length, &transferred, &overlapped);
    if (!done) {
        if (api_->GetLastError() != ERROR_IO_PENDING) {
            return DeviceErrorCode::GeneralFailure;
        }
        if (api_->WaitForSingleObject(event.Get(), WaitMilliseconds(reportTimeout_)) !=
            WAIT_OBJECT_0) {
            api_->CancelIo(device_);
            // The driver may still write into the buffer and signal the event until the
            // cancelled transfer has ended; neither may go before that.
            api_->GetOverlappedResult(device_, &overlapped, &transferred, TRUE);
            return DeviceErrorCode::TransferFailed;
        }
        // A transfer that ended within the time-out still counts only when it ended well
        // and moved the whole report: a device that left meanwhile ends it with an error.
        if (!api_->GetOverlappedResult(device_, &overlapped, &transferred, FALSE)) {
            return DeviceErrorCode::TransferFailed;
        }
    }
    return transferred == length ? ArmillonDeviceError(DeviceErrorCode::Success)
                                 : ArmillonDeviceError(DeviceErrorCode::TransferFailed);
}

}  // namespace ArmillonDevice
