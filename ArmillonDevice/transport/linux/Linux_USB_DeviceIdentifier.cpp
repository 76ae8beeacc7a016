#include "Linux_USB_DeviceIdentifier.h"

namespace ArmillonDevice {

Linux_USB_DeviceIdentifier::Linux_USB_DeviceIdentifier(const char* path, std::uint16_t vendorId,
                                                       std::uint16_t productId)
    : path_(path != nullptr ? path : ""), vendorId_(vendorId), productId_(productId) {}

Linux_USB_DeviceIdentifier::~Linux_USB_DeviceIdentifier() = default;

std::unique_ptr<DeviceIdentifier> Linux_USB_DeviceIdentifier::Clone() const {
    return std::make_unique<Linux_USB_DeviceIdentifier>(*this);
}

}  // namespace ArmillonDevice
