#include "ICMD_MetaDataGet.h"

#include "ByteOrder.h"
#include "CommandCodes.h"

namespace ArmillonDevice {

ICMD_MetaDataGet::ICMD_MetaDataGet(std::uint16_t dataId, std::uint16_t dataNumber,
                                   std::vector<std::uint8_t>& output)
    : ICMD_DataClass(dataId, DataKind::kMetaData), dataNumber_(dataNumber), output_(output) {}

std::vector<std::uint8_t> ICMD_MetaDataGet::EncodeParameters() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE16(bytes, dataNumber_);
    return bytes;
}

std::int64_t ICMD_MetaDataGet::DecodeParameters(std::span<const std::uint8_t> parameters) {
    common::ByteReader reader(parameters);
    const auto number = reader.U16();
    const auto count = reader.U32();
    if (!count || *number != dataNumber_) {
        return -1;
    }
    const auto data = reader.Bytes(*count);
    if (!data) {
        return -1;
    }
    output_.insert(output_.end(), data->begin(), data->end());
    return static_cast<std::int64_t>(reader.Position());
}

}  // namespace ArmillonDevice
