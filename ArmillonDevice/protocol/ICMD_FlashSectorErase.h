#pragma once
// Erases one flash sector (code 0x42). Request: sector number (2). The reply body is not
// decoded.

#include "IArmillonData.h"

namespace ArmillonDevice {

class ICMD_FlashSectorErase : public IArmillonData {
  public:
    explicit ICMD_FlashSectorErase(std::uint16_t sector) : sector_(sector) {}

    std::vector<std::uint8_t> Encode() const override;
    std::int64_t Decode(std::span<const std::uint8_t> body) override;

  private:
    std::uint16_t sector_;
};

}  // namespace ArmillonDevice
