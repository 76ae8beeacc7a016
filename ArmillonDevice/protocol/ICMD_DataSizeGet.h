#pragma once
// Reads the size of a data item.
// Parameters: data number (2). Reply parameters: data number echoed (2), size (4).

#include "ICMD_DataClass.h"

namespace ArmillonDevice {

class ICMD_DataSizeGet : public ICMD_DataClass {
  public:
    // The size is stored into `size` (borrowed) on a successful decode.
    ICMD_DataSizeGet(std::uint16_t dataId, std::uint16_t dataNumber, std::uint32_t& size);

  protected:
    std::vector<std::uint8_t> EncodeParameters() const override;
    std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) override;

  private:
    std::uint16_t dataNumber_;
    std::uint32_t& size_;
};

}  // namespace ArmillonDevice
