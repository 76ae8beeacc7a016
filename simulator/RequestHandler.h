#pragma once
// The watch firmware's answer to one request block: the reply block, and whether the watch
// leaves the bus to reboot once the reply is out.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "Clock.h"
#include "CommandKind.h"
#include "WatchConfig.h"
#include "WatchMemory.h"

namespace watchsim {

struct Reply {
    std::vector<std::uint8_t> block;  // code (1), body length (4), body
    bool reboot = false;
};

class RequestHandler {
  public:
    RequestHandler(const WatchConfig& config, WatchMemory& memory)
        : config_(config), memory_(memory) {}

    // request: the whole request block; what: its kind, as ClassifyRequest found it (the one
    // decode of the request). hardwareText: what the hardware record carries on this
    // connection. shortRecord: serve records one byte short (see FaultType::ShortRecord).
    Reply Handle(std::span<const std::uint8_t> request, const RequestClass& what,
                 const std::string& hardwareText, bool shortRecord);

    // A reset in the middle of carrying the request out: a flash write keeps the first half
    // of its bytes, a data set of a settings block the first half of its data; nothing else
    // is carried out, and no reply goes out.
    void HandleInterrupted(std::span<const std::uint8_t> request);

    static std::vector<std::uint8_t> ErrorReply(std::uint16_t code);

    // The information records as the watch serves them.
    std::vector<std::uint8_t> FirmwareInformation() const;
    std::vector<std::uint8_t> ProductInformation() const;
    std::vector<std::uint8_t> HardwareInformation(const std::string& hardwareText) const;

  private:
    // A data-class request (0x20, 0x21): its record, the kind byte it is answered with, and
    // the parameters after them.
    struct DataRequest {
        std::uint8_t code = 0;
        std::uint16_t dataId = 0;
        std::uint8_t kind = 0;
        std::span<const std::uint8_t> params;
    };

    Reply HandleDataGet(const DataRequest& request, const std::string& hardwareText,
                        bool shortRecord);
    Reply HandleDataSize(const DataRequest& request, const std::string& hardwareText,
                         bool shortRecord);
    Reply HandleIndexTable(const DataRequest& request);
    Reply HandleMetaData(const DataRequest& request);
    Reply HandleDataSet(const DataRequest& request);
    Reply HandleUploadFlag(const DataRequest& request);
    static Reply HandleOther(std::uint8_t code, const RequestClass& what);
    // The bytes of a readable record, or nothing with the error that refuses it in `refusal`.
    std::optional<std::vector<std::uint8_t>> RecordBytes(std::uint16_t dataId, std::uint16_t number,
                                                         const std::string& hardwareText,
                                                         std::uint16_t& refusal) const;
    TrainingRecord* FindTrainingRecord(std::uint16_t number) const;
    Reply HandleFlashRead(std::uint8_t code, std::span<const std::uint8_t> payload);
    Reply HandleFlashWrite(std::uint8_t code, std::span<const std::uint8_t> payload);
    Reply HandleSectorErase(std::span<const std::uint8_t> payload);

    const WatchConfig& config_;
    WatchMemory& memory_;
};

}  // namespace watchsim
