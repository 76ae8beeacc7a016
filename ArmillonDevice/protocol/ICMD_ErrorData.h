#pragma once
// The body of an error reply (code 0xF0): the device's own 16-bit error code.

#include "IArmillonData.h"

namespace ArmillonDevice {

class ICMD_ErrorData : public IArmillonData {
  public:
    static constexpr std::size_t kSize = 2;

    std::vector<std::uint8_t> Encode() const override;
    // Consumes 2 bytes; a shorter body consumes nothing and leaves the code as it was.
    std::int64_t Decode(std::span<const std::uint8_t> body) override;

    std::uint16_t GetErrorCode() const { return errorCode_; }
    void SetErrorCode(std::uint16_t code) { errorCode_ = code; }

  private:
    std::uint16_t errorCode_ = 0;
};

}  // namespace ArmillonDevice
