#pragma once
// Base of every request and reply object: encodes a request payload and decodes a reply body.

#include <cstdint>
#include <span>
#include <vector>

namespace ArmillonDevice {

class IArmillonData {
  public:
    virtual ~IArmillonData();

    // The object's request payload.
    virtual std::vector<std::uint8_t> Encode() const = 0;
    // Takes a reply body; the number of bytes consumed, or -1 when the body is not acceptable.
    virtual std::int64_t Decode(std::span<const std::uint8_t> body) = 0;

  protected:
    IArmillonData() = default;
    IArmillonData(const IArmillonData&) = default;
    IArmillonData& operator=(const IArmillonData&) = default;
};

}  // namespace ArmillonDevice
