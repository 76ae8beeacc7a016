#include "ICMD_DataSet.h"

#include "ByteOrder.h"
#include "CommandCodes.h"

namespace ArmillonDevice {

ICMD_DataSet::ICMD_DataSet(std::uint16_t dataId, std::uint16_t dataNumber, std::uint32_t offset,
                           std::uint32_t size, const std::uint8_t* data)
    : ICMD_DataClass(dataId, DataKind::kData),
      dataNumber_(dataNumber),
      offset_(offset),
      size_(size),
      data_(data) {}

std::vector<std::uint8_t> ICMD_DataSet::EncodeParameters() const {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(10 + static_cast<std::size_t>(size_));
    common::AppendLE16(bytes, dataNumber_);
    common::AppendLE32(bytes, offset_);
    common::AppendLE32(bytes, size_);
    if (data_ != nullptr) {
        bytes.insert(bytes.end(), data_, data_ + size_);
    } else {
        bytes.resize(bytes.size() + size_, 0);
    }
    return bytes;
}

std::int64_t ICMD_DataSet::DecodeParameters(std::span<const std::uint8_t> parameters) {
    common::ByteReader reader(parameters);
    const auto number = reader.U16();
    const auto offset = reader.U32();
    const auto size = reader.U32();
    if (!size || *number != dataNumber_ || *offset != offset_ || *size != size_) {
        return -1;
    }
    return static_cast<std::int64_t>(reader.Position());
}

}  // namespace ArmillonDevice
