#pragma once
// What the device connection needs from the platform's HID layer: the list of present HID
// devices that pass a vendor/product predicate, and a fresh reader/writer to open one of them.
// The program's assembly hands the platform's implementation (hidraw on Linux, the HID class
// driver on Windows) to the facade; tests hand one that presents in-process virtual watches.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "DeviceIdentifier.h"
#include "IReaderWriter.h"

namespace ArmillonDevice {

// Called with (vendor identifier, product identifier); true keeps the device.
using HidDevicePredicate = std::function<bool(std::uint16_t, std::uint16_t)>;
using DeviceIdentifierList = std::vector<std::unique_ptr<DeviceIdentifier>>;

class IHidPlatform {
  public:
    virtual ~IHidPlatform() = default;

    // Appends one identity per present HID device whose identifiers pass the predicate, in
    // the platform's enumeration order; entries already in the list stay. A device that
    // cannot be examined is skipped; nothing is reported. The predicate must be set.
    virtual void EnumerateHidDevices(DeviceIdentifierList& list,
                                     const HidDevicePredicate& predicate) = 0;

    // A closed reader/writer able to open the identities this platform hands out.
    virtual std::unique_ptr<IReaderWriter> CreateReaderWriter() = 0;

  protected:
    IHidPlatform() = default;
    IHidPlatform(const IHidPlatform&) = default;
    IHidPlatform& operator=(const IHidPlatform&) = default;
};

}  // namespace ArmillonDevice
