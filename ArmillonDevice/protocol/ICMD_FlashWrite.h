#pragma once
// Writes flash (codes 0x41 and 0x44). Request: address (4), length (4), then the bytes.
// The reply body is not decoded.

#include "IArmillonData.h"

namespace ArmillonDevice {

class ICMD_FlashWrite : public IArmillonData {
  public:
    // The request payload before the bytes: address and length.
    static constexpr std::size_t kRequestHeaderSize = 8;

    // `data` (borrowed) holds `length` bytes; null sends none.
    ICMD_FlashWrite(std::uint32_t address, std::uint32_t length, const std::uint8_t* data)
        : address_(address), length_(length), data_(data) {}

    std::vector<std::uint8_t> Encode() const override;
    std::int64_t Decode(std::span<const std::uint8_t> body) override;

  private:
    std::uint32_t address_;
    std::uint32_t length_;
    const std::uint8_t* data_;
};

}  // namespace ArmillonDevice
