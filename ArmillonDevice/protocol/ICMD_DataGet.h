#pragma once
// Reads `size` bytes of a data item from `offset`.
// Parameters: data number (2), offset (4), size (4).
// Reply parameters: the three echoed (10), then `size` bytes of data.

#include "ICMD_DataClass.h"

namespace ArmillonDevice {

class ICMD_DataGet : public ICMD_DataClass {
  public:
    // The data is appended to `output` (borrowed) on a successful decode.
    ICMD_DataGet(std::uint16_t dataId, std::uint16_t dataNumber, std::uint32_t offset,
                 std::uint32_t size, std::vector<std::uint8_t>& output);

  protected:
    std::vector<std::uint8_t> EncodeParameters() const override;
    std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) override;

  private:
    std::uint16_t dataNumber_;
    std::uint32_t offset_;
    std::uint32_t size_;
    std::vector<std::uint8_t>& output_;
};

}  // namespace ArmillonDevice
