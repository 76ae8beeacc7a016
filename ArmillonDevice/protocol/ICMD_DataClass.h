#pragma once
// The envelope shared by the data-class commands (codes 0x20 and 0x21).
//
// Request payload: data identifier (2), data kind (1), the class's parameters.
// Reply body:
//   0  1  status, 0 when the device accepted the command
//   1  2  data identifier, echoed
//   3  1  data kind, echoed
//   4  .  the class's parameters echoed and its data

#include "IArmillonData.h"

namespace ArmillonDevice {

class ICMD_DataClass : public IArmillonData {
  public:
    static constexpr std::size_t kEnvelopeSize = 4;
    // Status after a reply that could not be taken apart.
    static constexpr std::uint8_t kUnreadableStatus = 0xFF;

    std::vector<std::uint8_t> Encode() const final;
    // -1 for a short body, a status other than 0 (kept as received), a wrong echo or
    // parameters the class refuses (status 0xFF for the last three kinds).
    std::int64_t Decode(std::span<const std::uint8_t> body) final;

    std::uint16_t GetDataId() const { return dataId_; }
    std::uint8_t GetDataKind() const { return dataKind_; }
    std::uint8_t GetStatus() const { return status_; }

  protected:
    ICMD_DataClass(std::uint16_t dataId, std::uint8_t dataKind)
        : dataId_(dataId), dataKind_(dataKind) {}

    virtual std::vector<std::uint8_t> EncodeParameters() const = 0;
    // The bytes after the envelope; the number consumed, or -1.
    virtual std::int64_t DecodeParameters(std::span<const std::uint8_t> parameters) = 0;

  private:
    std::uint16_t dataId_;
    std::uint8_t dataKind_;
    std::uint8_t status_ = 0;
};

}  // namespace ArmillonDevice
