#pragma once
// Faults a scenario plants in the watch, written in one small language that C++ tests and
// `watchsim serve --fault` share (grammar and examples in README.md):
//
//   set#3:error=0x0005            the third data-set request gets error reply 5
//   get@0x1200#1-2:silent         the first two reads of record 0x1200 go unanswered
//   open#2-:hwtext=ORNA-HWREV1-712E, latency=1000
//
// Each rule counts the requests it matches from the moment it is added; it fires on the
// matching requests whose number falls in its range.

#include <chrono>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "CommandKind.h"

namespace watchsim {

enum class FaultType {
    Silent,        // the request is lost: no reply at all
    ErrorReply,    // error reply 0xF0 with code `value`; the request is not carried out
    ReplyCode,     // the reply carries command code `value`
    Status,        // the data-class status byte reads `value`
    ShortRecord,   // a record one byte shorter than its minimum (size) or than asked (get)
    ZeroLength,    // the first report of the reply has length field 0
    NoStartFlag,   // the first report of the reply lacks the start flag
    DropAfter,     // the watch drops off the bus after `value` reports of the reply
    Reboot,        // the watch resets while carrying the request out (half of a write is kept)
    Unplug,        // the cable comes out: the watch leaves the bus and stays off it
    HardwareText,  // open only: the hardware record carries `text` for this connection
    Busy,          // open only: another program holds the watch, opening fails
};

struct FaultRule {
    CommandKind kind = CommandKind::Any;
    std::optional<std::uint16_t> dataId;
    std::uint32_t first = 1;          // 1-based number of the first matching request hit
    std::uint32_t last = UINT32_MAX;  // last one hit, inclusive
    FaultType type = FaultType::Silent;
    std::uint32_t value = 0;
    std::string text;

    bool Matches(CommandKind requestKind, std::optional<std::uint16_t> requestDataId) const;
    bool FiresOn(std::uint32_t count) const { return count >= first && count <= last; }
};

struct FaultPlan {
    std::vector<FaultRule> rules;
    std::optional<std::chrono::microseconds> latency;  // per report, both directions
};

class FaultPlanError : public std::invalid_argument {
  public:
    using std::invalid_argument::invalid_argument;
};

// Throws FaultPlanError naming the item that is wrong.
FaultPlan ParseFaultPlan(std::string_view plan);

}  // namespace watchsim
