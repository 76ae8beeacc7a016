#include "ICMD_ErrorData.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

std::vector<std::uint8_t> ICMD_ErrorData::Encode() const {
    std::vector<std::uint8_t> bytes;
    common::AppendLE16(bytes, errorCode_);
    return bytes;
}

std::int64_t ICMD_ErrorData::Decode(std::span<const std::uint8_t> body) {
    if (body.size() < kSize) {
        return 0;
    }
    errorCode_ = common::LoadLE16(body.data());
    return kSize;
}

}  // namespace ArmillonDevice
