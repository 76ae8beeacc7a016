#include "CORNADeviceDependentObjectFactory.h"

IDeviceDependentObjectFactory::IDeviceDependentObjectFactory(std::uint16_t, std::uint16_t) {}

IDeviceDependentObjectFactory::~IDeviceDependentObjectFactory() = default;

CORNADeviceDependentObjectFactory::CORNADeviceDependentObjectFactory(
    const ArmillonDevice::DeviceIdentifierList& identities, std::uint16_t vendorId,
    std::uint16_t productId)
    : IDeviceDependentObjectFactory(vendorId, productId) {
    identities_.reserve(identities.size());
    for (const auto& identity : identities) {
        if (identity) {
            identities_.push_back(identity->Clone());
        }
    }
}

CORNADeviceDependentObjectFactory::~CORNADeviceDependentObjectFactory() = default;

std::uint32_t CORNADeviceDependentObjectFactory::GetDeviceCount() const {
    return static_cast<std::uint32_t>(identities_.size());
}
