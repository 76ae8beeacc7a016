#include "ORNA_Communication.h"

namespace ArmillonDevice {

ORNA_Communication::ORNA_Communication(std::unique_ptr<ORNA_Device> device)
    : BasicCommunication(std::move(device)) {}

ORNA_Communication::~ORNA_Communication() = default;

}  // namespace ArmillonDevice
