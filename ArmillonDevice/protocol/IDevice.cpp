#include "IDevice.h"

namespace ArmillonDevice {

IDevice::IDevice(std::unique_ptr<DeviceIdentifier> identity,
                 std::unique_ptr<IReaderWriter> transport)
    : identity_(std::move(identity)), transport_(std::move(transport)) {}

IDevice::~IDevice() = default;

ArmillonDeviceError IDevice::Open() {
    if (!transport_) {
        return DeviceErrorCode::OpenFailed;
    }
    return transport_->Open(identity_.get());
}

void IDevice::Close() {
    if (transport_) {
        transport_->Close();
    }
}

bool IDevice::IsOpen() const {
    return transport_ && transport_->IsOpen();
}

ArmillonDeviceError IDevice::Read(std::span<std::uint8_t> buffer, IReadProgressListener* listener) {
    if (!transport_) {
        return DeviceErrorCode::GeneralFailure;
    }
    return transport_->Read(buffer, listener);
}

ArmillonDeviceError IDevice::Write(std::span<const std::uint8_t> data) {
    if (!transport_) {
        return DeviceErrorCode::GeneralFailure;
    }
    return transport_->Write(data);
}

}  // namespace ArmillonDevice
