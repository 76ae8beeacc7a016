#pragma once
// A list of discovered devices built for one vendor/product pair.

#include <cstdint>

class IDeviceDependentObjectFactory {
  public:
    virtual ~IDeviceDependentObjectFactory();

    virtual std::uint32_t GetDeviceCount() const = 0;

  protected:
    // The identifiers the list was built for are not kept.
    IDeviceDependentObjectFactory(std::uint16_t vendorId, std::uint16_t productId);
    IDeviceDependentObjectFactory(const IDeviceDependentObjectFactory&) = default;
    IDeviceDependentObjectFactory& operator=(const IDeviceDependentObjectFactory&) = default;
};
