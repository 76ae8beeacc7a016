#pragma once
// The outcome of every device-library operation: one signed 32-bit code, 0 for success.
// The system's own codes and the device's 16-bit error codes share one number space.

#include <cstdint>
#include <iosfwd>
#include <string>

namespace ArmillonDevice {

enum class DeviceErrorCode : std::int32_t {
    Success = 0x0000,
    InvalidData = 0x0102,
    UnexpectedReply = 0x0103,
    InvalidParameter = 0x0104,
    NotOpen = 0x0201,
    DeviceStatus = 0x0202,
    OpenFailed = 0x7FFF0000,
    TransferFailed = 0x7FFF0001,
    UnsupportedFirmware = 0x7FFF0002,
    NoRecord = 0x7FFF0003,
    GeneralFailure = 0x7FFFFFFF,
};

class ArmillonDeviceError {
  public:
    ArmillonDeviceError() = default;
    // Implicit on purpose: operations return a code and callers compare with one.
    ArmillonDeviceError(std::int32_t code) : code_(code) {}  // NOLINT(google-explicit-constructor)
    ArmillonDeviceError(DeviceErrorCode code)                // NOLINT(google-explicit-constructor)
        : code_(static_cast<std::int32_t>(code)) {}
    ArmillonDeviceError(const ArmillonDeviceError&) = default;
    ArmillonDeviceError& operator=(const ArmillonDeviceError&) = default;
    virtual ~ArmillonDeviceError();

    bool IsError() const { return code_ != 0; }
    bool IsSuccess() const { return code_ == 0; }
    std::int32_t GetCode() const { return code_; }

    friend bool operator==(const ArmillonDeviceError& a, const ArmillonDeviceError& b) {
        return a.code_ == b.code_;
    }

  private:
    std::int32_t code_ = 0;
};

// Name of a code for diagnostics and test output: "InvalidData", "device error 0x0005".
std::string DescribeDeviceError(const ArmillonDeviceError& error);
// The name with the number, for transcripts: "TransferFailed (0x7FFF0001)", "device error
// 0x0005".
std::string DescribeDeviceErrorWithCode(const ArmillonDeviceError& error);
std::ostream& operator<<(std::ostream& out, const ArmillonDeviceError& error);

}  // namespace ArmillonDevice
