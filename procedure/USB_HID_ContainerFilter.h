#pragma once
// The vendor/product predicate the connection hands to HID discovery. A filter of vendor 0
// and product 0 accepts every device; otherwise both identifiers must match exactly, so a
// single 0 only matches devices that report 0 in that place.

#include <cstdint>

namespace ArmillonDevice {

struct USB_HID_ContainerFilter {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;

    bool operator()(std::uint16_t vendor, std::uint16_t product) const {
        if (vendorId == 0 && productId == 0) {
            return true;
        }
        return vendor == vendorId && product == productId;
    }
};

}  // namespace ArmillonDevice
