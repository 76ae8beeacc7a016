#pragma once
// Reads the meta data of a data item.
// Parameters: data number (2).
// Reply parameters: data number echoed (2), byte count c (4), then c bytes.

#include "ICMD_DataClass.h"

namespace ArmillonDevice {

class ICMD_MetaDataGet : public ICMD_DataClass {
  public:
    // The bytes are appended to `output` (borrowed) on a successful decode.
    ICMD_MetaDataGet(std::uint16_t dataId, std::uint16_t dataNumber,
                     std::vector<std::uint8_t>& output);

  protected:
    std::vector<std::uint8_t> EncodeParameters() const override;
    std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) override;

  private:
    std::uint16_t dataNumber_;
    std::vector<std::uint8_t>& output_;
};

}  // namespace ArmillonDevice
