#pragma once
// Names one HID device interface by the path the device set-up interface gave for it, with
// the USB identifiers discovery read from its attributes. The path is what CreateFileW opens.

#include <cstdint>
#include <memory>
#include <string>

#include "DeviceIdentifier.h"

namespace ArmillonDevice {

class Windows_USB_DeviceIdentifier : public DeviceIdentifier {
  public:
    // A null path gives an empty path.
    Windows_USB_DeviceIdentifier(const wchar_t* path, std::uint16_t vendorId,
                                 std::uint16_t productId);
    Windows_USB_DeviceIdentifier(const Windows_USB_DeviceIdentifier&) = default;
    Windows_USB_DeviceIdentifier& operator=(const Windows_USB_DeviceIdentifier&) = default;
    ~Windows_USB_DeviceIdentifier() override;

    std::unique_ptr<DeviceIdentifier> Clone() const override;

    const wchar_t* GetPath() const { return path_.c_str(); }
    std::uint16_t GetVendorId() const { return vendorId_; }
    std::uint16_t GetProductId() const { return productId_; }

  private:
    std::wstring path_;
    std::uint16_t vendorId_;
    std::uint16_t productId_;
};

}  // namespace ArmillonDevice
