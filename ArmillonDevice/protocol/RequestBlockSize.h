#pragma once
// How many bytes the request block of each update command puts on the wire, block header
// included, so a caller can weigh the work before it starts. The layouts are those of the
// command objects (ICMD_FlashWrite, ICMD_DataSet, ICMD_FlashSectorErase) and of
// CommandExchange.

#include <cstdint>

#include "CommandExchange.h"

namespace ArmillonDevice::RequestBlockSize {

inline constexpr std::uint64_t kHeader = CommandExchange::kBlockHeaderSize;

// Address (4) and length (4), then the bytes.
constexpr std::uint64_t FlashWrite(std::uint64_t length) {
    return kHeader + 8 + length;
}
// Data-class envelope (3) and the data set's parameters (10), then the bytes.
constexpr std::uint64_t DataSet(std::uint64_t length) {
    return kHeader + 3 + 10 + length;
}
// The sector number (2); one request per sector.
constexpr std::uint64_t FlashSectorErase() {
    return kHeader + 2;
}
// Commands 0x30 to 0x32 carry no payload.
constexpr std::uint64_t BareCommand() {
    return kHeader;
}

}  // namespace ArmillonDevice::RequestBlockSize
