#include "ICMD_DataGet.h"

#include "ByteOrder.h"
#include "CommandCodes.h"

namespace ArmillonDevice {

ICMD_DataGet::ICMD_DataGet(std::uint16_t dataId, std::uint16_t dataNumber, std::uint32_t offset,
                           std::uint32_t size, std::vector<std::uint8_t>& output)
    : ICMD_DataClass(dataId, DataKind::kData),
      dataNumber_(dataNumber),
      offset_(offset),
      size_(size),
      output_(output) {}

std::vector<std::uint8_t> ICMD_DataGet::EncodeParameters() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE16(bytes, dataNumber_);
    common::AppendLE32(bytes, offset_);
    common::AppendLE32(bytes, size_);
    return bytes;
}

std::int64_t ICMD_DataGet::DecodeParameters(std::span<const std::uint8_t> parameters) {
    common::ByteReader reader(parameters);
    const auto number = reader.U16();
    const auto offset = reader.U32();
    const auto size = reader.U32();
    if (!size || *number != dataNumber_ || *offset != offset_ || *size != size_) {
        return -1;
    }
    const auto data = reader.Bytes(size_);
    if (!data) {
        return -1;
    }
    output_.insert(output_.end(), data->begin(), data->end());
    return static_cast<std::int64_t>(reader.Position());
}

}  // namespace ArmillonDevice
