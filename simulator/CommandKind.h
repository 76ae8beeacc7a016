#pragma once
// The kinds of request the watch tells apart, for counting faults and for the trace of
// requests. Data-class commands count by their data kind, not by their command code alone.

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace watchsim {

enum class CommandKind {
    Open,        // the host opens the watch (not a request)
    Version,     // 0x00, the handshake
    Disconnect,  // 0x01
    DataGet,     // 0x20, kind 0x00
    IndexTable,  // 0x20, kind 0x02
    DataSize,    // 0x20, kind 0x41
    MetaData,    // 0x20, kind 0x80
    DataSet,     // 0x21, kind 0x00
    UploadFlag,  // 0x21, kind 0x42
    Command30,
    Command31,
    Command32,
    FlashRead,    // 0x40
    FlashRead2,   // 0x43
    FlashWrite,   // 0x41
    FlashWrite2,  // 0x44
    SectorErase,  // 0x42
    Other,        // anything the watch does not understand
    Any,          // matches every request (never matches Open)
};

struct RequestClass {
    CommandKind kind = CommandKind::Other;
    std::optional<std::uint16_t> dataId;  // data-class requests only
};

// Classifies one request block's command code and payload.
RequestClass ClassifyRequest(std::uint8_t code, std::span<const std::uint8_t> payload);

std::string_view CommandKindName(CommandKind kind);
std::optional<CommandKind> CommandKindFromName(std::string_view name);

}  // namespace watchsim
