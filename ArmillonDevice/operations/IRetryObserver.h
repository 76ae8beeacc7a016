#pragma once
// Told what the retry policy does, for diagnostics. Called on the thread that runs the
// operation; nothing is called while every operation succeeds at its first attempt.

#include <chrono>
#include <cstdint>

#include "ArmillonDeviceError.h"

namespace ArmillonDevice {

class IRetryObserver {
  public:
    virtual ~IRetryObserver();

    // Before the pause that precedes another attempt: which attempt comes (1 for the first
    // retry) out of how many, and the error the previous attempt ended with.
    virtual void OnRetry(std::uint32_t attempt, std::uint32_t retryCount,
                         const ArmillonDeviceError& previous, std::chrono::milliseconds pause) = 0;
    // The reconnection of a retry.
    virtual void OnReconnect(const ArmillonDeviceError& result) = 0;
    // The check after a reconnection that the same device answered.
    virtual void OnSameDeviceCheck(const ArmillonDeviceError& result) = 0;
};

}  // namespace ArmillonDevice
