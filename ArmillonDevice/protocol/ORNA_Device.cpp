#include "ORNA_Device.h"

namespace ArmillonDevice {

ORNA_Device::ORNA_Device(std::unique_ptr<DeviceIdentifier> identity,
                         std::unique_ptr<IReaderWriter> transport)
    : IDevice(std::move(identity), std::move(transport)) {}

ORNA_Device::~ORNA_Device() = default;

}  // namespace ArmillonDevice
