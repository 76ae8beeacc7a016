#pragma once
// The watch firmware's answer to one request block: the reply block, and whether the watch
// leaves the bus to reboot once the reply is out.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Clock.h"
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

    // request: the whole request block. hardwareText: what the hardware record carries on
    // this connection. shortRecord: serve records one byte short (see FaultType::ShortRecord).
    Reply Handle(std::span<const std::uint8_t> request, const std::string& hardwareText,
                 bool shortRecord);

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
    Reply HandleDataClass(std::uint8_t code, std::span<const std::uint8_t> payload,
                          const std::string& hardwareText, bool shortRecord);
    Reply HandleFlashRead(std::uint8_t code, std::span<const std::uint8_t> payload);
    Reply HandleFlashWrite(std::uint8_t code, std::span<const std::uint8_t> payload);
    Reply HandleSectorErase(std::span<const std::uint8_t> payload);

    const WatchConfig& config_;
    WatchMemory& memory_;
};

}  // namespace watchsim
