#include "ICMD_DataClass.h"

#include "ByteOrder.h"

namespace ArmillonDevice {

std::vector<std::uint8_t> ICMD_DataClass::Encode() const {
    const auto parameters = EncodeParameters();
    std::vector<std::uint8_t> bytes;
    bytes.reserve(parameters.size() + 3);
    common::AppendLE16(bytes, dataId_);
    bytes.push_back(dataKind_);
    bytes.insert(bytes.end(), parameters.begin(), parameters.end());
    return bytes;
}

std::int64_t ICMD_DataClass::Decode(std::span<const std::uint8_t> body) {
    if (body.size() < kEnvelopeSize) {
        status_ = kUnreadableStatus;
        return -1;
    }
    status_ = body[0];
    if (status_ != 0) {
        return -1;
    }
    if (common::LoadLE16(body.data() + 1) != dataId_ || body[3] != dataKind_) {
        status_ = kUnreadableStatus;
        return -1;
    }
    const auto consumed = DecodeParameters(body.subspan(kEnvelopeSize));
    if (consumed < 0) {
        status_ = kUnreadableStatus;
        return -1;
    }
    return consumed + static_cast<std::int64_t>(kEnvelopeSize);
}

}  // namespace ArmillonDevice
