#include "ICMD_DataUploadFlagSet.h"

#include "ByteOrder.h"
#include "CommandCodes.h"

namespace ArmillonDevice {

ICMD_DataUploadFlagSet::ICMD_DataUploadFlagSet(std::uint16_t dataId, std::uint16_t dataNumber,
                                               std::uint32_t flag)
    : ICMD_DataClass(dataId, DataKind::kUploadFlag), dataNumber_(dataNumber), flag_(flag) {}

std::vector<std::uint8_t> ICMD_DataUploadFlagSet::EncodeParameters() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE16(bytes, dataNumber_);
    bytes.push_back(static_cast<std::uint8_t>(flag_));
    return bytes;
}

std::int64_t ICMD_DataUploadFlagSet::DecodeParameters(std::span<const std::uint8_t> parameters) {
    common::ByteReader reader(parameters);
    const auto number = reader.U16();
    if (!number || *number != dataNumber_) {
        return -1;
    }
    return static_cast<std::int64_t>(reader.Position());
}

}  // namespace ArmillonDevice
