#pragma once
// Which device to open. Each platform backend derives its own identity (a device path, an
// in-process port); owners hold identities through this base and copy them with Clone.

#include <memory>
#include <string>

namespace ArmillonDevice {

class DeviceIdentifier {
  public:
    virtual ~DeviceIdentifier();

    virtual std::unique_ptr<DeviceIdentifier> Clone() const = 0;
    // How diagnostics name the device (a device path); empty when there is nothing to say.
    virtual std::string Describe() const { return {}; }

  protected:
    DeviceIdentifier() = default;
    DeviceIdentifier(const DeviceIdentifier&) = default;
    DeviceIdentifier& operator=(const DeviceIdentifier&) = default;
};

}  // namespace ArmillonDevice
