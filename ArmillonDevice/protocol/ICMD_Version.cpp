#include "ICMD_Version.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

std::vector<std::uint8_t> ICMD_Version::Encode() const {
    std::vector<std::uint8_t> bytes;
    for (auto word : words_) {
        common::AppendLE16(bytes, word);
    }
    return bytes;
}

std::int64_t ICMD_Version::Decode(std::span<const std::uint8_t> body) {
    if (body.size() < kSize) {
        return -1;
    }
    for (std::size_t i = 0; i < words_.size(); ++i) {
        words_[i] = common::LoadLE16(body.data() + 2 * i);
    }
    return kSize;
}

}  // namespace ArmillonDevice
