#pragma once
// A minimal host written from the report layout for these tests: it frames request blocks
// into output reports and reads reply reports back, byte by byte, with no host library code.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "HostPort.h"

namespace watchsim::testing {

using Bytes = std::vector<std::uint8_t>;

struct RawReply {
    std::uint8_t code = 0;
    Bytes body;
};

// Little-endian payload building: Le({{0x1200, 2}, {0, 1}}) appends 0x1200 as 2 bytes, 0 as 1.
struct Field {
    std::uint32_t value;
    int size;
};
Bytes Le(std::initializer_list<Field> fields);
Bytes Concat(Bytes a, const Bytes& b);

// Output reports of one request block, report number first.
std::vector<Bytes> FrameRequest(std::uint8_t code, const Bytes& payload, std::size_t reportLength);

// Sends one request; false when a report write is refused.
bool SendRequest(HostPort& port, std::uint8_t code, const Bytes& payload);

// Reads one reply message; nullopt when the port goes silent or gone, or a report breaks the
// layout (the reason lands in *why when given).
std::optional<RawReply> ReceiveReply(HostPort& port, std::string* why = nullptr);

std::optional<RawReply> Exchange(HostPort& port, std::uint8_t code, const Bytes& payload = {},
                                 std::string* why = nullptr);

// The data-class envelope (identifier, kind) followed by the parameters.
Bytes DataClass(std::uint16_t dataId, std::uint8_t kind, const Bytes& parameters = {});

// Reads a whole record the way a host does: size, then data. nullopt on any failure.
std::optional<Bytes> ReadRecord(HostPort& port, std::uint16_t dataId, std::uint16_t number = 0);

}  // namespace watchsim::testing
