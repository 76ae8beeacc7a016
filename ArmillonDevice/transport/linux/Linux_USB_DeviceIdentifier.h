#pragma once
// Names one HID device by the path of its hidraw node, with the USB identifiers discovery
// read from it. Paths are file names as the kernel gives them: bytes, not text.

#include <cstdint>
#include <memory>
#include <string>

#include "DeviceIdentifier.h"

namespace ArmillonDevice {

class Linux_USB_DeviceIdentifier : public DeviceIdentifier {
  public:
    // A null path gives an empty path.
    Linux_USB_DeviceIdentifier(const char* path, std::uint16_t vendorId, std::uint16_t productId);
    Linux_USB_DeviceIdentifier(const Linux_USB_DeviceIdentifier&) = default;
    Linux_USB_DeviceIdentifier& operator=(const Linux_USB_DeviceIdentifier&) = default;
    ~Linux_USB_DeviceIdentifier() override;

    std::unique_ptr<DeviceIdentifier> Clone() const override;

    const char* GetPath() const { return path_.c_str(); }
    std::string Describe() const override { return path_; }
    std::uint16_t GetVendorId() const { return vendorId_; }
    std::uint16_t GetProductId() const { return productId_; }

  private:
    std::string path_;
    std::uint16_t vendorId_;
    std::uint16_t productId_;
};

}  // namespace ArmillonDevice
