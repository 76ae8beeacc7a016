#pragma once
// One command and its reply, built by the caller for each command.
//
// Request block (one transport write), little-endian:
//   0  1  command code
//   1  4  payload length n
//   5  n  payload (the request object's Encode output; nothing without a request object)
// Reply block, read by byte counts:
//   0  1  the request's command code, or 0xF0 for an error reply
//   1  4  body length m
//   5  m  body (an error reply's body: the device's 16-bit error code)

#include <cstddef>
#include <cstdint>
#include <vector>

#include "IArmillonData.h"
#include "IReadProgressListener.h"

namespace ArmillonDevice {

struct CommandExchange {
    static constexpr std::size_t kBlockHeaderSize = 5;
    // Whether a request of `headerSize` bytes followed by `dataSize` data bytes can state its
    // length in the 32-bit length field.
    static constexpr bool FitsRequestLength(std::uint64_t dataSize, std::size_t headerSize) {
        constexpr std::uint64_t kMaxLength = 0xFFFFFFFFu;
        return headerSize <= kMaxLength && dataSize <= kMaxLength - headerSize;
    }
    // Longest reply body accepted; a longer announcement fails before anything is allocated.
    static constexpr std::uint32_t kMaxReplyLength = 16u * 1024u * 1024u;

    std::uint8_t commandCode = 0;
    IArmillonData* request = nullptr;  // borrowed, may be null: empty payload
    std::uint8_t replyCode = 0;
    std::uint32_t replyLength = 0;
    std::vector<std::uint8_t> replyBody;
    IArmillonData* replyDecoder = nullptr;      // borrowed, may be null
    IReadProgressListener* listener = nullptr;  // borrowed, may be null
};

}  // namespace ArmillonDevice
