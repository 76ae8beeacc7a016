#pragma once
// Told about incoming data while a read is in progress.
//
// The transport calls OnRead once per received report with the address of that report's
// payload (valid only during the call) and the payload's length. The command layer forwards
// progress to its caller's listener through the same call with two counts instead: the reply
// body bytes received so far and the body length the reply announced. The first value is
// wide enough for either.

#include <cstdint>

namespace ArmillonDevice {

class IReadProgressListener {
  public:
    virtual ~IReadProgressListener();

    virtual void OnRead(std::uintptr_t value, std::uint32_t length) = 0;

    // The payload address the transport passes, as a pointer again.
    static const std::uint8_t* PayloadOf(std::uintptr_t value) {
        return reinterpret_cast<const std::uint8_t*>(value);
    }
    static std::uintptr_t ValueOf(const std::uint8_t* payload) {
        return reinterpret_cast<std::uintptr_t>(payload);
    }
};

}  // namespace ArmillonDevice
