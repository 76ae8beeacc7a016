#include "ICMD_FlashWrite.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

std::vector<std::uint8_t> ICMD_FlashWrite::Encode() const {
    std::vector<std::uint8_t> bytes;
    const std::size_t sent = data_ != nullptr ? length_ : 0;
    bytes.reserve(8 + sent);
    common::AppendLE32(bytes, address_);
    common::AppendLE32(bytes, length_);
    if (sent != 0) {
        bytes.insert(bytes.end(), data_, data_ + sent);
    }
    return bytes;
}

std::int64_t ICMD_FlashWrite::Decode(std::span<const std::uint8_t>) {
    return 0;
}

}  // namespace ArmillonDevice
