#include "ICMD_FlashRead.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

std::vector<std::uint8_t> ICMD_FlashRead::Encode() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE32(bytes, address_);
    common::AppendLE32(bytes, length_);
    return bytes;
}

std::int64_t ICMD_FlashRead::Decode(std::span<const std::uint8_t> body) {
    received_.assign(body.begin(), body.end());
    return static_cast<std::int64_t>(body.size());
}

}  // namespace ArmillonDevice
