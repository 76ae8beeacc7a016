#pragma once
// The ORNA watches discovery found, as identities in discovery order.

#include <cstdint>

#include "IDeviceDependentObjectFactory.h"
#include "IHidPlatform.h"

class CORNADeviceDependentObjectFactory : public IDeviceDependentObjectFactory {
  public:
    // Keeps a copy of every discovered identity, in order.
    CORNADeviceDependentObjectFactory(const ArmillonDevice::DeviceIdentifierList& identities,
                                      std::uint16_t vendorId, std::uint16_t productId);
    ~CORNADeviceDependentObjectFactory() override;

    std::uint32_t GetDeviceCount() const override;
    const ArmillonDevice::DeviceIdentifierList& GetIdentities() const { return identities_; }

  private:
    ArmillonDevice::DeviceIdentifierList identities_;
};
