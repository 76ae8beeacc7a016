#pragma once

#include "IDevice.h"

namespace ArmillonDevice {

class ORNA_Device : public IDevice {
  public:
    ORNA_Device(std::unique_ptr<DeviceIdentifier> identity,
                std::unique_ptr<IReaderWriter> transport);
    ~ORNA_Device() override;
};

}  // namespace ArmillonDevice
