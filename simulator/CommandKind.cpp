#include "CommandKind.h"

#include <array>
#include <utility>

#include "LittleEndian.h"

namespace watchsim {
namespace {

constexpr std::array<std::pair<CommandKind, std::string_view>, 19> kNames{{
    {CommandKind::Open, "open"},
    {CommandKind::Version, "version"},
    {CommandKind::Disconnect, "disconnect"},
    {CommandKind::DataGet, "get"},
    {CommandKind::IndexTable, "index"},
    {CommandKind::DataSize, "size"},
    {CommandKind::MetaData, "meta"},
    {CommandKind::DataSet, "set"},
    {CommandKind::UploadFlag, "flag"},
    {CommandKind::Command30, "cmd30"},
    {CommandKind::Command31, "cmd31"},
    {CommandKind::Command32, "cmd32"},
    {CommandKind::FlashRead, "read"},
    {CommandKind::FlashRead2, "read2"},
    {CommandKind::FlashWrite, "write"},
    {CommandKind::FlashWrite2, "write2"},
    {CommandKind::SectorErase, "erase"},
    {CommandKind::Other, "other"},
    {CommandKind::Any, "any"},
}};

}  // namespace

RequestClass ClassifyRequest(std::uint8_t code, std::span<const std::uint8_t> payload) {
    switch (code) {
        case 0x00:
            return {CommandKind::Version, {}};
        case 0x01:
            return {CommandKind::Disconnect, {}};
        case 0x30:
            return {CommandKind::Command30, {}};
        case 0x31:
            return {CommandKind::Command31, {}};
        case 0x32:
            return {CommandKind::Command32, {}};
        case 0x40:
            return {CommandKind::FlashRead, {}};
        case 0x41:
            return {CommandKind::FlashWrite, {}};
        case 0x42:
            return {CommandKind::SectorErase, {}};
        case 0x43:
            return {CommandKind::FlashRead2, {}};
        case 0x44:
            return {CommandKind::FlashWrite2, {}};
        case 0x20:
        case 0x21: {
            if (payload.size() < 3) {
                return {CommandKind::Other, {}};
            }
            const std::uint16_t dataId = Le16(payload, 0);
            const std::uint8_t dataKind = payload[2];
            if (code == 0x20) {
                switch (dataKind) {
                    case 0x00:
                        return {CommandKind::DataGet, dataId};
                    case 0x02:
                        return {CommandKind::IndexTable, dataId};
                    case 0x41:
                        return {CommandKind::DataSize, dataId};
                    case 0x80:
                        return {CommandKind::MetaData, dataId};
                    default:
                        return {CommandKind::Other, dataId};
                }
            }
            switch (dataKind) {
                case 0x00:
                    return {CommandKind::DataSet, dataId};
                case 0x42:
                    return {CommandKind::UploadFlag, dataId};
                default:
                    return {CommandKind::Other, dataId};
            }
        }
        default:
            return {CommandKind::Other, {}};
    }
}

std::string_view CommandKindName(CommandKind kind) {
    for (const auto& [k, name] : kNames) {
        if (k == kind) {
            return name;
        }
    }
    return "other";
}

std::optional<CommandKind> CommandKindFromName(std::string_view name) {
    for (const auto& [k, n] : kNames) {
        if (n == name) {
            return k;
        }
    }
    return std::nullopt;
}

}  // namespace watchsim
