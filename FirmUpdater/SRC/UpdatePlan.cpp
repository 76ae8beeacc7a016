#include "UpdatePlan.h"

#include <optional>

#include "CTalvenComm.h"
#include "ImageLayout.h"
#include "RequestBlockSize.h"
#include "Transcript.h"

namespace {

namespace Size = ArmillonDevice::RequestBlockSize;
using Command = CFirmwareData::_COMMAND;
using SetData = std::int32_t (CTalvenComm::*)(std::uint32_t, std::uint32_t, const std::uint8_t*);
using Bare = std::int32_t (CTalvenComm::*)();

UpdateStep DataBlock(const Command& c, const char* name, SetData operation) {
    return {0, c.type, name, Size::DataSet(c.value2),
            [c, operation](CTalvenComm& f) { return (f.*operation)(0, c.value2, c.data); }};
}

UpdateStep BareCommand(std::uint32_t type, const char* name, Bare operation) {
    return {0,
            type,
            name,
            Size::BareCommand(),
            [operation](CTalvenComm& f) { return (f.*operation)(); },
            true};
}

UpdateStep StepFor(const Command& c) {
    using namespace firmware;
    switch (c.type) {
        case SECTION_DEVICE_IDENTITY:
        case SECTION_201603:
        case SECTION_201613:
            return {0, c.type, "nothing to send", 0, nullptr};
        case SECTION_VERSION_BLOCK_1600:
            return DataBlock(c, "SetData1600", &CTalvenComm::SetData1600);
        case SECTION_VERSION_BLOCK_1601:
            return DataBlock(c, "SetData1601", &CTalvenComm::SetData1601);
        case SECTION_DATA_1604:
            return DataBlock(c, "SetData1604", &CTalvenComm::SetData1604);
        case SECTION_DATA_1611:
            return DataBlock(c, "SetData1611", &CTalvenComm::SetData1611);
        case SECTION_DATA_1614:
            return DataBlock(c, "SetData1614", &CTalvenComm::SetData1614);
        case SECTION_DATA_1620:
            return DataBlock(c, "SetData1620", &CTalvenComm::SetData1620);
        case SECTION_COMMAND_30:
            return BareCommand(c.type, "SendCommand30", &CTalvenComm::SendCommand30);
        case SECTION_COMMAND_31:
            return BareCommand(c.type, "SendCommand31", &CTalvenComm::SendCommand31);
        case SECTION_COMMAND_32:
            return BareCommand(c.type, "SendCommand32", &CTalvenComm::SendCommand32);
        case SECTION_FLASH_WRITE:
        case SECTION_FLASH_WRITE_44:  // the first flash area's write command all the same
            return {0, c.type, "FlashWrite at " + common::FormatHex(c.value1, 8),
                    Size::FlashWrite(c.value2),
                    [c](CTalvenComm& f) { return f.FlashWrite(c.value1, c.value2, c.data); }};
        case SECTION_SECTOR_ERASE:
            return {0, c.type,
                    "FlashSectorErase of " + std::to_string(c.value2) + " sector(s) from " +
                        std::to_string(c.value1),
                    static_cast<std::uint64_t>(c.value2) * Size::FlashSectorErase(),
                    [c](CTalvenComm& f) { return f.FlashSectorErase(c.value1, c.value2); }};
        default:
            return {0, c.type, "ExecuteCommand", 0, [c](CTalvenComm& f) {
                        return f.ExecuteCommand(c.type, c.value1, c.value2, c.data);
                    }};
    }
}

// The end-of-update flags of the identity section; an identity too short to hold them asks
// for nothing.
std::uint8_t EndOfUpdateFlags(const std::optional<Command>& identity) {
    if (!identity || identity->data == nullptr ||
        identity->value2 <= firmware::kIdentityFlagsOffset) {
        return 0;
    }
    return identity->data[firmware::kIdentityFlagsOffset];
}

}  // namespace

std::vector<UpdateStep> PlanUpdate(const std::vector<Command>& commands) {
    std::vector<UpdateStep> steps;
    std::optional<Command> identity;
    for (std::size_t i = 0; i < commands.size(); ++i) {
        if (commands[i].type == firmware::SECTION_DEVICE_IDENTITY) {
            identity = commands[i];  // the last one counts
        }
        auto step = StepFor(commands[i]);
        step.entry = i;
        steps.push_back(std::move(step));
    }
    const auto flags = EndOfUpdateFlags(identity);
    const auto endOfUpdate = [&](std::uint8_t flag, std::uint32_t type, const char* name,
                                 Bare operation) {
        if ((flags & flag) != 0) {
            auto step = BareCommand(type, name, operation);
            step.entry = UpdateStep::kEndOfUpdate;
            steps.push_back(std::move(step));
        }
    };
    endOfUpdate(firmware::kFlagCommand31, firmware::SECTION_COMMAND_31, "SendCommand31",
                &CTalvenComm::SendCommand31);
    endOfUpdate(firmware::kFlagCommand30, firmware::SECTION_COMMAND_30, "SendCommand30",
                &CTalvenComm::SendCommand30);
    endOfUpdate(firmware::kFlagCommand32, firmware::SECTION_COMMAND_32, "SendCommand32",
                &CTalvenComm::SendCommand32);
    return steps;
}

std::uint64_t TotalBytes(const std::vector<UpdateStep>& steps) {
    std::uint64_t total = 0;
    for (const auto& step : steps) {
        total += step.bytes;
    }
    return total;
}
