#include "Windows_USB_DeviceIdentifier.h"

namespace ArmillonDevice {

Windows_USB_DeviceIdentifier::Windows_USB_DeviceIdentifier(const wchar_t* path,
                                                           std::uint16_t vendorId,
                                                           std::uint16_t productId)
    : path_(path != nullptr ? path : L""), vendorId_(vendorId), productId_(productId) {}

Windows_USB_DeviceIdentifier::~Windows_USB_DeviceIdentifier() = default;

std::unique_ptr<DeviceIdentifier> Windows_USB_DeviceIdentifier::Clone() const {
    return std::make_unique<Windows_USB_DeviceIdentifier>(*this);
}

}  // namespace ArmillonDevice
