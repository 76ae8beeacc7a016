#include "ICMD_DataIndexTableGet.h"

#include "ByteOrder.h"
#include "CommandCodes.h"

namespace ArmillonDevice {

ICMD_DataIndexTableGet::ICMD_DataIndexTableGet(std::uint16_t dataId, std::uint8_t selector,
                                               std::vector<std::uint16_t>& output)
    : ICMD_DataClass(dataId, DataKind::kIndexTable), selector_(selector), output_(output) {}

std::vector<std::uint8_t> ICMD_DataIndexTableGet::EncodeParameters() const {
    return {selector_};
}

std::int64_t ICMD_DataIndexTableGet::DecodeParameters(std::span<const std::uint8_t> parameters) {
    common::ByteReader reader(parameters);
    const auto selector = reader.U8();
    const auto count = reader.U32();
    if (!count || *selector != selector_) {
        return -1;
    }
    const auto table = reader.Bytes(*count);
    if (!table) {
        return -1;
    }
    // An odd count leaves its last byte unused.
    const std::size_t entries = table->size() / 2;
    output_.reserve(output_.size() + entries);
    for (std::size_t i = 0; i < entries; ++i) {
        output_.push_back(common::LoadLE16(table->data() + 2 * i));
    }
    return static_cast<std::int64_t>(5 + 2 * entries);
}

}  // namespace ArmillonDevice
