#pragma once

#include <memory>

#include "BasicCommunication.h"
#include "ORNA_Device.h"

namespace ArmillonDevice {

class ORNA_Communication : public BasicCommunication {
  public:
    explicit ORNA_Communication(std::unique_ptr<ORNA_Device> device);
    ~ORNA_Communication() override;
};

}  // namespace ArmillonDevice
