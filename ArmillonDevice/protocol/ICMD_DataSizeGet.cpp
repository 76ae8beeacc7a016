#include "ICMD_DataSizeGet.h"

#include "ByteOrder.h"
#include "CommandCodes.h"

namespace ArmillonDevice {

ICMD_DataSizeGet::ICMD_DataSizeGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                   std::uint32_t& size)
    : ICMD_DataClass(dataId, DataKind::kSize), dataNumber_(dataNumber), size_(size) {}

std::vector<std::uint8_t> ICMD_DataSizeGet::EncodeParameters() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE16(bytes, dataNumber_);
    return bytes;
}

std::int64_t ICMD_DataSizeGet::DecodeParameters(std::span<const std::uint8_t> parameters) {
    common::ByteReader reader(parameters);
    const auto number = reader.U16();
    const auto size = reader.U32();
    if (!size || *number != dataNumber_) {
        return -1;
    }
    size_ = *size;
    return static_cast<std::int64_t>(reader.Position());
}

}  // namespace ArmillonDevice
