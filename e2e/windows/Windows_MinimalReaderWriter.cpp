#include "Windows_MinimalReaderWriter.h"

#include "Windows_USB_DeviceIdentifier.h"

namespace ArmillonDevice {

Windows_MinimalReaderWriter::~Windows_MinimalReaderWriter() {
    Close();
}

ArmillonDeviceError Windows_MinimalReaderWriter::OpenDevice(const DeviceIdentifier& identity,
                                                            ReportLengths& lengths) {
    const auto& usb = static_cast<const Windows_USB_DeviceIdentifier&>(identity);
    device_ = ::CreateFileW(usb.GetPath(), GENERIC_READ | GENERIC_WRITE,
                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_FLAG_OVERLAPPED, nullptr);
    if (device_ == INVALID_HANDLE_VALUE) {
        return DeviceErrorCode::OpenFailed;
    }
    // The capabilities once, at the open; HID.DLL is reached as the tool reaches it.
    const auto api = Windows_HidApi::System();
    PHIDP_PREPARSED_DATA preparsed = nullptr;
    HIDP_CAPS caps{};
    const bool known = api->HidD_GetPreparsedData(device_, &preparsed) &&
                       api->HidP_GetCaps(preparsed, &caps) == HIDP_STATUS_SUCCESS;
    if (preparsed != nullptr) {
        api->HidD_FreePreparsedData(preparsed);
    }
    readEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    writeEvent_ = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!known || readEvent_ == nullptr || writeEvent_ == nullptr) {
        CloseDevice();
        return DeviceErrorCode::GeneralFailure;
    }
    lengths.input = caps.InputReportByteLength;
    lengths.output = caps.OutputReportByteLength;
    return DeviceErrorCode::Success;
}

void Windows_MinimalReaderWriter::CloseDevice() {
    for (HANDLE* handle : {&readEvent_, &writeEvent_}) {
        if (*handle != nullptr) {
            ::CloseHandle(*handle);
            *handle = nullptr;
        }
    }
    if (device_ != INVALID_HANDLE_VALUE) {
        ::CloseHandle(device_);
        device_ = INVALID_HANDLE_VALUE;
    }
}

ArmillonDeviceError Windows_MinimalReaderWriter::Finish(BOOL started, OVERLAPPED& overlapped,
                                                        DWORD length) {
    DWORD transferred = 0;
    const bool ended = (started || ::GetLastError() == ERROR_IO_PENDING) &&
                       ::GetOverlappedResult(device_, &overlapped, &transferred, TRUE);
    return ended && transferred == length ? ArmillonDeviceError(DeviceErrorCode::Success)
                                          : ArmillonDeviceError(DeviceErrorCode::TransferFailed);
}

ArmillonDeviceError Windows_MinimalReaderWriter::ReadReport(std::span<std::uint8_t> report) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = readEvent_;
    const auto length = static_cast<DWORD>(report.size());
    return Finish(::ReadFile(device_, report.data(), length, nullptr, &overlapped), overlapped,
                  length);
}

ArmillonDeviceError Windows_MinimalReaderWriter::WriteReport(std::span<const std::uint8_t> report) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = writeEvent_;
    const auto length = static_cast<DWORD>(report.size());
    return Finish(::WriteFile(device_, report.data(), length, nullptr, &overlapped), overlapped,
                  length);
}

}  // namespace ArmillonDevice
