#include "ITrainingDataCreator.h"

namespace ArmillonDevice {

ITrainingDataCreator::~ITrainingDataCreator() = default;

}  // namespace ArmillonDevice
