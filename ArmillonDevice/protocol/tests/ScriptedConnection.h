#pragma once
// A connection over the virtual-watch transport to a scripted device, and builders for the
// request and reply blocks the tests script.

#include <gtest/gtest.h>

#include <memory>

#include "ORNA_Communication.h"
#include "ScriptedHostPort.h"
#include "VirtualWatch_DeviceIdentifier.h"
#include "VirtualWatch_HID_DeviceReaderWriter.h"

namespace ArmillonDevice::testing {

inline void AppendLE(Bytes& out, std::uint32_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) {
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
    }
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const auto& part : parts) {
        all.insert(all.end(), part.begin(), part.end());
    }
    return all;
}

inline Bytes LE16(std::uint16_t v) {
    Bytes b;
    AppendLE(b, v, 2);
    return b;
}

inline Bytes LE32(std::uint32_t v) {
    Bytes b;
    AppendLE(b, v, 4);
    return b;
}

// Data-class blocks: request envelope (id, kind) and reply envelope (status, id, kind).
inline Bytes DataRequest(std::uint8_t code, std::uint16_t id, std::uint8_t kind,
                         const Bytes& parameters) {
    return Block(code, Concat({LE16(id), {kind}, parameters}));
}

inline Bytes DataReply(std::uint8_t code, std::uint16_t id, std::uint8_t kind,
                       const Bytes& parameters, std::uint8_t status = 0) {
    return Block(code, Concat({{status}, LE16(id), {kind}, parameters}));
}

inline Bytes SizeRequest(std::uint16_t id, std::uint16_t number) {
    return DataRequest(0x20, id, 0x41, LE16(number));
}

inline Bytes SizeReply(std::uint16_t id, std::uint16_t number, std::uint32_t size) {
    return DataReply(0x20, id, 0x41, Concat({LE16(number), LE32(size)}));
}

inline Bytes GetRequest(std::uint16_t id, std::uint16_t number, std::uint32_t offset,
                        std::uint32_t size) {
    return DataRequest(0x20, id, 0x00, Concat({LE16(number), LE32(offset), LE32(size)}));
}

inline Bytes GetReply(std::uint16_t id, std::uint16_t number, std::uint32_t offset,
                      const Bytes& data) {
    return DataReply(
        0x20, id, 0x00,
        Concat({LE16(number), LE32(offset), LE32(static_cast<std::uint32_t>(data.size())), data}));
}

inline const Bytes kHandshakeRequest = Block(0x00);
inline const Bytes kHandshakeReply = Block(0x00, Hex("01 00 02 00 03 00 04 00"));
inline const Bytes kDisconnectRequest = Block(0x01);
inline const Bytes kDisconnectReply = Block(0x01);

struct ScriptedConnection {
    explicit ScriptedConnection(std::size_t inputLength = 65, std::size_t outputLength = 65)
        : port(inputLength, outputLength),
          connection(std::make_unique<ORNA_Device>(
              std::make_unique<VirtualWatch_DeviceIdentifier>(&port),
              std::make_unique<VirtualWatch_HID_DeviceReaderWriter>())) {}
    ~ScriptedConnection() { port.VerifyAllUsed(); }

    void Open() {
        port.Expect(kHandshakeRequest, kHandshakeReply);
        ASSERT_EQ(connection.Open(), DeviceErrorCode::Success);
    }

    ScriptedHostPort port;  // outlives the connection that borrows it
    ORNA_Communication connection;
};

}  // namespace ArmillonDevice::testing
