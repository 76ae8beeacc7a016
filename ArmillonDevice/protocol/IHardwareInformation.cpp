#include "IHardwareInformation.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

IHardwareInformation::~IHardwareInformation() = default;

ArmillonDeviceError IHardwareInformation::Load() {
    if (auto result = ReadAllData(kDataId, 0); result.IsError()) {
        return result;
    }
    const auto& data = GetData();
    if (data.size() < kMinimumSize) {
        return DeviceErrorCode::GeneralFailure;
    }
    hardwareWord_ = common::LoadLE16(data.data());
    hardwareText_.assign(data.begin() + 2, data.begin() + 18);
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
