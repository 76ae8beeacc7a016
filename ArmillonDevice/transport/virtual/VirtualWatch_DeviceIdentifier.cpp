#include "VirtualWatch_DeviceIdentifier.h"

namespace ArmillonDevice {

VirtualWatch_DeviceIdentifier::~VirtualWatch_DeviceIdentifier() = default;

std::unique_ptr<DeviceIdentifier> VirtualWatch_DeviceIdentifier::Clone() const {
    return std::make_unique<VirtualWatch_DeviceIdentifier>(*this);
}

}  // namespace ArmillonDevice
