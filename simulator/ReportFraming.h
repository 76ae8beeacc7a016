#pragma once
// The report layout in both directions, report number first:
//
//   byte 0   report number, always 0x00
//   byte 1   flags: 0x80 first report of a message, 0x40 last one, bit 0 = bit 8 of the length
//   byte 2   bits 0-7 of the payload length (0 to 511 with bit 8)
//   byte 3.. payload, then zero padding up to the report length
//
// A host message carries one request block: code (1), payload length n (4, little-endian),
// then n payload bytes.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace watchsim {

inline constexpr std::uint8_t kStartFlag = 0x80;
inline constexpr std::uint8_t kEndFlag = 0x40;
inline constexpr std::size_t kRequestHeaderSize = 5;

// Collects output reports into request blocks: a report with the start flag begins a request,
// and the request is complete once its header and the payload it announces are in, however
// many reports that takes. Reports that cannot be read (a length beyond the report, no
// message begun) are dropped.
class RequestAssembler {
  public:
    enum class Outcome {
        Pending,   // nothing complete yet
        Complete,  // Block() holds a whole request block
        TooLarge,  // the header announces more than the watch accepts; Block() holds the header
    };

    explicit RequestAssembler(std::size_t maxPayload) : maxPayload_(maxPayload) {}

    // report: one whole output report, report number first.
    Outcome Feed(std::span<const std::uint8_t> report);
    // The completed request block; valid after Complete or TooLarge until the next Feed.
    std::vector<std::uint8_t>& Block() { return block_; }
    void Reset();

  private:
    enum class State { Idle, Collecting, Discarding };

    std::size_t maxPayload_;
    State state_ = State::Idle;
    std::vector<std::uint8_t> block_;
};

// Splits a reply block into input reports of reportLength bytes (report number included).
std::vector<std::vector<std::uint8_t>> FrameReply(std::span<const std::uint8_t> block,
                                                  std::size_t reportLength);

}  // namespace watchsim
