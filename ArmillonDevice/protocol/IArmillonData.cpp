#include "IArmillonData.h"

namespace ArmillonDevice {

IArmillonData::~IArmillonData() = default;

}  // namespace ArmillonDevice
