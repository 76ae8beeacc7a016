#include "ICMD_FlashSectorErase.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

std::vector<std::uint8_t> ICMD_FlashSectorErase::Encode() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE16(bytes, sector_);
    return bytes;
}

std::int64_t ICMD_FlashSectorErase::Decode(std::span<const std::uint8_t>) {
    return 0;
}

}  // namespace ArmillonDevice
