#include "VirtualWatch_HID_DeviceReaderWriter.h"

#include <algorithm>
#include <limits>

#include "Pause.h"
#include "VirtualWatch_DeviceIdentifier.h"

namespace ArmillonDevice {

VirtualWatch_HID_DeviceReaderWriter::~VirtualWatch_HID_DeviceReaderWriter() {
    Close();
}

ArmillonDeviceError VirtualWatch_HID_DeviceReaderWriter::OpenDevice(
    const DeviceIdentifier& identity, ReportLengths& lengths) {
    const auto* watch = dynamic_cast<const VirtualWatch_DeviceIdentifier*>(&identity);
    if (watch == nullptr || watch->GetPort() == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    watchsim::HostPort* port = watch->GetPort();
    if (!port->Open()) {
        return DeviceErrorCode::OpenFailed;
    }
    constexpr std::size_t kMaxLength = std::numeric_limits<std::uint16_t>::max();
    lengths.input = static_cast<std::uint16_t>(std::min(port->InputReportLength(), kMaxLength));
    lengths.output = static_cast<std::uint16_t>(std::min(port->OutputReportLength(), kMaxLength));
    port_ = port;
    return DeviceErrorCode::Success;
}

void VirtualWatch_HID_DeviceReaderWriter::CloseDevice() {
    if (port_ != nullptr) {
        port_->Close();
        port_ = nullptr;
    }
}

bool VirtualWatch_HID_DeviceReaderWriter::IsDeviceOpen() const {
    return port_ != nullptr;
}

ArmillonDeviceError VirtualWatch_HID_DeviceReaderWriter::ReadReport(
    std::span<std::uint8_t> report) {
    if (port_ == nullptr) {
        return DeviceErrorCode::GeneralFailure;
    }
    switch (port_->ReadReport(incoming_)) {
        case watchsim::ReadOutcome::Report:
            break;
        case watchsim::ReadOutcome::Silent:
            // A real device would keep us waiting for the whole time-out.
            common::Pause(GetTimeout());
            return DeviceErrorCode::TransferFailed;
        case watchsim::ReadOutcome::Gone:
            return DeviceErrorCode::TransferFailed;
    }
    if (incoming_.size() != report.size()) {
        return DeviceErrorCode::TransferFailed;
    }
    std::copy(incoming_.begin(), incoming_.end(), report.begin());
    return DeviceErrorCode::Success;
}

ArmillonDeviceError VirtualWatch_HID_DeviceReaderWriter::WriteReport(
    std::span<const std::uint8_t> report) {
    if (port_ == nullptr || !port_->WriteReport(report)) {
        return DeviceErrorCode::GeneralFailure;
    }
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
