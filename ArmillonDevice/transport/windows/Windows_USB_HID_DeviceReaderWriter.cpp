#include "Windows_USB_HID_DeviceReaderWriter.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "Windows_USB_DeviceIdentifier.h"

namespace ArmillonDevice {

namespace {

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
    device_ = device;
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    HIDP_CAPS caps{};
    bool known = false;
    if (api_->HidD_GetPreparsedData(device, &preparsed)) {
        known = api_->HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
        api_->HidD_FreePreparsedData(preparsed);
    }
    if (known) {
        readEvent_ = api_->CreateEventW();
        writeEvent_ = api_->CreateEventW();
    }
    if (!known || readEvent_ == nullptr || writeEvent_ == nullptr) {
        CloseDevice();
        return DeviceErrorCode::GeneralFailure;
    }
    lengths.input = caps.InputReportByteLength;
    lengths.output = caps.OutputReportByteLength;
    readBuffer_.assign(caps.InputReportByteLength, 0);
    PostRead();
    return DeviceErrorCode::Success;
}

void Windows_USB_HID_DeviceReaderWriter::CloseDevice() {
    if (device_ != INVALID_HANDLE_VALUE) {
        if (posted_ == Posted::Pending) {
            // The driver may fill the buffer and signal the event until the read has ended.
            api_->CancelIoEx(device_, &readOverlapped_);
            DWORD ignored = 0;
            api_->GetOverlappedResult(device_, &readOverlapped_, &ignored, TRUE);
        }
        api_->CloseHandle(device_);
        device_ = INVALID_HANDLE_VALUE;
    }
    posted_ = Posted::None;
    for (HANDLE* event : {&readEvent_, &writeEvent_}) {
        if (*event != nullptr) {
            api_->CloseHandle(*event);
            *event = nullptr;
        }
    }
}

bool Windows_USB_HID_DeviceReaderWriter::IsDeviceOpen() const {
    return device_ != INVALID_HANDLE_VALUE;
}

void Windows_USB_HID_DeviceReaderWriter::PostRead() {
    posted_ = Posted::None;
    if (readBuffer_.empty() || readBuffer_.size() > MAXDWORD) {
        return;
    }
    readOverlapped_ = OVERLAPPED{};
    readOverlapped_.hEvent = readEvent_;
    DWORD count = 0;
    if (api_->ReadFile(device_, readBuffer_.data(), static_cast<DWORD>(readBuffer_.size()), &count,
                       &readOverlapped_)) {
        posted_ = Posted::Ended;
        postedOk_ = true;
        postedCount_ = count;
    } else if (api_->GetLastError() == ERROR_IO_PENDING) {
        posted_ = Posted::Pending;
    }
    // Refused (a device that left, for one): the next ReadReport asks once more.
}

Windows_USB_HID_DeviceReaderWriter::Ended Windows_USB_HID_DeviceReaderWriter::Finish(
    OVERLAPPED& overlapped, HANDLE event, DWORD& transferred) {
    if (api_->WaitForSingleObject(event, WaitMilliseconds(reportTimeout_)) == WAIT_OBJECT_0) {
        // Ended in time, but maybe with an error: a device that left meanwhile ends it so.
        if (api_->GetOverlappedResult(device_, &overlapped, &transferred, FALSE)) {
            return Ended::Well;
        }
        return api_->GetLastError() == ERROR_OPERATION_ABORTED ? Ended::CancelledElsewhere
                                                               : Ended::Failed;
    }
    api_->CancelIoEx(device_, &overlapped);
    // The driver may still write into the buffer and signal the event until the cancelled
    // transfer has ended; neither may go before that. The transfer may also have ended
    // whole between the time-out and the cancellation: then the watch has carried out the
    // request, or its report has arrived, and that counts.
    transferred = 0;
    return api_->GetOverlappedResult(device_, &overlapped, &transferred, TRUE) ? Ended::Well
                                                                               : Ended::Failed;
}

ArmillonDeviceError Windows_USB_HID_DeviceReaderWriter::ReadReport(std::span<std::uint8_t> report) {
    if (device_ == INVALID_HANDLE_VALUE || report.empty()) {
        return DeviceErrorCode::GeneralFailure;
    }
    // A read cancelled elsewhere (Windows cancels a thread's transfers when the thread ends)
    // carried no report: it is posted once more.
    for (int round = 0; round < 2; ++round) {
        if (posted_ == Posted::None) {
            PostRead();
            if (posted_ == Posted::None) {
                return DeviceErrorCode::GeneralFailure;
            }
        }
        if (posted_ == Posted::Pending) {
            postedCount_ = 0;
            const Ended ended = Finish(readOverlapped_, readEvent_, postedCount_);
            posted_ = Posted::Ended;
            postedOk_ = ended == Ended::Well;
            if (ended == Ended::CancelledElsewhere && round == 0) {
                posted_ = Posted::None;
                continue;
            }
        }
        break;
    }
    const bool whole = postedOk_ && postedCount_ == report.size();
    std::memcpy(report.data(), readBuffer_.data(),
                std::min<std::size_t>({postedCount_, report.size(), readBuffer_.size()}));
    PostRead();
    return whole ? ArmillonDeviceError(DeviceErrorCode::Success)
                 : ArmillonDeviceError(DeviceErrorCode::TransferFailed);
}

ArmillonDeviceError Windows_USB_HID_DeviceReaderWriter::WriteReport(
    std::span<const std::uint8_t> report) {
    if (device_ == INVALID_HANDLE_VALUE || report.empty() || report.size() > MAXDWORD) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto length = static_cast<DWORD>(report.size());
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeEvent_;
    DWORD transferred = 0;
    if (!api_->WriteFile(device_, report.data(), length, &transferred, &overlapped)) {
        if (api_->GetLastError() != ERROR_IO_PENDING) {
            return DeviceErrorCode::GeneralFailure;
        }
        if (Finish(overlapped, writeEvent_, transferred) != Ended::Well) {
            return DeviceErrorCode::TransferFailed;
        }
    }
    return transferred == length ? ArmillonDeviceError(DeviceErrorCode::Success)
                                 : ArmillonDeviceError(DeviceErrorCode::TransferFailed);
}

}  // namespace ArmillonDevice
