#pragma once
// Building the list of candidate devices for the connection. Devices can take a moment to
// appear after being plugged in, so the list is asked for up to four times.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>

#include "CORNADeviceDependentObjectFactory.h"
#include "IHidPlatform.h"

inline constexpr int kDeviceListAttempts = 4;
inline constexpr std::chrono::milliseconds kDeviceListPause{100};

// One enumeration through the vendor/product filter; null when nothing matched.
std::unique_ptr<CORNADeviceDependentObjectFactory> CreateDeviceList(
    ArmillonDevice::IHidPlatform& platform, std::uint16_t vendorId, std::uint16_t productId);

// Told after each enumeration: its number (from 1) and how many devices it found.
using EnumerationObserver = std::function<void(int attempt, std::size_t found)>;

// Up to four enumerations, 100 ms apart, until one finds a device; null when none did or
// memory ran out.
std::unique_ptr<CORNADeviceDependentObjectFactory> CreateDeviceListWithRetry(
    ArmillonDevice::IHidPlatform& platform, std::uint16_t vendorId, std::uint16_t productId,
    const EnumerationObserver& observer = {});
