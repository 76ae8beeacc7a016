#pragma once
// Sets the upload flag of a data item (command 0x21).
// Parameters: data number (2), flag (1, the low 8 bits). Reply parameters: data number
// echoed (2).

#include "ICMD_DataClass.h"

namespace ArmillonDevice {

class ICMD_DataUploadFlagSet : public ICMD_DataClass {
  public:
    ICMD_DataUploadFlagSet(std::uint16_t dataId, std::uint16_t dataNumber, std::uint32_t flag);

  protected:
    std::vector<std::uint8_t> EncodeParameters() const override;
    std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) override;

  private:
    std::uint16_t dataNumber_;
    std::uint32_t flag_;
};

}  // namespace ArmillonDevice
