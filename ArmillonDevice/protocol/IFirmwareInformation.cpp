#include "IFirmwareInformation.h"

namespace ArmillonDevice {

IFirmwareInformation::~IFirmwareInformation() = default;

ArmillonDeviceError IFirmwareInformation::Load() {
    if (auto result = ReadAllData(kDataId, 0); result.IsError()) {
        return result;
    }
    const auto& data = GetData();
    if (data.size() < kMinimumSize) {
        return DeviceErrorCode::GeneralFailure;
    }
    version_.assign(data.begin(), data.begin() + 5);
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
