#pragma once
// Reads the index table of a data item: a list of 16-bit entries.
// Parameters: selector (1).
// Reply parameters: selector echoed (1), byte count c (4), then c bytes; c / 2 entries
// (rounded down) are taken.

#include "ICMD_DataClass.h"

namespace ArmillonDevice {

class ICMD_DataIndexTableGet : public ICMD_DataClass {
  public:
    // The entries are appended to `output` (borrowed) on a successful decode.
    ICMD_DataIndexTableGet(std::uint16_t dataId, std::uint8_t selector,
                           std::vector<std::uint16_t>& output);

  protected:
    std::vector<std::uint8_t> EncodeParameters() const override;
    std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) override;

  private:
    std::uint8_t selector_;
    std::vector<std::uint16_t>& output_;
};

}  // namespace ArmillonDevice
