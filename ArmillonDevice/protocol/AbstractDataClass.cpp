#include "AbstractDataClass.h"

namespace ArmillonDevice {

AbstractDataClass::~AbstractDataClass() = default;

ArmillonDeviceError AbstractDataClass::Update() {
    const bool wasOpen = connection_.IsOpen();
    if (!wasOpen) {
        if (auto result = connection_.Open(); result.IsError()) {
            return result;
        }
    }
    const auto result = Load();
    if (!wasOpen) {
        connection_.Close();  // the record is read; how the goodbye went does not matter
    }
    return result;
}

ArmillonDeviceError AbstractDataClass::ReadData(std::uint16_t dataId, std::uint16_t dataNumber,
                                                std::uint32_t offset, std::uint32_t size) {
    std::vector<std::uint8_t> bytes;
    if (auto result = connection_.DataGet(dataId, dataNumber, offset, size, bytes, nullptr);
        result.IsError()) {
        return result;
    }
    data_ = std::move(bytes);
    return DeviceErrorCode::Success;
}

ArmillonDeviceError AbstractDataClass::ReadAllData(std::uint16_t dataId, std::uint16_t dataNumber) {
    std::uint32_t size = 0;
    if (auto result = connection_.DataSizeGet(dataId, dataNumber, size); result.IsError()) {
        return result;
    }
    return ReadData(dataId, dataNumber, 0, size);
}

}  // namespace ArmillonDevice
