#include "ArmillonDeviceError.h"

#include <cstdio>
#include <ostream>

namespace ArmillonDevice {

ArmillonDeviceError::~ArmillonDeviceError() = default;

std::string DescribeDeviceError(const ArmillonDeviceError& error) {
    switch (static_cast<DeviceErrorCode>(error.GetCode())) {
        case DeviceErrorCode::Success:
            return "Success";
        case DeviceErrorCode::InvalidData:
            return "InvalidData";
        case DeviceErrorCode::UnexpectedReply:
            return "UnexpectedReply";
        case DeviceErrorCode::InvalidParameter:
            return "InvalidParameter";
        case DeviceErrorCode::NotOpen:
            return "NotOpen";
        case DeviceErrorCode::DeviceStatus:
            return "DeviceStatus";
        case DeviceErrorCode::OpenFailed:
            return "OpenFailed";
        case DeviceErrorCode::TransferFailed:
            return "TransferFailed";
        case DeviceErrorCode::UnsupportedFirmware:
            return "UnsupportedFirmware";
        case DeviceErrorCode::NoRecord:
            return "NoRecord";
        case DeviceErrorCode::GeneralFailure:
            return "GeneralFailure";
    }
    char text[32];
    std::snprintf(text, sizeof text, "device error 0x%04X", static_cast<unsigned>(error.GetCode()));
    return text;
}

std::string DescribeDeviceErrorWithCode(const ArmillonDeviceError& error) {
    auto text = DescribeDeviceError(error);
    if (text.starts_with("device error")) {
        return text;  // the number is the name
    }
    char number[24];
    std::snprintf(number, sizeof number, " (0x%04X)", static_cast<unsigned>(error.GetCode()));
    return text + number;
}

std::ostream& operator<<(std::ostream& out, const ArmillonDeviceError& error) {
    return out << DescribeDeviceError(error);
}

}  // namespace ArmillonDevice
