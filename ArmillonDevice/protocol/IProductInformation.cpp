#include "IProductInformation.h"

namespace ArmillonDevice {

IProductInformation::~IProductInformation() = default;

ArmillonDeviceError IProductInformation::Load() {
    if (auto result = ReadAllData(kDataId, 0); result.IsError()) {
        return result;
    }
    const auto& data = GetData();
    if (data.size() < kMinimumSize) {
        return DeviceErrorCode::GeneralFailure;
    }
    const auto text = [&](std::size_t offset, std::size_t size) {
        return std::string(data.begin() + static_cast<std::ptrdiff_t>(offset),
                           data.begin() + static_cast<std::ptrdiff_t>(offset + size));
    };
    productText1_ = text(0, 20);
    productText2_ = text(20, 4);
    productText3_ = text(24, 4);
    productText4_ = text(28, 2);
    return DeviceErrorCode::Success;
}

}  // namespace ArmillonDevice
