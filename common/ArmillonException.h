#pragma once
// The application's exceptions: a code and nothing else. Code 0 means the message that
// belongs to the situation has already been shown. They live here, below every layer that
// throws them (the image loader, the device connection, the application).

#include <cstdint>
#include <exception>

class ArmillonException : public std::exception {
  public:
    explicit ArmillonException(std::int32_t code) : code(code) {}
    ArmillonException(const ArmillonException&) = default;
    ArmillonException& operator=(const ArmillonException&) = default;
    ~ArmillonException() override = default;

    std::int32_t code;
};

// A failure of the device layer (connection and update commands).
class DeviceException : public ArmillonException {
  public:
    explicit DeviceException(std::int32_t code) : ArmillonException(code) {}
    DeviceException(const DeviceException&) = default;
    DeviceException& operator=(const DeviceException&) = default;
    ~DeviceException() override = default;
};
