#pragma once
// Reads flash (codes 0x40 and 0x43). Request: address (4), length (4). Reply: the flash
// content.

#include "IArmillonData.h"

namespace ArmillonDevice {

class ICMD_FlashRead : public IArmillonData {
  public:
    ICMD_FlashRead(std::uint32_t address, std::uint32_t length)
        : address_(address), length_(length) {}

    std::vector<std::uint8_t> Encode() const override;
    // Takes the whole body; never fails.
    std::int64_t Decode(std::span<const std::uint8_t> body) override;

    const std::vector<std::uint8_t>& GetReceived() const { return received_; }

  private:
    std::uint32_t address_;
    std::uint32_t length_;
    std::vector<std::uint8_t> received_;
};

}  // namespace ArmillonDevice
