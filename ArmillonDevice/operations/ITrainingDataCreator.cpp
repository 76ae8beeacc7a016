#include "ITrainingDataCreator.h"
#include "IRetryObserver.h"

namespace ArmillonDevice {

ITrainingDataCreator::~ITrainingDataCreator() = default;
IRetryObserver::~IRetryObserver() = default;

}  // namespace ArmillonDevice
