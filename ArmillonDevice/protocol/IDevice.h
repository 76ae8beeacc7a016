#pragma once
// One device: which one (identity) and how to reach it (transport). Both are owned.

#include <cstdint>
#include <memory>
#include <span>

#include "ArmillonDeviceError.h"
#include "DeviceIdentifier.h"
#include "IReaderWriter.h"

namespace ArmillonDevice {

class IDevice {
  public:
    IDevice(std::unique_ptr<DeviceIdentifier> identity, std::unique_ptr<IReaderWriter> transport);
    IDevice(const IDevice&) = delete;
    IDevice& operator=(const IDevice&) = delete;
    virtual ~IDevice();

    // OpenFailed without a transport.
    ArmillonDeviceError Open();
    void Close();
    bool IsOpen() const;
    // GeneralFailure without a transport.
    ArmillonDeviceError Read(std::span<std::uint8_t> buffer, IReadProgressListener* listener);
    ArmillonDeviceError Write(std::span<const std::uint8_t> data);

    const DeviceIdentifier* GetIdentity() const { return identity_.get(); }
    IReaderWriter* GetTransport() const { return transport_.get(); }

  private:
    // Declared in this order so the transport goes first when the device is destroyed.
    std::unique_ptr<DeviceIdentifier> identity_;
    std::unique_ptr<IReaderWriter> transport_;
};

}  // namespace ArmillonDevice
