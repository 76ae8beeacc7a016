#include "GetDataProgressListener.h"

#include <algorithm>

#include "ByteOrder.h"
#include "CommandExchange.h"

namespace ArmillonDevice {

void GetDataProgressListener::OnRead(std::uintptr_t value, std::uint32_t length) {
    if (target_ == nullptr) {
        return;
    }
    constexpr std::size_t kHeader = CommandExchange::kBlockHeaderSize;
    if (header_.size() < kHeader) {
        const std::uint8_t* payload = PayloadOf(value);
        const std::size_t take = std::min<std::size_t>(kHeader - header_.size(), length);
        header_.insert(header_.end(), payload, payload + take);
    }
    received_ += length;
    if (header_.size() == kHeader) {
        target_->OnRead(received_ - kHeader, common::LoadLE32(header_.data() + 1));
    }
}

}  // namespace ArmillonDevice
