#include "DeviceList.h"

#include <new>

#include "Pause.h"
#include "USB_HID_ContainerFilter.h"

std::unique_ptr<CORNADeviceDependentObjectFactory> CreateDeviceList(
    ArmillonDevice::IHidPlatform& platform, std::uint16_t vendorId, std::uint16_t productId) {
    ArmillonDevice::DeviceIdentifierList found;
    platform.EnumerateHidDevices(found,
                                 ArmillonDevice::USB_HID_ContainerFilter{vendorId, productId});
    if (found.empty()) {
        return nullptr;
    }
    return std::make_unique<CORNADeviceDependentObjectFactory>(found, vendorId, productId);
}

std::unique_ptr<CORNADeviceDependentObjectFactory> CreateDeviceListWithRetry(
    ArmillonDevice::IHidPlatform& platform, std::uint16_t vendorId, std::uint16_t productId,
    const EnumerationObserver& observer) {
    const auto enumerate = [&](int attempt) {
        auto list = CreateDeviceList(platform, vendorId, productId);
        if (observer) {
            observer(attempt, list ? list->GetDeviceCount() : 0);
        }
        return list;
    };
    try {
        auto list = enumerate(1);
        for (int attempt = 1; !list && attempt < kDeviceListAttempts; ++attempt) {
            common::Pause(kDeviceListPause);
            list = enumerate(attempt + 1);
        }
        return list;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
