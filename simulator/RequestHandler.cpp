#include "RequestHandler.h"

#include <algorithm>
#include <optional>

#include "DeviceErrorCodes.h"
#include "LittleEndian.h"
#include "ReportFraming.h"

namespace watchsim {
namespace {

constexpr std::uint16_t kProductInformation = 0x1100;
constexpr std::uint16_t kFirmwareInformation = 0x1200;
constexpr std::uint16_t kHardwareInformation = 0x1300;
constexpr std::uint16_t kClockRecord = 0x2010;
constexpr std::uint16_t kTrainingRecords = 0x5100;

// Appends element by element; a range insert here trips a false bounds warning of GCC -O3.
void Append(std::vector<std::uint8_t>& out, std::span<const std::uint8_t> bytes) {
    out.reserve(out.size() + bytes.size());
    for (const std::uint8_t byte : bytes) {
        out.push_back(byte);
    }
}

std::vector<std::uint8_t> Block(std::uint8_t code, std::span<const std::uint8_t> body) {
    std::vector<std::uint8_t> block{code};
    PutLe32(block, static_cast<std::uint32_t>(body.size()));
    Append(block, body);
    return block;
}

Reply Error(std::uint16_t code) {
    return Reply{RequestHandler::ErrorReply(code), false};
}

// Copies text into record bytes [at, at + width), cut to what fits; the rest stays zero.
void PutText(std::vector<std::uint8_t>& record, std::size_t at, std::size_t width,
             const std::string& text) {
    for (std::size_t i = 0; i < width && i < text.size() && at + i < record.size(); ++i) {
        record[at + i] = static_cast<std::uint8_t>(text[i]);
    }
}

std::size_t MinimumSize(std::uint16_t dataId, std::size_t actual) {
    switch (dataId) {
        case kFirmwareInformation:
            return 16;
        case kProductInformation:
            return 48;
        case kHardwareInformation:
        case kClockRecord:
            return 32;
        default:
            return actual;
    }
}

// The start of an accepted data-class reply: status, the record, the data kind.
std::vector<std::uint8_t> Accepted(std::uint16_t dataId, std::uint8_t kind) {
    std::vector<std::uint8_t> body{0x00};
    PutLe16(body, dataId);
    body.push_back(kind);
    return body;
}

bool InRange(std::uint64_t offset, std::uint64_t size, std::uint64_t total) {
    return offset <= total && size <= total - offset;
}

}  // namespace

std::vector<std::uint8_t> RequestHandler::ErrorReply(std::uint16_t code) {
    std::vector<std::uint8_t> body;
    PutLe16(body, code);
    return Block(0xF0, body);
}

std::vector<std::uint8_t> RequestHandler::FirmwareInformation() const {
    std::vector<std::uint8_t> record(config_.firmwareInfoSize, 0x00);
    PutText(record, 0, 5, memory_.firmwareVersion);
    return record;
}

std::vector<std::uint8_t> RequestHandler::ProductInformation() const {
    std::vector<std::uint8_t> record(config_.productInfoSize, 0x00);
    PutText(record, 0, 20, config_.productText1);
    PutText(record, 20, 4, config_.productText2);
    PutText(record, 24, 4, config_.productText3);
    PutText(record, 28, 2, config_.productText4);
    return record;
}

std::vector<std::uint8_t> RequestHandler::HardwareInformation(
    const std::string& hardwareText) const {
    std::vector<std::uint8_t> record(config_.hardwareInfoSize, 0x00);
    std::vector<std::uint8_t> word;
    PutLe16(word, config_.hardwareWord);
    std::copy_n(word.begin(), std::min<std::size_t>(2, record.size()), record.begin());
    PutText(record, 2, 16, hardwareText);
    return record;
}

Reply RequestHandler::Handle(std::span<const std::uint8_t> request, const RequestClass& what,
                             const std::string& hardwareText, bool shortRecord) {
    const std::uint8_t code = request[0];
    const auto payload = request.subspan(kRequestHeaderSize);
    // A data-class kind comes with its record (ClassifyRequest has seen at least 3 bytes).
    const auto data = [&] {
        return DataRequest{code, what.dataId.value_or(0), payload[2], payload.subspan(3)};
    };
    switch (what.kind) {
        case CommandKind::Version: {
            std::vector<std::uint8_t> body;
            for (const std::uint16_t word : config_.handshakeWords) {
                PutLe16(body, word);
            }
            return Reply{Block(code, body), false};
        }
        case CommandKind::Disconnect:
            return Reply{Block(code, {}), false};
        case CommandKind::Command30:
        case CommandKind::Command31:
        case CommandKind::Command32:
            return Reply{Block(code, {}), true};
        case CommandKind::DataGet:
            return HandleDataGet(data(), hardwareText, shortRecord);
        case CommandKind::DataSize:
            return HandleDataSize(data(), hardwareText, shortRecord);
        case CommandKind::IndexTable:
            return HandleIndexTable(data());
        case CommandKind::MetaData:
            return HandleMetaData(data());
        case CommandKind::DataSet:
            return HandleDataSet(data());
        case CommandKind::UploadFlag:
            return HandleUploadFlag(data());
        case CommandKind::FlashRead:
        case CommandKind::FlashRead2:
            return HandleFlashRead(code, payload);
        case CommandKind::FlashWrite:
        case CommandKind::FlashWrite2:
            return HandleFlashWrite(code, payload);
        case CommandKind::SectorErase:
            return HandleSectorErase(payload);
        default:
            return HandleOther(code, what);
    }
}

void RequestHandler::HandleInterrupted(std::span<const std::uint8_t> request) {
    const std::uint8_t code = request[0];
    const auto payload = request.subspan(kRequestHeaderSize);
    std::size_t lengthAt = 0;  // of the data length field, in the payload
    if (code == 0x41 || code == 0x44) {
        lengthAt = 4;  // address, length, data
    } else if (code == 0x21 && payload.size() >= 3 && payload[2] == 0x00 &&
               IsSettingsBlock(Le16(payload, 0))) {
        lengthAt = 3 + 6;  // identifier, kind, number, offset, size, data
    } else {
        return;
    }
    if (payload.size() < lengthAt + 4) {
        return;
    }
    std::vector<std::uint8_t> half(request.begin(), request.end());
    const auto halfPayload = std::span(half).subspan(kRequestHeaderSize);
    SetLe32(halfPayload, lengthAt, Le32(payload, lengthAt) / 2);
    Handle(half, ClassifyRequest(code, halfPayload), {}, false);
}

// A data-class request too short to name its record is malformed; one of a data kind the
// watch does not know names unknown data; any other code is an unknown command.
Reply RequestHandler::HandleOther(std::uint8_t code, const RequestClass& what) {
    if (code == 0x20 || code == 0x21) {
        return Error(what.dataId ? kErrorUnknownData : kErrorBadRequest);
    }
    return Error(kErrorUnknownCommand);
}

std::optional<std::vector<std::uint8_t>> RequestHandler::RecordBytes(
    std::uint16_t dataId, std::uint16_t number, const std::string& hardwareText,
    std::uint16_t& refusal) const {
    if (dataId == kTrainingRecords) {
        if (const TrainingRecord* record = FindTrainingRecord(number)) {
            return record->data;
        }
        refusal = kErrorNoSuchRecord;
        return std::nullopt;
    }
    const bool known = dataId == kFirmwareInformation || dataId == kProductInformation ||
                       dataId == kHardwareInformation || dataId == kClockRecord ||
                       IsSettingsBlock(dataId);
    if (!known) {
        refusal = kErrorUnknownData;
        return std::nullopt;
    }
    if (number != 0) {
        refusal = kErrorNoSuchRecord;
        return std::nullopt;
    }
    switch (dataId) {
        case kFirmwareInformation:
            return FirmwareInformation();
        case kProductInformation:
            return ProductInformation();
        case kHardwareInformation:
            return HardwareInformation(hardwareText);
        case kClockRecord:
            return memory_.ClockRecord();
        default: {
            const auto found = memory_.settingsBlocks.find(dataId);
            return found == memory_.settingsBlocks.end() ? std::vector<std::uint8_t>{}
                                                         : found->second;
        }
    }
}

TrainingRecord* RequestHandler::FindTrainingRecord(std::uint16_t number) const {
    for (auto& record : memory_.trainingRecords) {
        if (record.number == number) {
            return &record;
        }
    }
    return nullptr;
}

// Data get: number, offset, size.
Reply RequestHandler::HandleDataGet(const DataRequest& request, const std::string& hardwareText,
                                    bool shortRecord) {
    const auto params = request.params;
    if (params.size() < 10) {
        return Error(kErrorBadRequest);
    }
    const std::uint32_t offset = Le32(params, 2);
    const std::uint32_t size = Le32(params, 6);
    std::uint16_t refusal = 0;
    const auto record = RecordBytes(request.dataId, Le16(params, 0), hardwareText, refusal);
    if (!record) {
        return Error(refusal);
    }
    if (!InRange(offset, size, record->size())) {
        return Error(kErrorRecordRange);
    }
    auto body = Accepted(request.dataId, request.kind);
    Append(body, params.first(10));
    const std::size_t served = shortRecord && size > 0 ? size - 1 : size;
    Append(body, std::span(*record).subspan(offset, served));
    return Reply{Block(request.code, body), false};
}

// Data size: number.
Reply RequestHandler::HandleDataSize(const DataRequest& request, const std::string& hardwareText,
                                     bool shortRecord) {
    const auto params = request.params;
    if (params.size() < 2) {
        return Error(kErrorBadRequest);
    }
    std::uint16_t refusal = 0;
    const auto record = RecordBytes(request.dataId, Le16(params, 0), hardwareText, refusal);
    if (!record) {
        return Error(refusal);
    }
    std::size_t size = record->size();
    if (shortRecord) {
        const std::size_t minimum = MinimumSize(request.dataId, size);
        size = minimum > 0 ? std::min(size, minimum - 1) : 0;
    }
    auto body = Accepted(request.dataId, request.kind);
    Append(body, params.first(2));
    PutLe32(body, static_cast<std::uint32_t>(size));
    return Reply{Block(request.code, body), false};
}

// Index table: selector.
Reply RequestHandler::HandleIndexTable(const DataRequest& request) {
    if (request.dataId != kTrainingRecords) {
        return Error(kErrorUnknownData);
    }
    if (request.params.empty()) {
        return Error(kErrorBadRequest);
    }
    const std::uint8_t selector = request.params[0];
    std::vector<std::uint16_t> entries;
    if (const auto table = config_.indexTables.find(selector); table != config_.indexTables.end()) {
        entries = table->second;
    } else if (selector == 0 || selector == 1) {
        for (const auto& record : memory_.trainingRecords) {
            if (selector == 0 || record.uploadFlag != 0) {
                entries.push_back(record.number);
            }
        }
    }
    auto body = Accepted(request.dataId, request.kind);
    body.push_back(selector);
    PutLe32(body, static_cast<std::uint32_t>(entries.size() * 2));
    for (const std::uint16_t entry : entries) {
        PutLe16(body, entry);
    }
    return Reply{Block(request.code, body), false};
}

// Meta data: number.
Reply RequestHandler::HandleMetaData(const DataRequest& request) {
    if (request.dataId != kTrainingRecords) {
        return Error(kErrorUnknownData);
    }
    if (request.params.size() < 2) {
        return Error(kErrorBadRequest);
    }
    const TrainingRecord* record = FindTrainingRecord(Le16(request.params, 0));
    if (!record) {
        return Error(kErrorNoSuchRecord);
    }
    auto body = Accepted(request.dataId, request.kind);
    Append(body, request.params.first(2));
    PutLe32(body, static_cast<std::uint32_t>(record->metadata.size()));
    Append(body, record->metadata);
    return Reply{Block(request.code, body), false};
}

// Data set: number, offset, size, data.
Reply RequestHandler::HandleDataSet(const DataRequest& request) {
    const auto params = request.params;
    const std::uint16_t dataId = request.dataId;
    if (params.size() < 10) {
        return Error(kErrorBadRequest);
    }
    const std::uint16_t number = Le16(params, 0);
    const std::uint32_t offset = Le32(params, 2);
    const std::uint32_t size = Le32(params, 6);
    if (params.size() - 10 < size) {
        return Error(kErrorBadRequest);
    }
    const auto data = params.subspan(10, size);
    if (IsSettingsBlock(dataId)) {
        if (number != 0) {
            return Error(kErrorNoSuchRecord);
        }
        // A block may be as large as the largest flash area; nothing the update sends is.
        const std::size_t limit = std::max(memory_.flash.size(), memory_.flash2.size());
        if (!InRange(offset, size, limit)) {
            return Error(kErrorRecordRange);
        }
        auto& block = memory_.settingsBlocks[dataId];
        if (offset == 0) {
            block.assign(data.begin(), data.end());
        } else {
            block.resize(std::max<std::size_t>(block.size(), offset + std::size_t{size}), 0x00);
            std::copy(data.begin(), data.end(), block.begin() + offset);
        }
        memory_.dirtyBlocks.insert(dataId);
        if (dataId == 0x1600 || dataId == 0x1601) {
            memory_.lastVersionBlock = dataId;
        }
    } else if (dataId == kClockRecord) {
        if (number != 0) {
            return Error(kErrorNoSuchRecord);
        }
        if (!InRange(offset, size, config_.clockRecordSize)) {
            return Error(kErrorRecordRange);
        }
        if (!memory_.WriteClockRecord(offset, data)) {
            return Error(kErrorInvalidTime);
        }
    } else if (dataId == kFirmwareInformation || dataId == kProductInformation ||
               dataId == kHardwareInformation || dataId == kTrainingRecords) {
        return Error(kErrorReadOnly);
    } else {
        return Error(kErrorUnknownData);
    }
    auto body = Accepted(dataId, request.kind);
    Append(body, params.first(10));
    return Reply{Block(request.code, body), false};
}

// Upload flag: number, flag.
Reply RequestHandler::HandleUploadFlag(const DataRequest& request) {
    if (request.dataId != kTrainingRecords) {
        return Error(kErrorUnknownData);
    }
    if (request.params.size() < 3) {
        return Error(kErrorBadRequest);
    }
    TrainingRecord* record = FindTrainingRecord(Le16(request.params, 0));
    if (!record) {
        return Error(kErrorNoSuchRecord);
    }
    record->uploadFlag = request.params[2];
    auto body = Accepted(request.dataId, request.kind);
    Append(body, request.params.first(2));
    return Reply{Block(request.code, body), false};
}

Reply RequestHandler::HandleFlashRead(std::uint8_t code, std::span<const std::uint8_t> payload) {
    if (payload.size() < 8) {
        return Error(kErrorBadRequest);
    }
    const auto& area = code == 0x40 ? memory_.flash : memory_.flash2;
    const std::uint32_t address = Le32(payload, 0);
    const std::uint32_t length = Le32(payload, 4);
    if (!InRange(address, length, area.size())) {
        return Error(kErrorAddressRange);
    }
    return Reply{Block(code, std::span(area).subspan(address, length)), false};
}

Reply RequestHandler::HandleFlashWrite(std::uint8_t code, std::span<const std::uint8_t> payload) {
    if (payload.size() < 8) {
        return Error(kErrorBadRequest);
    }
    const std::uint32_t address = Le32(payload, 0);
    const std::uint32_t length = Le32(payload, 4);
    if (payload.size() - 8 < length) {
        return Error(kErrorBadRequest);
    }
    auto& area = code == 0x41 ? memory_.flash : memory_.flash2;
    if (!InRange(address, length, area.size())) {
        return Error(kErrorAddressRange);
    }
    std::copy_n(payload.begin() + 8, length, area.begin() + address);
    (code == 0x41 ? memory_.flashDirty : memory_.flash2Dirty) = true;
    return Reply{Block(code, {}), false};
}

Reply RequestHandler::HandleSectorErase(std::span<const std::uint8_t> payload) {
    if (payload.size() < 2) {
        return Error(kErrorBadRequest);
    }
    const std::uint64_t sector = Le16(payload, 0);
    const std::uint64_t start = sector * config_.sectorSize;
    if (!InRange(start, config_.sectorSize, memory_.flash.size())) {
        return Error(kErrorSectorRange);
    }
    std::fill_n(memory_.flash.begin() + static_cast<std::ptrdiff_t>(start), config_.sectorSize,
                0xFF);
    memory_.flashDirty = true;
    return Reply{Block(0x42, {}), false};
}

}  // namespace watchsim
