#pragma once
// The platform's HID layer on Windows: discovery through the device set-up interface and the
// HID class driver, and reader/writers that open what it finds. Discovery never keeps a
// device open: each interface is opened without access rights only to read its USB
// identifiers.

#include <memory>

#include "IHidPlatform.h"
#include "Windows_HidApi.h"

namespace ArmillonDevice {

class Windows_HidPlatform : public IHidPlatform {
  public:
    explicit Windows_HidPlatform(std::shared_ptr<Windows_HidApi> api = Windows_HidApi::System());
    ~Windows_HidPlatform() override;

    // Walks the present HID interfaces in the set-up interface's order and appends a
    // Windows_USB_DeviceIdentifier for each one whose identifiers pass the predicate. An
    // interface whose path, handle or attributes cannot be had is skipped; the walk ends at
    // the first index the set-up interface refuses.
    void EnumerateHidDevices(DeviceIdentifierList& list,
                             const HidDevicePredicate& predicate) override;
    std::unique_ptr<IReaderWriter> CreateReaderWriter() override;

  private:
    std::shared_ptr<Windows_HidApi> api_;
};

}  // namespace ArmillonDevice
