#pragma once
// Names one HID device by the path of its hidraw node, with the USB identifiers discovery
// read from it. Paths are file names as the kernel gives them: bytes, not text.
//
// The kernel hands a node's number to the next device once one leaves, so the path alone
// does not name a watch: an open checks the identifiers again, and the bus type and physical
// path too when discovery could read them.

#include <cstdint>
#include <memory>
#include <optional>
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

    // Where discovery found the device; unset when it could not tell.
    void SetBusType(std::uint32_t busType) { busType_ = busType; }
    void SetPhysicalPath(std::string physicalPath) { physicalPath_ = std::move(physicalPath); }
    const std::optional<std::uint32_t>& GetBusType() const { return busType_; }
    const std::optional<std::string>& GetPhysicalPath() const { return physicalPath_; }

  private:
    std::string path_;
    std::uint16_t vendorId_;
    std::uint16_t productId_;
    std::optional<std::uint32_t> busType_;
    std::optional<std::string> physicalPath_;
};

}  // namespace ArmillonDevice
