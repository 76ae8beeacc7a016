#pragma once
// Writes `size` bytes of a data item at `offset` (command 0x21).
// Parameters: data number (2), offset (4), size (4), then the bytes.
// Reply parameters: the three echoed (10).

#include "ICMD_DataClass.h"

namespace ArmillonDevice {

class ICMD_DataSet : public ICMD_DataClass {
  public:
    // The request payload before the bytes: identifier, kind and the three parameters.
    static constexpr std::size_t kRequestHeaderSize = 3 + 10;

    // `data` (borrowed) holds `size` bytes; null sends `size` zero bytes.
    ICMD_DataSet(std::uint16_t dataId, std::uint16_t dataNumber, std::uint32_t offset,
                 std::uint32_t size, const std::uint8_t* data);

  protected:
    std::vector<std::uint8_t> EncodeParameters() const override;
    std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) override;

  private:
    std::uint16_t dataNumber_;
    std::uint32_t offset_;
    std::uint32_t size_;
    const std::uint8_t* data_;
};

}  // namespace ArmillonDevice
